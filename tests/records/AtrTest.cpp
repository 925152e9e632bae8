#include "AtrFixture.h"
#include "AtrItemObjTempl.h"
#include "IBTransaction.h"
#include "Sql.h"

namespace {

using namespace korvenix_test;

class AtrTest : public AtrFixture
{
protected:
    void SetUp() override
    {
        AtrFixture::SetUp();
        contrag = Scalar("select min(CONTRAG_ID) from CONTRAG");
    }
    Variant contrag;   // the first counterparty of the demo
};

// The metadata editors choose the item class and react to changes and commits.
class HookedAtr : public TAtr
{
public:
    std::unique_ptr<TAtrItem> CreateAtrItem(TFld *AFld) override
    {
        return AFld->Field() == "CONTRAG_INN" ? std::make_unique<TAtrItemObjTempl>() : TAtr::CreateAtrItem(AFld);
    }
    void AtrItemChange(TAtrItem *AAtrItem) override { Changed << AAtrItem->Fld->Field(); }
    void DoAfterCommit() override { Changed << "commit"; }
    QStringList Changed;
};

TEST_F(AtrTest, ItemsBelongToTheObjectAndSubclassesMakeThem)
{
    auto atr = Editor("DEAL");
    EXPECT_EQ(ErrorOf([&] { atr->GetByFld(F("CONTRAG", "CONTRAG_NAME")); }),
              "TAtr.GetByFld: Поле \"Наименование\" не принадлежит объекту \"Сделки\".");
    EXPECT_EQ(ErrorOf([&] { atr->GetByFldName("X"); }), "TAtr.GetByFldName: Поле \"X\" не принадлежит объекту \"Сделки\".");
    EXPECT_EQ(ErrorOf([&] { atr->GetAddByFldName("X"); }), "TAtr.GetAddByFldName: Поле \"X\" не принадлежит объекту \"Сделки\".");
    EXPECT_EQ(atr->GetByFldName("DEAL_NOTE"), nullptr);
    EXPECT_EQ(atr->GetAddByFldName("DEAL_NOTE"), atr->GetAddByFld(F("DEAL", "DEAL_NOTE")));
    EXPECT_EQ(atr->Count(), 1);

    HookedAtr hooked;
    hooked.SetObj(O("CONTRAG"));
    EXPECT_NE(dynamic_cast<TAtrItemObjTempl *>(I(hooked, "CONTRAG_INN")), nullptr);
    hooked.SetRecId(contrag);
    I(hooked, "CONTRAG_INN")->SetValue("1");
    I(hooked, "CONTRAG_NAME")->SetValue("Имя");
    Save(hooked);
    EXPECT_EQ(hooked.Changed, QStringList({"CONTRAG_INN", "CONTRAG_NAME", "commit"}));
}

TEST_F(AtrTest, NewRecordDefaultsChecksAndInsert)
{
    auto atr = Editor("DEAL", {"DEAL_CLOSED", "DEAL_SUM"});
    atr->SetDefaultValues(nullptr, Variant::Null());
    EXPECT_EQ(V(*atr, "DEAL_CLOSED"), Variant(0));
    EXPECT_FALSE(atr->Modified());
    const QString missing = "Невозможно добавить запись для объекта \"Сделки\", т.к. для поля \"Номер\" не указано значение.";
    db.StartTransaction();
    try {   // a required field without an item: the plain error, there is no control to focus
        atr->Post();
        ADD_FAILURE();
    } catch (const ECheckFldException &) {
        ADD_FAILURE() << "no item to carry";
    } catch (const ExceptionPos &e) {
        EXPECT_EQ(e.Message(), missing);
    }
    const Variant key = V(*atr, "DEAL_ID");
    TAtrItem *number = I(*atr, "DEAL_NUM");
    try {
        atr->Post();
        ADD_FAILURE();
    } catch (const ECheckFldException &e) {
        EXPECT_EQ(e.AtrItem, number);
        EXPECT_EQ(e.Message(), missing);
    }
    db.RollbackChanges();
    EXPECT_NE(ErrorOf([&] { atr->Post(); }), "no error");   // it never starts a transaction itself
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    number->SetValue("Н-1");
    I(*atr, "CONTRAG_ID")->SetValue(contrag);
    I(*atr, "CURR_ID")->SetValue(Key("CURR", "CURR_BASE", 1));
    I(*atr, "DEAL_SUM")->InitValue(99, true);   // kept by the triggers, never written
    int calls = 0;
    atr->OnAfterCommit = [&](TAtr *sender) { calls += Column("DEAL", "DEAL_NUM", sender->RecId()) == Variant("Н-1"); };
    Save(*atr);
    EXPECT_EQ(calls, 1);   // after the commit
    EXPECT_EQ(atr->RecId(), key);   // the key drawn by the failed post is kept
    EXPECT_FALSE(atr->New() || atr->Modified());
    const QString insert = atr->InsertSQL->GetInsertSQL();
    EXPECT_FALSE(insert.contains("DEAL_CLOSED") || insert.contains("DEAL_SUM")) << insert.toStdString();
    EXPECT_EQ(Column("DEAL", "DEAL_SUM", key), Variant(0));
}

TEST_F(AtrTest, UpdatesWriteWhatChangedSinceTheCommit)
{
    auto atr = Editor("CONTRAG", {"CONTRAG_NAME", "CONTRAG_INN", "CONTRAG_ADDR"});
    atr->SetRecId(contrag);
    const qint64 before = TIBSQL::ExecutedCount();
    I(*atr, "CONTRAG_INN")->InitValue("только показано", false);
    atr->Post();   // nothing to write: no statement, no transaction needed
    EXPECT_EQ(TIBSQL::ExecutedCount(), before);

    db.StartTransaction();
    I(*atr, "CONTRAG_NAME")->SetValue(Variant::Null());
    EXPECT_EQ(ErrorOf([&] { atr->Post(); }),
              "Невозможно изменить запись для объекта \"Контрагенты\", т.к. для поля \"Наименование\" не указано значение.");
    I(*atr, "CONTRAG_NAME")->SetValue("ООО «Новое»");
    I(*atr, "CONTRAG_INN")->SetValue("");
    atr->Post();
    I(*atr, "CONTRAG_ADDR")->SetValue(QString(300, QChar(u'ж')));
    atr->Post();   // carries the columns of both posts
    EXPECT_EQ(atr->UpdateSQL->SelFldList.Count(), 3);
    atr->Commit();
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", contrag), Variant("ООО «Новое»"));
    EXPECT_TRUE(Column("CONTRAG", "CONTRAG_INN", contrag).isNull());   // an empty string is Null
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_ADDR", contrag), Variant(QString(250, QChar(u'ж'))));   // cut to size
    EXPECT_EQ(V(*atr, "CONTRAG_ADDR").toString().size(), 300);
    QString emoji;   // sizes count characters, not UTF-16 units
    for (int i = 0; i < 14; ++i)
        emoji += QString::fromUtf8("😀");
    I(*atr, "CONTRAG_INN")->SetValue(emoji);
    I(*atr, "CONTRAG_TURN")->SetValue(5);   // summing: never updated
    Save(*atr);
    EXPECT_EQ(atr->UpdateSQL->SelFldList.Count(), 1);
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_INN", contrag).toString(), emoji.left(24));

    const Variant link = Key("DEP", "DEP_NAME", "DealProd");   // virtual fields: neither read nor written
    auto dep = Editor("DEP", {"DEP_CAPT", "FLD_CAPT_V"});
    dep->SetRecId(link);
    EXPECT_TRUE(V(*dep, "FLD_CAPT_V").isNull());
    I(*dep, "FLD_CAPT_V")->SetValue("виртуальное");
    I(*dep, "DEP_CAPT")->SetValue("Строки сделки");
    Save(*dep);
    EXPECT_EQ(dep->UpdateSQL->SelFldList.Count(), 1);
}

TEST_F(AtrTest, AKeyWithoutARowIsAnErrorAndRefreshReadsOnlySums)
{
    auto atr = Editor("CONTRAG", {"CONTRAG_NAME", "CONTRAG_TURN"});
    atr->SetRecId(contrag);
    EXPECT_EQ(ErrorOf([&] { atr->SetRecId(999999); }), "Запись объекта \"Контрагенты\" с ключом \"999999\" не найдена.");
    EXPECT_EQ(atr->RecId(), contrag);
    I(*atr, "CONTRAG_NAME")->SetValue("Правка");
    repo.Exec("update CONTRAG set CONTRAG_TURN = 12.5, CONTRAG_NAME = 'Другое' where CONTRAG_ID = :ID", {{"ID", contrag}});
    atr->RefreshArgFlieds();
    EXPECT_EQ(V(*atr, "CONTRAG_TURN"), Variant(12.5));
    EXPECT_FALSE(I(*atr, "CONTRAG_TURN")->Modified);
    Save(*atr);   // still addresses the loaded record after the failed load
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", contrag), Variant("Правка"));

    TSObj row;   // a metadata row copied in as ordinary changes
    row.AddAllFld(*O("UNIT"));
    row.FldByName("UNIT_NAME").Value = "ящ";
    auto unit = Editor("UNIT");
    unit->SetDefaultValues(nullptr, Variant::Null());
    unit->CopyDataFrom(row);
    EXPECT_EQ(unit->Count(), O("UNIT")->FldList->Count());
    Save(*unit);
    EXPECT_EQ(Column("UNIT", "UNIT_NAME", unit->RecId()), Variant("ящ"));
}

TEST_F(AtrTest, EditorsOfOneObjectShareTheirPreparedStatements)
{
    // As cards do: a new editor for every record, each posting the same columns.
    const auto post = [&](const QString &name, const Variant &inn) {
        auto atr = Editor("CONTRAG", {"CONTRAG_NAME", "CONTRAG_INN"});
        atr->SetDefaultValues(nullptr, Variant::Null());
        I(*atr, "CONTRAG_NAME")->SetValue(name);
        I(*atr, "CONTRAG_INN")->SetValue(inn);
        atr->Post();
        return atr->RecId();
    };
    db.StartTransaction();
    const Variant first = post("Первый", "111");
    const qint64 prepared = TIBSQL::PrepareTotal();
    const Variant second = post("Второй", Variant::Null());   // a Null reaches the shared statement too
    EXPECT_EQ(TIBSQL::PrepareTotal(), prepared) << "neither the key draw nor the insert is prepared again";
    EXPECT_NE(first, second);
    db.RollbackChanges();   // the caller's rollback undoes both; a shared statement survives it
    db.StartTransaction();
    const Variant third = post("Третий", "333");
    db.CommitTransaction();
    EXPECT_EQ(TIBSQL::PrepareTotal(), prepared);
    EXPECT_TRUE(Column("CONTRAG", "CONTRAG_NAME", first).isNull());
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", third), Variant("Третий"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_INN", third), Variant("333"));

    const auto rename = [&](const Variant &key, const QString &name) {
        auto atr = Editor("CONTRAG", {"CONTRAG_NAME", "CONTRAG_INN"});
        atr->SetRecId(key);
        I(*atr, "CONTRAG_NAME")->SetValue(name);
        Save(*atr);
    };
    rename(contrag, "Правка 1");
    const qint64 updatePrepared = TIBSQL::PrepareTotal();
    rename(third, "Правка 3");
    EXPECT_EQ(TIBSQL::PrepareTotal(), updatePrepared + 1) << "only the second editor's load is prepared";
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", contrag), Variant("Правка 1"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_NAME", third), Variant("Правка 3"));
}

} // namespace
