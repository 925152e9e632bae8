#include "AtrFixture.h"
#include "Sql.h"

namespace {

using namespace korvenix_test;
using enum TFormulaFunc;

using AtrTest = AtrFixture;

TEST_F(AtrTest, PostWritesOnTheCallersTransactionOnlyWhatChangedAndAKeyWithoutARowIsAnError)
{
    const Variant contrag = Scalar("select min(CONTRAG_ID) from CONTRAG");
    auto deal = New("DEAL");
    // A required field without an item has no control to focus: a plain error.
    EXPECT_EQ(Refusal(*deal), std::make_pair(QString("Невозможно добавить запись для объекта \"Сделки\", т.к. для поля "
                                                     "\"Номер\" не указано значение."), QString()));
    for (const auto &[field, value] :
         Values{{"DEAL_NUM", "Н-1"}, {"CONTRAG_ID", contrag}, {"CURR_ID", Key("CURR", "CURR_BASE", 1)}})
        I(*deal, field)->SetValue(value);
    I(*deal, "DEAL_SUM")->InitValue(99, true);   // kept by the triggers, never written
    EXPECT_NE(ErrorOf([&] { deal->Post(); }), "no error");   // it never starts a transaction itself
    Save(*deal);
    EXPECT_EQ(Column("DEAL", "DEAL_SUM", deal->RecId()), Variant(0));

    auto atr = Load("CONTRAG", contrag, {"CONTRAG_NAME", "CONTRAG_INN", "CONTRAG_ADDR"});
    I(*atr, "CONTRAG_NAME")->SetValue(Variant::Null());
    EXPECT_EQ(Refusal(*atr).first,
              "Невозможно изменить запись для объекта \"Контрагенты\", т.к. для поля \"Наименование\" не указано значение.");
    const QString smile = QString::fromUtf8("😀");   // sizes count characters, not UTF-16 units
    const Variant turn = Column("CONTRAG", "CONTRAG_TURN", contrag);
    for (const auto &[field, value] : Values{{"CONTRAG_NAME", "ООО «Новое»"}, {"CONTRAG_INN", ""},
                                             {"CONTRAG_ADDR", smile.repeated(260)}, {"CONTRAG_TURN", 5}})
        I(*atr, field)->SetValue(value);
    Save(*atr);
    EXPECT_TRUE(Column("CONTRAG", "CONTRAG_INN", contrag).isNull());   // an empty string is Null
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_ADDR", contrag), Variant(smile.repeated(250)));   // cut to the column's size
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_TURN", contrag), turn);   // summing: kept by the triggers, never written

    // A key without a row leaves the editor on its record; a refresh reads the sums only.
    auto stored = Load("CONTRAG", contrag, {"CONTRAG_NAME", "CONTRAG_TURN"});
    EXPECT_EQ(ErrorOf([&] { stored->SetRecId(999999); }), "Запись объекта \"Контрагенты\" с ключом \"999999\" не найдена.");
    EXPECT_EQ(stored->RecId(), contrag);
    I(*stored, "CONTRAG_NAME")->SetValue("Правка");
    repo.Exec("update CONTRAG set CONTRAG_TURN = 12.5, CONTRAG_ADDR = 'Другой' where CONTRAG_ID = :ID", {{"ID", contrag}});
    stored->RefreshArgFlieds();
    EXPECT_EQ(V(*stored, "CONTRAG_TURN"), Variant(12.5));
    EXPECT_EQ(V(*stored, "CONTRAG_NAME"), Variant("Правка"));
    Save(*stored);   // still addresses the loaded record after the failed load
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", contrag), Variant("Правка"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_ADDR", contrag), Variant("Другой"));
}

