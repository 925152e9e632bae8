#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;


class RepositoryTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
    }
    void TearDown() override
    {
        db.ObjList->NotifyPosition = nullptr;
        DBFixture::TearDown();
    }

    // Object A with key A_ID and link field B_ID to object B with key B_ID.
    void BuildTwoObjectsWithALink()
    {
        aId = repo.AddObj("A", "Объект А");
        repo.AddFld(aId, "A_ID", "PK");
        aLinkFld = repo.AddFld(aId, "B_ID", "FK", "Ссылка на Б");
        bId = repo.AddObj("B", "Объект Б", true);
        repo.AddFld(bId, "B_ID", "PK");
        depId = repo.AddDep(bId, aLinkFld, "Cascade", "B-A");
    }

    int aId = 0, bId = 0, aLinkFld = 0, depId = 0;
};

TEST_F(RepositoryTest, TwoObjectsWithALink)
{
    BuildTwoObjectsWithALink();
    db.Init();
    ASSERT_TRUE(db.Inited);
    ASSERT_EQ(db.ObjList->Count(), 2);
    TObj *a = db.ObjList->GetObjById(aId);
    TObj *b = db.ObjList->GetObjByTable("B");
    EXPECT_EQ(a->Capt(), "Объект А");
    EXPECT_TRUE(b->Ref());
    EXPECT_EQ(a->PKFld, a->GetFldByName("A_ID"));
    EXPECT_EQ(b->PKFld, b->GetFldByName("B_ID"));

    ASSERT_EQ(b->ChildList->Count(), 1);
    ASSERT_EQ(a->ParentList->Count(), 1);
    TObjLink *link = b->ChildList->Items(0);
    EXPECT_EQ(a->ParentList->Items(0), link);
    EXPECT_EQ(link->ParentObj(), b);
    EXPECT_EQ(link->ChildFld(), a->GetFldById(aLinkFld));
    EXPECT_EQ(link->FKRule(), TFKRule::fkCascade);
    EXPECT_EQ(db.ObjList->GetObjLinkById(depId), link);
    EXPECT_EQ(b->ChildList->GetByName("B-A"), link);
    EXPECT_EQ(b->ChildList->GetByChiObjTable("A"), link);
    EXPECT_EQ(b->ChildList->GetByFldId(aLinkFld), link);
    EXPECT_EQ(b->ChildList->GetByName("b-a"), nullptr);

    TFld *linkFld = a->GetFldByName("B_ID");
    EXPECT_EQ(linkFld->FKObj(), b);
    EXPECT_EQ(linkFld->FKObjId(), Variant(bId));
    EXPECT_EQ(linkFld->FKRule(), TFKRule::fkCascade);
    EXPECT_EQ(linkFld->Obj(), a);
    EXPECT_TRUE(linkFld->FldByName("FLD_FRML_V").Value.isEmpty()) << "editor values start unassigned";
    EXPECT_TRUE(link->FldByName("FLD_CAPT_V").Value.isEmpty());
    repo.Exec("create sequence B_ID");
    const int first = b->GetNewId();
    EXPECT_EQ(b->GetNewId(), first + 1) << "keys come from the generator named like the key column";
}

TEST_F(RepositoryTest, VirtualLinkFieldHasNoTarget)
{
    aId = repo.AddObj("A", "А");
    repo.AddFld(aId, "A_ID", "PK");
    repo.AddFld(aId, "B_ID", "FK", "Виртуальная ссылка", true);
    db.Init();
    TFld *fld = db.ObjList->GetObjById(aId)->GetFldByName("B_ID");
    EXPECT_EQ(fld->FKObj(), nullptr);
    EXPECT_TRUE(fld->FKObjId().isEmpty());
}

TEST_F(RepositoryTest, StoredLinkFieldWithoutItsLinkStopsTheLoad)
{
    aId = repo.AddObj("A", "Объект А");
    repo.AddFld(aId, "B_ID", "FK");
    EXPECT_EQ(ErrorOf([&] { db.Init(); }),
              "Объект \"Объект А\", поле \"B_ID\": у поля-ссылки нет связи с главным объектом.");
    EXPECT_FALSE(db.Inited);
}

