// The configurator's field card: its formula editor, and the controls that follow the type.
#include "CardWidgets.h"
#include "ConfFixture.h"
#include "Formula.h"
#include "TreeWidget.h"
#include "WinFrml.h"

namespace {

using enum TFormulaFunc;

class WinFrmlTest : public ConfFixture
{
protected:
    // The nodes in pre-order: bounds, text shown collapsed, path flag.
    static QStringList Nodes(const TFormulaTree *node)
    {
        QStringList nodes{QString("%1/%2 %3").arg(node->Lft()).arg(node->Rgt()).arg(node->Text(true))
                          + (node->PathHave() ? " path" : "")};
        for (const TFormulaTree *child : node->FormulaTreeList)
            nodes << Nodes(child);
        return nodes;
    }
    template <typename... Operands>
    static std::unique_ptr<TFormulaTree> Fn(TFormulaFunc func, Operands... operands)
    {
        auto node = std::make_unique<TFormulaTree>();
        node->SetFunc(func);
        (node->FormulaTreeList.Add(std::move(operands)), ...);
        return node;
    }
    static std::unique_ptr<TFormulaTree> Leaf(const QString &value, TFld *fld = nullptr)
    {
        auto node = std::make_unique<TFormulaTree>();
        node->SetValue(value);
        if (fld)
            node->SetFldValue(fld);
        return node;
    }
};

// "Price of the product plus two times three" on the delivery of a deal's products, built in the
// configurator's field card, numbered on OK, saved with the field and read back at the next login.
// Before: a function picker answered with no row adds and changes nothing; a delete leaves no node
// focused, deleting the top node empties the formula, and the change is dropped only once the
// developer confirms it.
TEST_F(WinFrmlTest, BuildsAFormulaInTheFieldCardNumbersAndSavesIt)
{
    TFld *dlv = F("DEALPROD", "DEALPROD_DLV");
    QTreeWidget *vt = nullptr;
    auto add = [&](int row, const QString &kind) {
        return [&, row, kind](QWidget *w) {
            vt = w->findChild<QTreeWidget *>();
            QTreeWidgetItem *item = row < 0 ? nullptr : row == 0 ? vt->topLevelItem(0) : vt->topLevelItem(0)->child(row);
            Popup(vt, item, {"Добавить", kind});
        };
    };
    auto value = [](const QString &value) {
        return [value](QWidget *w) { QTest::keyClicks(w->findChild<QLineEdit *>(), value), ClickButton(w, "ОК"); };
    };
    const ModalScript::Step formula = [](QWidget *card) { Pick(card, "Формула"); };
    const ModalScript::Step escape = [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); };
    QList<QStringList> seen;
    QStringList shown;
    BoxSeen question;
    {
        ModalScript script{
            formula, add(-1, "Функция..."),
            [](QWidget *w) { ClickButton(w, "ОК"); },   // no row
            escape,                                      // nothing changed: nothing asked
            formula, add(-1, "Функция..."),
            [](QWidget *w) { PickRow(w, "Сумма"); },
            add(0, "Значение..."), value("1"),
            [&](QWidget *w) {
                Popup(vt, vt->topLevelItem(0)->child(0), {"Удалить"});
                EXPECT_EQ(FocusedItem(vt), nullptr) << "no node focused after a delete";
                seen << Texts(vt);
                Popup(vt, vt->topLevelItem(0), {"Удалить"});
                seen << Popup(vt, nullptr);
                escape(w);
            },
            AnswerBox(question, "&Нет"), escape, AnswerBox(question, "&Да"),
            formula, add(-1, "Функция..."),
            [](QWidget *w) { PickRow(w, "Сумма"); },
            add(0, "Поле..."),
            [&](QWidget *w) {
                auto *fields = w->findChild<QTreeWidget *>();
                fields->setCurrentItem(Node(fields, {"PRODUCT_ID", "PRODUCT_PRICE"}));
                ClickButton(w, "ОК");
            },
            add(0, "Функция..."),
            [](QWidget *w) { PickRow(w, "Произведение"); },
            add(1, "Значение..."), value("2"), add(1, "Значение..."), value("3"),
            [&](QWidget *w) {
                shown = Texts(vt);
                vt->collapseItem(vt->topLevelItem(0));
                shown << vt->topLevelItem(0)->text(0);
                ClickButton(w, "ОК");
            },
            [&](QWidget *card) { shown << Labelled(card, "Формула")->text(), ClickButton(card, "ОК"); }};
        ClickRow(*conf->WinTblObj, "DEALPROD");
        ClickRow(*conf->WinTblFld, "DEALPROD_DLV");
        Key(*conf->WinTblFld, Qt::Key_F2);
    }
    EXPECT_EQ(seen, QList<QStringList>({{"Сумма"}, {"Добавить"}})) << "the formula is empty again";
    EXPECT_EQ(question.Text, "Отменить изменения?");
    const QString sum = "Товар>Цена + 2 * 3";
    EXPECT_EQ(shown, QStringList({"Сумма", "Товар>Цена", "Произведение", "2", "3", sum, sum}));
    const QStringList numbered{"1/10 " + sum, "2/3 Товар>Цена path", "4/9 2 * 3", "5/6 2", "7/8 3"};
    EXPECT_EQ(Nodes(dlv->Formula->FormulaTreeRoot.get()), numbered);
    EXPECT_EQ(Count("select FLD_FRMLHAVE from FLD where FLD_ID = :F", {{"F", dlv->Id()}}), 1);
    LogIn();
    EXPECT_EQ(Nodes(F("DEALPROD", "DEALPROD_DLV")->Formula->FormulaTreeRoot.get()), numbered);
}