TEST_F(AtrTest, EditorsOfOneObjectShareTheirPreparedStatements)
{
    const Variant contrag = Scalar("select min(CONTRAG_ID) from CONTRAG");
    // As cards do: a new editor for every record, each posting the same columns.
    const auto post = [&](const Variant &key, const Variant &inn) {
        auto atr = key.isNull() ? New("CONTRAG") : Load("CONTRAG", key, {"CONTRAG_NAME", "CONTRAG_INN"});
        I(*atr, "CONTRAG_NAME")->SetValue("Имя");
        I(*atr, "CONTRAG_INN")->SetValue(inn);
        atr->Post();
        return atr->RecId();
    };
    db.StartTransaction();
    const Variant first = post(Variant::Null(), "111");
    post(contrag, "1");
    const qint64 prepared = TIBSQL::PrepareTotal();
    post(Variant::Null(), Variant::Null());   // a Null reaches the shared statement too
    db.RollbackChanges();   // the caller's rollback undoes all; a shared statement survives it
    db.StartTransaction();
    post(Variant::Null(), "333");
    post(contrag, "2");
    EXPECT_EQ(TIBSQL::PrepareTotal(), prepared + 1) << "only the second update's load is prepared again";
    db.CommitTransaction();
    EXPECT_TRUE(Column("CONTRAG", "CONTRAG_NAME", first).isNull());
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_INN", contrag), Variant("2"));
}

// A value the program sets beyond its column's size is cut after as many characters as the column
// holds, a character beyond the basic plane counted once and never split from its pair.
TEST_F(AtrTest, TextsAreCutToTheirColumnsCharactersAndNeverSplitAPair)
{
    const Variant contrag = Scalar("select min(CONTRAG_ID) from CONTRAG");
    const QString smile = QString::fromUtf8("😀");
    auto atr = Load("CONTRAG", contrag, {"CONTRAG_NAME", "CONTRAG_PHONE"});
    I(*atr, "CONTRAG_NAME")->SetValue("я" + smile.repeated(120));
    I(*atr, "CONTRAG_PHONE")->SetValue(smile.repeated(20));
    Save(*atr);
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", contrag), Variant("я" + smile.repeated(99)));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_PHONE", contrag), Variant(smile.repeated(20)));
}

TEST_F(AtrTest, FixedPointValuesRoundHalfAwayFromZeroToTheirTypesDecimals)
{
    const struct { const char *table, *field; Variant in, out; } cases[] = {
        {"DEALPROD", "DEALPROD_PRICE", 2.345, 2.35}, {"DEALPROD", "DEALPROD_PRICE", -0.125, -0.13},
        {"DEALPROD", "DEALPROD_PRICE", "2.346", 2.35}, {"DEALPROD", "DEALPROD_SHIP", 0.0005, 0.001},
        {"DEALPROD", "DEALPROD_PRICE", Variant::FromCurrency(qint64(23465)), 2.35}, {"DEAL", "DEAL_RATE", 1.23456, 1.2346},
        {"DEAL", "DEAL_RATE", Variant::Null(), Variant::Null()}};
    for (const auto &c : cases)
        EXPECT_EQ(V(*New(c.table, {{c.field, c.in}}), c.field), c.out) << VarDebugText(c.in).toStdString();
}

TEST_F(AtrTest, ReferenceValuesShareAColumnPerFieldAndPath)
{
    TAtrItem group;
    group.Fld = F("PRODUCT", "PRODGRP_ID");
    const auto node = [&](QList<TFld *> path) {
        return Of(F("PRODGRP", "PRODGRP_NAME"), QList<TFld *>{group.Fld} + path);
    };
    auto own = node({}), ownAgain = node({}), parent = node({F("PRODGRP", "PRODGRP_PRN")});
    // Nothing is built for reading through the link until a path asks for it, and a path that
    // does not start at a link is refused without leaving anything half made.
    EXPECT_EQ(group.PKFilter, nullptr);
    auto notALink = Of(F("PRODGRP", "PRODGRP_NAME"), {F("PRODUCT", "PRODUCT_NAME")});
    EXPECT_EQ(ErrorOf([&] { group.AddFormulaTree(notALink.get()); }),
              "TAtrItem.AddFormulaTree: Поле \"Наименование\" не ссылается на объект.");
    EXPECT_EQ(group.PKFilter, nullptr);
    for (TFormulaTree *n : {own.get(), ownAgain.get(), parent.get()})
        group.AddFormulaTree(n);
    EXPECT_EQ(group.SQL->SelFldList.Count(), 2);
    const auto values = [&] {
        QStringList v;
        for (TFormulaTree *n : {own.get(), ownAgain.get(), parent.get()})
            v << (group.GetFldValue(n).isNull() ? "-" : group.GetFldValue(n).toString());
        return v;
    };
    group.SetValue(Key("PRODGRP", "PRODGRP_NAME", "Компьютеры"));
    EXPECT_EQ(values(), QStringList({"Компьютеры", "Компьютеры", "Электроника"}));
    group.SetValue(Variant::Null());
    EXPECT_EQ(values(), QStringList({"-", "-", "-"}));
    // A failed read passes on, keeps the value and does not leave the item in a load.
    EXPECT_NE(ErrorOf([&] { group.InitValue("не число", false); }), "no error");
    EXPECT_EQ(group.Value(), Variant("не число"));
    EXPECT_EQ(group.ChangeType, TChangeType::ctNone);
}

