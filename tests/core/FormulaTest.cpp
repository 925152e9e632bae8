#include "Fld.h"
#include "Formula.h"
#include "Main.h"
#include "Obj.h"
#include "ObjValue.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;


// A sale that points at a customer, the customer at a city; the sale's TOTAL is computed.
class FormulaTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.EnsureDescribed("FRMLTREE");
        repo.EnsureDescribed("OBJVALUE");
        city = repo.AddObj("CITY", "Город");
        repo.AddFld(city, "CITY_ID", "PK");
        cityName = repo.AddFld(city, "CITY_NAME", "String", "Название");
        cust = repo.AddObj("CUST", "Покупатель");
        repo.AddFld(cust, "CUST_ID", "PK");
        custName = repo.AddFld(cust, "CUST_NAME", "String", "Имя");
        custCity = repo.AddFld(cust, "CITY_ID", "FK", "Город");
        repo.AddDep(city, custCity);
        sale = repo.AddObj("SALE", "Продажа");
        repo.AddFld(sale, "SALE_ID", "PK");
        saleCust = repo.AddFld(sale, "CUST_ID", "FK", "Покупатель");
        repo.AddDep(cust, saleCust);
        price = repo.AddFld(sale, "PRICE", "Num182", "Цена");
        tax = repo.AddFld(sale, "TAX", "Num182", "Налог");
        count = repo.AddFld(sale, "CNT", "Num182", "Количество");
        days = repo.AddFld(sale, "DAYS", "Integ", "Дни");
        total = repo.AddFld(sale, "TOTAL", "Num182", "Итого");
        repo.Exec("update FLD set FLD_FRMLHAVE = 1 where FLD_ID = :ID", {{"ID", total}});
    }

    // A node of TOTAL's formula: a function by code name, a field, or a constant.
    int Node(int lft, int rgt, const QString &func, int fld = 0, const Variant &value = Variant::Null())
    {
        const int id = db.GetGenId("FRMLTREE_ID");
        repo.Exec("insert into FRMLTREE (FRMLTREE_ID, FLD_ID, FRMLTREE_LFT, FRMLTREE_RGT, FRMLFUNC_ID, "
                  "FLD_ID_VALUE, FRMLTREE_VALUE, FRMLTREE_PATHHAVE) values (:ID, :FLD, :L, :R, "
                  "(select FRMLFUNC_ID from FRMLFUNC where FRMLFUNC_NAME = :FUNC), :VFLD, :VAL, 0)",
                  {{"ID", id}, {"FLD", total}, {"L", lft}, {"R", rgt}, {"FUNC", func},
                   {"VFLD", fld ? Variant(fld) : Variant::Null()}, {"VAL", value}});
        return id;
    }
    void Path(int nodeId, const QList<int> &links)
    {
        repo.Exec("update FRMLTREE set FRMLTREE_PATHHAVE = 1 where FRMLTREE_ID = :ID", {{"ID", nodeId}});
        for (int link : links)
            repo.Exec("insert into FRMLTRPT (FRMLTRPT_ID, FRMLTREE_ID, FLD_ID) values (next value for FRMLTRPT_ID, :N, :F)",
                      {{"N", nodeId}, {"F", link}});
    }
    TFormula &Formula() { return *db.ObjList->GetFldById(total)->Formula; }

    int city = 0, cityName = 0, cust = 0, custName = 0, custCity = 0, sale = 0, saleCust = 0;
    int price = 0, tax = 0, count = 0, days = 0, total = 0;
};

TEST_F(FormulaTest, NodesArePlacedByTheirBounds)
{
    Node(1, 8, "Add");
    Node(2, 3, "", price);
    Node(4, 7, "Mul");
    Node(5, 6, "", count);
    db.Init();
    TFormulaTree *root = Formula().FormulaTreeRoot.get();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->FormulaTreeList.Count(), 2);
    EXPECT_EQ(root->FormulaTreeList.Items(0)->FldValue(), db.ObjList->GetFldById(price));
    ASSERT_EQ(root->FormulaTreeList.Items(1)->FormulaTreeList.Count(), 1);
    EXPECT_EQ(root->FormulaTreeList.Items(1)->FormulaTreeList.Items(0)->FldValue()->Capt(), "Количество");
    EXPECT_TRUE(db.ObjList->GetFldById(price)->Formula->FormulaTreeRoot == nullptr);
}

TEST_F(FormulaTest, ANodeThatFitsNowhereIsADamagedTree)
{
    Node(1, 6, "Add");
    Node(3, 4, "", price);
    EXPECT_EQ(ErrorOf([&] { db.Init(); }), "TObj.LoadFormuls: Нарушение структуры дерева формулы для поля \"Итого\".");
}