class SummingFieldTest : public RepositoryTest
{
protected:
    // A deal (master) summing the AMOUNT of its rows (detail) into TOTAL.
    void Build(bool wrongDetailField)
    {
        const int deal = repo.AddObj("DEAL", "Сделка");
        repo.AddFld(deal, "DEAL_ID", "PK");
        total = repo.AddFld(deal, "TOTAL", "Num182");
        const int row = repo.AddObj("ROW", "Строка");
        repo.AddFld(row, "ROW_ID", "PK");
        const int link = repo.AddFld(row, "DEAL_ID", "FK");
        amount = repo.AddFld(row, "AMOUNT", "Num182");
        const int other = repo.AddObj("OTHER", "Другой");
        otherFld = repo.AddFld(other, "OTHER_ID", "PK");
        dep = repo.AddDep(deal, link, "Cascade");
        repo.Exec("update FLD set DEP_ID_AGR = :DEP, FLD_ID_AGR = :FLD where FLD_ID = :ID",
                  {{"DEP", dep}, {"FLD", wrongDetailField ? otherFld : amount}, {"ID", total}});
    }
    int total = 0, amount = 0, otherFld = 0, dep = 0;
};

TEST_F(SummingFieldTest, ReferencesTheLinkAndTheDetailField)
{
    Build(false);
    db.Init();
    TFld *t = db.ObjList->GetFldById(total);
    EXPECT_EQ(t->AgrObjLink(), db.ObjList->GetObjLinkById(dep));
    EXPECT_EQ(t->AgrFld(), db.ObjList->GetFldById(amount));
}

TEST_F(SummingFieldTest, DetailFieldOfAnotherObjectStopsTheLoad)
{
    Build(true);
    EXPECT_EQ(ErrorOf([&] { db.Init(); }),
              QString("Список полей: Получение поля по коду \"%1\" - не найдено.").arg(otherFld));
}

TEST_F(SummingFieldTest, LinkOfAnotherObjectStopsTheLoadNamingTheField)
{
    // The foreign key keeps DEP_ID_AGR pointing at a real link; one of another object is the
    // fault that can still happen.
    Build(false);
    const int foreign = repo.AddObj("F", "Чужой");
    repo.AddFld(foreign, "F_ID", "PK");
    const int detail = repo.AddObj("FD", "Чужая строка");
    const int fdLink = repo.AddFld(detail, "F_ID", "FK");
    repo.AddFld(detail, "FD_ID", "PK");
    const int foreignDep = repo.AddDep(foreign, fdLink);
    repo.Exec("update FLD set DEP_ID_AGR = :DEP where FLD_ID = :ID", {{"DEP", foreignDep}, {"ID", total}});
    EXPECT_EQ(ErrorOf([&] { db.Init(); }),
              QString("Объект \"Сделка\", поле \"TOTAL\": суммирующее поле ссылается на связь с кодом %1, "
                      "которой нет среди связей объекта.")
                  .arg(foreignDep));
}

TEST_F(RepositoryTest, ProgressIsReportedTwicePerObject)
{
    for (int i = 0; i < 10; ++i) {
        const int id = repo.AddObj(QString("T%1").arg(i), QString("Т%1").arg(i));
        repo.AddFld(id, QString("T%1_ID").arg(i), "PK");
    }
    QList<int> positions;
    QList<int> maxima;
    db.ObjList->NotifyPosition = [&](int pos, int max) {
        positions << pos;
        maxima << max;
    };
    db.Init();
    EXPECT_EQ(positions, QList<int>({0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9}));
    EXPECT_EQ(maxima, QList<int>(20, 10));
}