TEST_F(AtrTest, ChangesRippleThroughFormulasUnlessADivisorIsZeroOrTheyReadEachOtherInACircle)
{
    // Delivery = price / quantity, read in turn by the amount (quantity * price + delivery).
    F("DEALPROD", "DEALPROD_DLV")->Formula->FormulaTreeRoot =
        Fn(ffDiv, Of(F("DEALPROD", "DEALPROD_PRICE")), Of(F("DEALPROD", "DEALPROD_SHIP")));
    auto atr = New("DEALPROD", {{"DEALPROD_SHIP", 0}});
    EXPECT_TRUE(V(*atr, "DEALPROD_DLV").isNull() && V(*atr, "DEALPROD_PAY").isNull());   // Null operands, even over 0
    I(*atr, "DEALPROD_SHIP")->SetValue(2);
    I(*atr, "DEALPROD_PRICE")->SetValue(10);
    EXPECT_EQ(QList<Variant>({V(*atr, "DEALPROD_DLV"), V(*atr, "DEALPROD_PAY")}), QList<Variant>({5.0, 25.0}));
    EXPECT_EQ(ErrorOf([&] { I(*atr, "DEALPROD_SHIP")->SetValue(0); }),
              "Ошибка вычисления поля \"Доставка\" объекта \"Товары сделок\": Деление на ноль.");
    EXPECT_EQ(QList<Variant>({V(*atr, "DEALPROD_SHIP"), V(*atr, "DEALPROD_DLV")}), QList<Variant>({0.0, 5.0}));

    // Delivery read by the amount and reading it in turn: refused, on a new record and on a load.
    F("DEALPROD", "DEALPROD_DLV")->Formula->FormulaTreeRoot =
        Fn(ffAdd, Of(F("DEALPROD", "DEALPROD_PAY")), Of(F("DEALPROD", "DEALPROD_SHIP")));
    const QString circle = "Формулы полей объекта \"Товары сделок\" зависят друг от друга по кругу: \"К оплате\" -> "
                           "\"Доставка\" -> \"К оплате\".";
    auto circular = std::make_unique<TAtr>();
    circular->SetObj(O("DEALPROD"));
    EXPECT_EQ(ErrorOf([&] { circular->SetDefaultValues(nullptr, Variant::Null()); }), circle);
    EXPECT_EQ(ErrorOf([&] { Load("DEALPROD", Scalar("select min(DEALPROD_ID) from DEALPROD")); }), circle);
    EXPECT_NO_THROW(I(*circular, "DEALPROD_PAY")->SetValue(1));   // refused formulas no longer react
}

TEST_F(AtrTest, TheMasterKeyFormulaReadsTheMastersMainLink)
{
    const Variant deal = Scalar("select min(DEAL_ID) from DEAL");
    auto payment = New("DEALPAYM", {{"DEAL_ID", deal}});   // without a master the payer is the user's to choose
    EXPECT_TRUE(V(*payment, "CONTRAG_ID").isNull());
    payment->SetDefaultValues(Link("DEAL", "DealPaym"), deal);
    EXPECT_EQ(V(*payment, "CONTRAG_ID"), Column("DEAL", "CONTRAG_ID", deal));
    Link("CONTRAG", "Contrag-Deal")->SetMainDep(false);
    payment->SetDefaultValues(Link("DEAL", "DealPaym"), deal);
    EXPECT_TRUE(V(*payment, "CONTRAG_ID").isNull());
}

} // namespace
