#include "IBSQL.h"
#include "Obj.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using RepositoryTest = ShopFixture;

TEST_F(RepositoryTest, LookupsFollowTheRepositoryAndTheLoadRunsTheSameStatementsOrStopsAtAMissingLink)
{
    TObj *ord = O("ORD");
    TObj *cust = db.ObjList->GetObjByTable("CUST");
    TFld *custId = F("ORD.CUST_ID");
    custId->SetId(777001);   // a changed key: the old one finds nothing, the new one the field
    EXPECT_EQ(ErrorOf([&] { F("ORD.CUST_ID"); }),
              QString("Поле с кодом \"%1\" среди объектов не найдено.").arg(Id("ORD.CUST_ID")));
    EXPECT_EQ(db.ObjList->GetFldById(777001), custId);
    cust->SetTable("CUST2");
    EXPECT_EQ(db.ObjList->GetObjByTable("CUST2"), cust);
    EXPECT_EQ(ErrorOf([&] { db.ObjList->GetObjByTable("CUST"); }), "Объект с таблицей \"CUST\" не найден.");
    ord->ParentList->Clear();
    EXPECT_EQ(cust->ChildList->RemoveById(LinkId("ORD.CUST_ID")), 0);   // freed: the index forgets it
    EXPECT_EQ(ErrorOf([&] { L("ORD.CUST_ID"); }),
              QString("Связь с кодом %1 среди объектов не найдена.").arg(LinkId("ORD.CUST_ID")));
    ord->PKFld = nullptr;
    ord->FldList->Delete(ord->FldList->IndexOf(F("ORD.ORD_ID")));
    EXPECT_NE(ErrorOf([&] { F("ORD.ORD_ID"); }), "no error");
    db.ObjList->Delete(db.ObjList->IndexOf(ord));
    EXPECT_EQ(ErrorOf([&] { O("ORD"); }), QString("Объект с кодом \"%1\" не найден.").arg(Id("ORD")));
    EXPECT_EQ(O("CUST"), cust);

    // The load runs the same statements whatever the size of the repository and keeps no handles.
    const auto load = [&](qint64 &handles) {
        db.Deinit();
        const qint64 handlesBefore = TIBSQL::HandleCount();
        const qint64 before = TIBSQL::ExecutedCount();
        db.Init();
        handles = TIBSQL::HandleCount() - handlesBefore;
        return TIBSQL::ExecutedCount() - before;
    };
    qint64 handles = 0;
    const qint64 small = load(handles);
    EXPECT_EQ(handles, 0);
    for (int i = 0; i < 30; ++i) {   // thirty more objects, each with a link to the city
        const int id = repo.AddObj(QString("T%1").arg(i), QString("Т%1").arg(i));
        repo.AddFld(id, QString("T%1_ID").arg(i), "PK");
        repo.AddDep(Id("CITY"), repo.AddFld(id, "CITY_ID", "FK"));
    }
    const qint64 large = load(handles);
    EXPECT_EQ(large, small);
    EXPECT_LE(large, 7);
    EXPECT_EQ(handles, 0) << "no statement handle of the load outlives it";
    EXPECT_EQ(O("CITY")->ChildList->Count(), 32);

    // A stored link field needs its link; a summing field a link of its own object and a field of
    // that link's detail; else the load stops naming the fault.
    const auto sum = [&](const QString &link, const QString &field) {
        repo.Exec("update FLD set DEP_ID_AGR = :DEP, FLD_ID_AGR = :FLD where FLD_ID = :ID",
                  {{"DEP", LinkId(link)}, {"FLD", Id(field)}, {"ID", Id("ORD.ORD_TOTAL")}});
        return ErrorOf([&] { Reload(); });
    };
    ASSERT_EQ(sum("PAY.ORD_ID", "PAY.PAY_SUM"), "no error");
    EXPECT_EQ(F("ORD.ORD_TOTAL")->AgrObjLink(), L("PAY.ORD_ID"));
    EXPECT_EQ(F("ORD.ORD_TOTAL")->AgrFld(), F("PAY.PAY_SUM"));
    EXPECT_EQ(sum("PAY.ORD_ID", "ORD.ORD_SUM"),
              QString("Список полей: Получение поля по коду \"%1\" - не найдено.").arg(Id("ORD.ORD_SUM")));
    EXPECT_EQ(sum("CUST.CITY_ID", "PAY.PAY_SUM"),
              QString("Объект \"Заказы\", поле \"ORD_TOTAL\": суммирующее поле ссылается на связь с кодом %1, "
                      "которой нет среди связей объекта.")
                  .arg(LinkId("CUST.CITY_ID")));
    repo.Exec("update FLD set DEP_ID_AGR = null where FLD_ID = :ID", {{"ID", Id("ORD.ORD_TOTAL")}});
    repo.AddFld(Id("ORD"), "X_ID", "FK");
    EXPECT_EQ(ErrorOf([&] { Reload(); }), "Объект \"Заказы\", поле \"X_ID\": у поля-ссылки нет связи с главным объектом.");
    EXPECT_FALSE(db.Inited);
}

} // namespace
