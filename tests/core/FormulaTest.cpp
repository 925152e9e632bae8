#include "Formula.h"
#include "ObjValue.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TFormulaFunc;

// The order's total is computed; its formula reaches the customer's city along two links.
class FormulaTest : public ShopFixture
{
protected:
    // A node of the total's formula: a function, a field along a path of link fields, or a constant.
    struct N
    {
        int Lft, Rgt;
        TFormulaFunc Func = ffNone;
        QString Field = {};
        Variant Value = Variant::Null();
        QStringList Path = {};
    };
    // Replaces the total's formula by the nodes and reads the repository again.
    void SetFormula(const QList<N> &nodes)
    {
        repo.Exec("update FLD set FLD_FRMLHAVE = 1 where FLD_ID = :ID", {{"ID", Id("ORD.ORD_TOTAL")}});
        repo.Exec("delete from FRMLTREE where FLD_ID = :ID", {{"ID", Id("ORD.ORD_TOTAL")}});
        for (const N &n : nodes) {
            const int id = AddNode("FRMLTREE", "FLD_ID", Id("ORD.ORD_TOTAL"), n.Lft, n.Rgt,
                                   {{"FRMLFUNC_ID", db.FormulaFuncToCode(n.Func)}, {"FRMLTREE_VALUE", n.Value},
                                    {"FLD_ID_VALUE", n.Field.isEmpty() ? Variant::Null() : Id(n.Field)}});
            if (!n.Path.isEmpty())
                AddPath("FRMLTREE", "FRMLTRPT", id, n.Path);
        }
        Reload();
    }
    void TemplField(const QString &table, const QString &field, const QStringList &path = {})
    {
        const int id = Insert("OBJVALUE", {{"OBJ_ID", Id(table)}, {"FLD_ID", Id(field)}});
        if (!path.isEmpty())
            AddPath("OBJVALUE", "OBJVALPT", id, path);
    }
};

// Nodes are placed by their bounds; the texts bracket only what needs it and follow the paths;
// a node that fits nowhere is a damaged tree.
TEST_F(FormulaTest, FormulaTextsFollowTheTreeAndTemplateValuesFillTheirOwnPlaces)
{
    const QString today = db.FormulaFuncToCapt(ffCurD);
    const std::pair<QList<N>, QString> cases[] = {
        {{{1, 14, ffMul}, {2, 7, ffAdd}, {3, 4, ffNone, "ORD.ORD_SUM"}, {5, 6, ffNone, "ORD.ORD_TAX"}, {8, 13, ffDiv},
          {9, 10, ffNone, "ORD.ORD_NO"}, {11, 12, ffNone, "ORD.ORD_SUM"}},
         "(Сумма + Налог) * Номер / Сумма"},
        {{{1, 10, ffDiv}, {2, 7, ffDiv}, {3, 4, ffNone, "ORD.ORD_SUM"}, {5, 6, ffNone, "ORD.ORD_TAX"},
          {8, 9, ffNone, "ORD.ORD_NO"}},
         "Сумма / Налог / Номер"},
        {{{1, 8, ffRate}, {2, 3, ffNone, "CITY.CITY_NAME", Variant::Null(), {"ORD.CUST_ID", "CUST.CITY_ID"}},
          {4, 5, ffNone, "", "5"}, {6, 7, ffCurD}},
         db.FormulaFuncToCapt(ffRate) + "(Клиент заказа>Город клиента>Город;5;" + today + ")"},
        {{{1, 6, ffAdd}, {2, 3, ffCurU}, {4, 5}}, db.FormulaFuncToCapt(ffCurU) + " + "},
        {{{1, 4, ffCurD}, {2, 3, ffNone, "ORD.ORD_SUM"}}, "TFormulaTree.Text: Неизвестная функция \"" + today + "\"."},
    };
    for (const auto &[nodes, text] : cases) {
        SetFormula(nodes);
        QString written;
        const QString error = ErrorOf([&] { written = F("ORD.ORD_TOTAL")->Formula->Text(); });
        EXPECT_EQ(error == "no error" ? written : error, text);
    }
    EXPECT_EQ(ErrorOf([&] { SetFormula({{1, 6, ffAdd}, {3, 4, ffNone, "ORD.ORD_SUM"}}); }),
              "TObj.LoadFormuls: Нарушение структуры дерева формулы для поля \"Итого\".");

    // A record's text fills only the template's own places, each with its field's value along its
    // path: a value holding "%s" stays as it is, a field named twice is shown twice, Null and a
    // missing record leave the places empty. A path through a plain field stops the load.
    SetFormula({});
    CreateTables();
    repo.Exec("insert into CUST values (12, '50%s', 0, 1, null)");
    const auto setTempl = [&](const QString &templ) {
        repo.Exec("update OBJ set OBJ_TEMPL = :T where OBJ_ID = :ID", {{"T", templ}, {"ID", Id("CUST")}});
        Reload();
        return ErrorOf([&] { O("CUST")->GetValueById(10); });
    };
    EXPECT_EQ(setTempl("%s"), "У объекта \"Клиенты\" не указаны поля для шаблона значения.");
    TemplField("CUST", "CUST.CUST_NAME");
    EXPECT_EQ(setTempl(""), "У объекта \"Клиенты\" не указан шаблон значения.");
    EXPECT_EQ(setTempl("%s, %s"),
              "У объекта \"Клиенты\" количество значений \"%s\" в шаблоне не соответствует количеству полей шаблона.");
    TemplField("CUST", "CITY.CITY_NAME", {"CUST.CITY_ID"});
    TemplField("CUST", "CUST.CUST_NAME");
    ASSERT_EQ(setTempl("%s (%s) %s"), "no error");
    EXPECT_EQ(O("CUST")->GetValueById(10), "Смит (Осло) Смит");
    EXPECT_EQ(O("CUST")->GetValueById(11), "Йенсен () Йенсен");
    EXPECT_EQ(O("CUST")->GetValueById(12), "50%s (Осло) 50%s");
    EXPECT_EQ(O("CUST")->GetValueById(99), " () ");
    TemplField("ORD", "CUST.CUST_NAME", {"ORD.ORD_NO"});
    EXPECT_EQ(ErrorOf([&] { Reload(); }),
              "Объект \"Заказы\": Загрузка шаблона.\rПоле \"Номер\" в пути шаблона не ссылается на объект.");
}

} // namespace