TEST_F(RepositoryTest, TheLoadRunsTheSameStatementsWhateverTheSizeAndKeepsNoHandles)
{
    BuildTwoObjectsWithALink();
    const auto load = [&](qint64 &handles) {
        const qint64 handlesBefore = TIBSQL::HandleCount();
        const qint64 before = TIBSQL::ExecutedCount();
        db.Init();
        handles = TIBSQL::HandleCount() - handlesBefore;
        return TIBSQL::ExecutedCount() - before;
    };
    db.Init();   // the code tables are read once, at the first load
    db.Deinit();
    qint64 handles = 0;
    const qint64 small = load(handles);
    EXPECT_EQ(handles, 0);
    db.Deinit();
    for (int i = 0; i < 30; ++i) {   // thirty more objects, each with a link to A and a template
        const int id = repo.AddObj(QString("T%1").arg(i), QString("Т%1").arg(i));
        repo.AddFld(id, QString("T%1_ID").arg(i), "PK");
        repo.AddDep(id, repo.AddFld(aId, QString("T%1_ID").arg(i), "FK"));
    }
    const qint64 large = load(handles);
    EXPECT_EQ(large, small);
    EXPECT_LE(large, 7);
    EXPECT_EQ(handles, 0) << "no statement handle of the load outlives it";
    EXPECT_EQ(db.ObjList->GetObjById(aId)->ParentList->Count(), 31);
}

TEST_F(RepositoryTest, LookupsByIdFollowTheRepositoryAsItChanges)
{
    BuildTwoObjectsWithALink();
    db.Init();
    TObj *a = db.ObjList->GetObjById(aId);
    TObj *b = db.ObjList->GetObjByTable("B");
    TFld *linkFld = db.ObjList->GetFldById(aLinkFld);
    linkFld->SetId(777001);   // a changed key: the old one finds nothing, the new one the field
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetFldById(aLinkFld); }),
              QString("Поле с кодом \"%1\" среди объектов не найдено.").arg(aLinkFld));
    EXPECT_EQ(db.ObjList->GetFldById(777001), linkFld);
    b->SetTable("B2");
    EXPECT_EQ(db.ObjList->GetObjByTable("B2"), b);
    EXPECT_NE(ErrorOf([&] { db.ObjList->GetObjByTable("B"); }), "no error");
    a->ParentList->Clear();
    b->ChildList->RemoveById(depId);   // freed: the index forgets it
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjLinkById(depId); }),
              QString("Связь с кодом %1 среди объектов не найдена.").arg(depId));
    const int keyFld = a->PKFld->Id();
    a->PKFld = nullptr;
    a->FldList->Delete(a->FldList->IndexOf(db.ObjList->GetFldById(keyFld)));
    EXPECT_NE(ErrorOf([&] { db.ObjList->GetFldById(keyFld); }), "no error");
    db.ObjList->Delete(db.ObjList->IndexOf(a));
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjById(aId); }), QString("Объект с кодом \"%1\" не найден.").arg(aId));
    EXPECT_EQ(db.ObjList->GetObjById(bId), b);
}

TEST_F(RepositoryTest, LookupMessages)
{
    BuildTwoObjectsWithALink();
    db.Init();
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjByTable("a"); }), "Объект с таблицей \"a\" не найден.");
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjById(-5); }), "Объект с кодом \"-5\" не найден.");
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetFldById(-6); }), "Поле с кодом \"-6\" среди объектов не найдено.");
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjLinkById(-7); }), "Связь с кодом -7 среди объектов не найдена.");
    TObj *a = db.ObjList->GetObjById(aId);
    EXPECT_EQ(ErrorOf([&] { a->GetFldByName("NOPE"); }),
              "Объект \"Объект А\": Получение поля по имени.\r"
              "Список полей: Получение поля по имени \"NOPE\" - не найдено.");
    EXPECT_EQ(ErrorOf([&] { a->GetFldById(-1); }),
              "Объект \"Объект А\": Получение поля по коду.\r"
              "Список полей: Получение поля по коду \"-1\" - не найдено.");
}

TEST_F(RepositoryTest, RemoveByIdFreesOnlyWhatItFinds)
{
    BuildTwoObjectsWithALink();
    db.Init();
    TObj *a = db.ObjList->GetObjById(aId);
    TObj *b = db.ObjList->GetObjById(bId);
    EXPECT_EQ(b->ChildList->RemoveById(-1), -1);
    EXPECT_EQ(b->ChildList->Count(), 1);
    a->ParentList->Clear();   // the detail only points at the link
    EXPECT_EQ(b->ChildList->RemoveById(depId), 0);
    EXPECT_EQ(b->ChildList->Count(), 0);
}