// OK checks a node before its operands, in order, and stops at the first that cannot be
// computed: the window stays open with that node focused.
TEST_F(WinFrmlTest, OkRefusesANodeThatCannotBeComputedAndFocusesIt)
{
    const struct
    {
        std::function<std::unique_ptr<TFormulaTree>()> Root;
        QString Error, Focused;
    } cases[] = {
        {[] { return Fn(ffAdd, Leaf("2")); }, "У функции \"Сумма\" должно быть 2 параметра или больше.", "Сумма"},
        {[] { return Fn(ffAdd, Fn(ffRate, Leaf("2")), Fn(ffAdd)); }, "У функции \"Курс валюты\" должно быть 2 параметра.",
         "Курс валюты"},
        {[] { return Fn(ffAdd, Fn(ffParId), Leaf("2")); },
         "Функция \"Ключ главной записи\" может быть только корневым элементом дерева формулы.", "Ключ главной записи"},
        {[&] { return Fn(ffAdd, Leaf("2"), Leaf("", F("DEALPROD", "DEALPROD_PAID"))); },
         "Поле \"Оплачено\" нельзя использовать в формуле - оно суммирующее.", "Оплачено"},
        {[] { return Fn(ffRate, Leaf("2"), Leaf("3")); }, "1/6 Курс валюты(2;3)|2/3 2|4/5 3", "Курс валюты"},
    };
    for (const auto &c : cases) {
        TWinFormula editor(form.get(), form.get(), "Формула");
        editor.Formula->FormulaTreeRoot = c.Root();
        QStringList seen;
        ModalScript script{[&](QWidget *w) {
            Popup(editor.vt, editor.vt->topLevelItem(0));
            const QString error = ErrorOf([&] { editor.CheckAndNumber(); });
            seen << (error == "no error" ? Nodes(editor.Formula->FormulaTreeRoot.get()).join('|') : error)
                 << FocusedItem(editor.vt)->text(0);
            ClickButton(w, "Отмена");
        }};
        editor.Execute();
        EXPECT_EQ(seen, QStringList({c.Error, c.Focused}));
    }

    // A stored tree may hold what the menu never builds: its text fails where it is computed, in
    // the handler, and the window goes on.
    TWinFormula editor(form.get(), form.get(), "Формула");
    editor.Formula->FormulaTreeRoot = Fn(ffCurD, Leaf("2"));
    BoxSeen damaged;
    ModalScript script{[&](QWidget *) { editor.vt->collapseItem(editor.vt->topLevelItem(0)); },
                       AnswerBox(damaged, "OK"), [](QWidget *w) { ClickButton(w, "ОК"); }};
    EXPECT_TRUE(editor.Execute());
    EXPECT_EQ(damaged.Text, "TFormulaTree.Text: Неизвестная функция \"Текущая дата\".");
}

// The controls of the field card that follow the type and the summing link, read-only or not.
QString Editable(QWidget *card)
{
    QStringList editable;
    for (const QString caption : {"Размер", "Внешний объект", "Правило удаления", "Суммируемая связь",
                                  "Суммируемое поле", "Формула"})
        if (QLineEdit *edit = Labelled(card, caption)) {
            // A picker's edit takes no typing: its button says whether it may be used.
            auto *picker = dynamic_cast<TButtonedEdit *>(edit);
            if (picker ? picker->ShowButton() : !edit->isReadOnly())
                editable << caption;
        }
    return editable.join(", ");
}

using WinAtrFldTest = ConfFixture;

// A new field's card starts with every control that follows the type read-only, then enables
// what its type allows; a summing link enables the summed field.
TEST_F(WinAtrFldTest, TheFieldCardFollowsTheTypeAndTheSummingLink)
{
    ClickRow(*conf->WinTblObj, "PRODUCT");
    QStringList seen;
    {
        BoxSeen question;
        ModalScript script{
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Тип поля"); },
            [](QWidget *picker) { PickRow(picker, "Строка"); },
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Тип поля"); },
            [](QWidget *picker) { PickRow(picker, "Число (2 знака)"); },
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Суммируемая связь"); },
            [](QWidget *picker) { PickRow(picker, "Product-DealProd"); },
            [&](QWidget *card) { seen << Editable(card), ClickButton(card, "Отмена"); },
            AnswerBox(question, "&Да")};
        Press(*conf->WinTblFld, TBtnType::btAdd);
    }
    EXPECT_EQ(seen, QStringList({"", "Размер, Формула", "Суммируемая связь, Формула",
                                   "Суммируемая связь, Суммируемое поле"}));
}

} // namespace