TEST_F(FormulaTest, ProductOfASumAndAQuotient)
{
    Node(1, 14, "Mul");
    Node(2, 7, "Add");
    Node(3, 4, "", price);
    Node(5, 6, "", tax);
    Node(8, 13, "Div");
    Node(9, 10, "", count);
    Node(11, 12, "", days);
    db.Init();
    EXPECT_EQ(Formula().Text(), "(Цена + Налог) * Количество / Дни");
    const TFormulaTree *sum = Formula().FormulaTreeRoot->FormulaTreeList.Items(0);
    EXPECT_EQ(sum->Text(false), db.FormulaFuncToCapt(TFormulaFunc::ffAdd));
}

TEST_F(FormulaTest, QuotientOfAQuotientNeedsNoBrackets)
{
    Node(1, 10, "Div");
    Node(2, 7, "Div");
    Node(3, 4, "", price);
    Node(5, 6, "", tax);
    Node(8, 9, "", count);
    db.Init();
    EXPECT_EQ(Formula().Text(), "Цена / Налог / Количество");
}

TEST_F(FormulaTest, RateFieldsWithPathsConstantsAndBareFunctions)
{
    Node(1, 8, "Rate");
    const int name = Node(2, 3, "", cityName);
    Path(name, {saleCust, custCity});
    Node(4, 5, "", 0, "5");
    Node(6, 7, "CurD");
    db.Init();
    const QString rate = db.FormulaFuncToCapt(TFormulaFunc::ffRate);
    const QString today = db.FormulaFuncToCapt(TFormulaFunc::ffCurD);
    EXPECT_EQ(Formula().Text(), rate + "(Покупатель>Город>Название;5;" + today + ")");
    EXPECT_EQ(Formula().FormulaTreeRoot->FormulaTreeList.Items(0)->Path->Count(), 2);
}

TEST_F(FormulaTest, FunctionsWithoutOperandsAndNullConstants)
{
    Node(1, 6, "Add");
    Node(2, 3, "CurU");
    Node(4, 5, "");
    db.Init();
    EXPECT_EQ(Formula().Text(), db.FormulaFuncToCapt(TFormulaFunc::ffCurU) + " + ");
}

TEST_F(FormulaTest, CurrentDateWithOperandsCannotBeWritten)
{
    Node(1, 4, "CurD");
    Node(2, 3, "", price);
    db.Init();
    EXPECT_EQ(ErrorOf([&] { Formula().Text(); }),
              "TFormulaTree.Text: Неизвестная функция \"" + db.FormulaFuncToCapt(TFormulaFunc::ffCurD) + "\".");
}

TEST_F(FormulaTest, AssignCopiesTheTreeButSharesTheFields)
{
    Node(1, 6, "Mul");
    const int node = Node(2, 3, "", cityName);
    Path(node, {saleCust, custCity});
    Node(4, 5, "", 0, "2");
    db.Init();
    TFormula copyOf;
    copyOf.Assign(Formula());
    ASSERT_NE(copyOf.FormulaTreeRoot, nullptr);
    EXPECT_NE(copyOf.FormulaTreeRoot.get(), Formula().FormulaTreeRoot.get());
    EXPECT_EQ(copyOf.Text(), Formula().Text());
    const TFormulaTree *field = copyOf.FormulaTreeRoot->FormulaTreeList.Items(0);
    EXPECT_EQ(field->FldValue(), db.ObjList->GetFldById(cityName));
    EXPECT_EQ(field->Path->Items(1), db.ObjList->GetFldById(custCity));
    Formula().Clear();
    EXPECT_EQ(copyOf.Text(), "Покупатель>Город>Название * 2") << "the copy outlives its source";
    copyOf.Assign(TFormula());
    EXPECT_EQ(copyOf.FormulaTreeRoot, nullptr);
}

class TemplateTest : public FormulaTest
{
protected:
    int TemplField(int objId, int fldId, const QList<int> &path = {})
    {
        const int id = db.GetGenId("OBJVALUE_ID");
        repo.Exec("insert into OBJVALUE (OBJVALUE_ID, OBJ_ID, FLD_ID, OBJVALUE_PATHHAVE) values (:ID, :O, :F, :P)",
                  {{"ID", id}, {"O", objId}, {"F", fldId}, {"P", path.isEmpty() ? 0 : 1}});
        for (int link : path)
            repo.Exec("insert into OBJVALPT (OBJVALPT_ID, OBJVALUE_ID, FLD_ID) values (next value for OBJVALPT_ID, :V, :F)",
                      {{"V", id}, {"F", link}});
        return id;
    }
};