TEST_F(RepositoryTest, DeinitAndInitReloadWithoutReadingCodesAgain)
{
    BuildTwoObjectsWithALink();
    db.Init();
    db.Deinit();
    EXPECT_FALSE(db.Inited);
    EXPECT_EQ(db.ObjList->Count(), 0);
    // A code row renamed now would stop a fresh read of the code table; loaded codes stay.
    repo.Exec("update FKRULE set FKRULE_NAME = 'Renamed' where FKRULE_NAME = 'SetNull'");
    db.Init();
    EXPECT_EQ(db.ObjList->Count(), 2);
    EXPECT_EQ(db.ObjList->GetObjLinkById(depId)->FKRule(), TFKRule::fkCascade);
}

TEST_F(RepositoryTest, FieldWithoutTypeStopsTheLoadWithTheVariantError)
{
    aId = repo.AddObj("A", "А");
    repo.AddFld(aId, "X", "");
    EXPECT_EQ(ErrorOf([&] { db.Init(); }), "Variant is null");
}

class MetadataRowTest : public RepositoryTest
{
protected:
    void SetUp() override
    {
        RepositoryTest::SetUp();
        const int t = repo.AddObj("T", "Таблица");
        repo.AddFld(t, "T_ID", "PK");
        repo.AddFld(t, "N", "Integ");
        repo.AddFld(t, "B", "Boolean");
        db.Init();
        obj = db.ObjList->GetObjByTable("T");
    }
    TObj *obj = nullptr;
};

TEST_F(MetadataRowTest, RowFromADescriptionStartsNullAndFalse)
{
    TSObj row;
    row.AddAllFld(*obj);
    // The fields come in the object's own order, which the load does not ask the database for.
    ASSERT_EQ(row.Count(), 3);
    for (int i = 0; i < row.Count(); ++i)
        EXPECT_EQ(row.Items(i)->Name, obj->FldList->Items(i)->Field());
    EXPECT_FALSE(row.FldByName("B").AsBoolean());
    EXPECT_EQ(ErrorOf([&] { row.FldByName("N").AsInteger(); }), "Variant is null");
    EXPECT_EQ(row.FldByName("N").AsString(), "");
    EXPECT_EQ(ErrorOf([&] { row.FldByName("n"); }), "TSObj.FldByName: Поле \"n\" у объекта не найдено.");
}

TEST_F(MetadataRowTest, FillingTwiceIsAProgrammersError)
{
    TSObj row;
    row.AddAllFld(*obj);
    const QString message = "TSObj.AddAllFld: Ошибка программиста - в объекте не должно быть полей.";
    EXPECT_EQ(ErrorOf([&] { row.AddAllFld(*obj); }), message);
    auto sql = db.CreateIBSQLS();
    sql->SetSQL("select 1 as X from RDB$DATABASE");
    sql->ExecQuery();
    EXPECT_EQ(ErrorOf([&] { row.AddAllFld(*sql); }), message);
    EXPECT_EQ(row.Count(), 3);
}

TEST_F(MetadataRowTest, CopyingStopsAtTheFirstUnknownName)
{
    TSObj row;
    row.AddAllFld(*obj);
    auto sql = db.CreateIBSQLS();
    sql->SetSQL("select 7 as T_ID, 8 as MISSING, 9 as N from RDB$DATABASE");
    sql->ExecQuery();
    EXPECT_EQ(ErrorOf([&] { row.CopyDataFrom(*sql); }), "TSObj.FldByName: Поле \"MISSING\" у объекта не найдено.");
    EXPECT_EQ(row.FldByName("T_ID").AsInteger(), 7);
    EXPECT_TRUE(row.FldByName("N").Value.isNull()) << "nothing after the unknown column is copied";

    TSObj fewer;
    sql->SetSQL("select 5 as N from RDB$DATABASE");
    sql->ExecQuery();
    fewer.AddAllFld(*sql);
    fewer.CopyDataFrom(*sql);
    row.CopyDataFrom(fewer);
    EXPECT_EQ(row.FldByName("N").AsInteger(), 5);
    EXPECT_EQ(row.FldByName("T_ID").AsInteger(), 7) << "values the source lacks stay";
}

} // namespace