TEST_F(TemplateTest, FieldsAlongAPathInTemplateOrder)
{
    TemplField(sale, cityName, {saleCust, custCity});
    TemplField(sale, price);
    db.Init();
    const TTemplFldList &list = *db.ObjList->GetObjById(sale)->TemplFldList;
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Fld(), db.ObjList->GetFldById(cityName));
    EXPECT_EQ(list.Items(0)->Path->Count(), 2);
    EXPECT_EQ(list.Items(0)->Obj(), db.ObjList->GetObjById(sale));
    EXPECT_EQ(list.Items(1)->Fld(), db.ObjList->GetFldById(price));

    TTemplFldList copyOf;
    copyOf.Assign(list);
    ASSERT_EQ(copyOf.Count(), 2);
    EXPECT_NE(copyOf.Items(0), list.Items(0));
    EXPECT_EQ(copyOf.Items(0)->Path->Items(0), list.Items(0)->Path->Items(0));
    EXPECT_EQ(copyOf.Items(0)->Id(), list.Items(0)->Id());
}

TEST_F(TemplateTest, AFieldTheSearchedObjectLacksGivesThreeLines)
{
    TemplField(sale, cityName, {saleCust});   // the customer has no CITY_NAME
    EXPECT_EQ(ErrorOf([&] { db.Init(); }),
              QString("Объект \"Продажа\": Загрузка шаблона.\r"
                      "Объект \"Покупатель\": Получение поля по коду.\r"
                      "Список полей: Получение поля по коду \"%1\" - не найдено.")
                  .arg(cityName));
}

TEST_F(TemplateTest, APathThroughAPlainFieldIsRefused)
{
    TemplField(sale, custName, {price});
    EXPECT_EQ(ErrorOf([&] { db.Init(); }),
              "Объект \"Продажа\": Загрузка шаблона.\rПоле \"Цена\" в пути шаблона не ссылается на объект.");
}

class TemplateValueTest : public TemplateTest
{
protected:
    void SetUp() override
    {
        TemplateTest::SetUp();
        repo.EnsureDescribed("FLTR");
        repo.EnsureDescribed("FLTRTREE");
        repo.Exec("create table CITY (CITY_ID integer not null primary key, CITY_NAME varchar(50))");
        repo.Exec("create table CUST (CUST_ID integer not null primary key, CUST_NAME varchar(50), CITY_ID integer)");
        repo.Exec("insert into CITY values (1, 'Осло')");
        repo.Exec("insert into CUST values (1, 'Иванов', 1)");
        repo.Exec("insert into CUST values (2, 'Петров', null)");
        repo.Exec("insert into CUST values (3, '50%s', 1)");
    }
    void SetTempl(const QString &templ)
    {
        repo.Exec("update OBJ set OBJ_TEMPL = :T where OBJ_ID = :ID", {{"T", templ}, {"ID", cust}});
    }
    TObj *Cust() { return db.ObjList->GetObjById(cust); }
};

TEST_F(TemplateValueTest, FillsTheTemplateWithTheRecordsValues)
{
    SetTempl("%s (%s)");
    TemplField(cust, custName);
    TemplField(cust, cityName, {custCity});
    db.Init();
    EXPECT_EQ(Cust()->GetValueById(1), "Иванов (Осло)");
    EXPECT_EQ(Cust()->GetValueById(2), "Петров ()") << "a Null value leaves its place empty";
    EXPECT_EQ(Cust()->GetValueById(3), "50%s (Осло)") << "a value holding %s does not take the next value";
    EXPECT_EQ(Cust()->GetValueById(99), " ()") << "no record, no values";
}

TEST_F(TemplateValueTest, TheSameFieldTwiceIsShownTwice)
{
    SetTempl("%s / %s");
    TemplField(cust, custName);
    TemplField(cust, custName);
    db.Init();
    EXPECT_EQ(Cust()->GetValueById(1), "Иванов / Иванов");
}

TEST_F(TemplateValueTest, ChecksComeBeforeAnyStatement)
{
    db.Init();
    EXPECT_EQ(ErrorOf([&] { Cust()->GetValueById(1); }), "У объекта \"Покупатель\" не указаны поля для шаблона значения.");
    db.Deinit();
    TemplField(cust, custName);
    db.Init();
    EXPECT_EQ(ErrorOf([&] { Cust()->GetValueById(1); }), "У объекта \"Покупатель\" не указан шаблон значения.");
    db.Deinit();
    SetTempl("%s, %s, %s");
    TemplField(cust, cityName, {custCity});
    db.Init();
    EXPECT_EQ(ErrorOf([&] { Cust()->GetValueById(1); }),
              "У объекта \"Покупатель\" количество значений \"%s\" в шаблоне не соответствует количеству полей шаблона.");
}

} // namespace
