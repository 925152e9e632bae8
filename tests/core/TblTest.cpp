#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"
#include "RepoBuilder.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TestDatabase.h"
#include "TreeSearch.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;


// Cities, customers (a link to a city) and orders (a link to a customer): enough for column
// trees that reach the masters of masters. The views only read metadata, so no data table is
// created.
class TblTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
        repo.EnsureDescribed("TBL");
        repo.EnsureDescribed("TBLTREE");
        const int city = repo.AddObj("CITY", "Города");
        repo.AddFld(city, "CITY_ID", "PK", "Код города");
        cityName = repo.AddFld(city, "CITY_NAME", "String", "Название");
        cust = repo.AddObj("CUST", "Клиенты");
        repo.AddFld(cust, "CUST_ID", "PK", "Код клиента");
        custCity = repo.AddFld(cust, "CITY_ID", "FK", "Город");
        repo.AddDep(city, custCity);
        ord = repo.AddObj("ORD", "Заказы");
        ordId = repo.AddFld(ord, "ORD_ID", "PK", "Код заказа");
        ordNo = repo.AddFld(ord, "ORD_NO", "Integ", "Номер");
        ordCust = repo.AddFld(ord, "CUST_ID", "FK", "Клиент");
        custOrd = repo.AddDep(cust, ordCust);
        user1 = AddUser("first");
        user2 = AddUser("second");
        db.Init();
    }
    int AddUser(const QString &login) { return repo.AddUser(login); }
    int AddView(Variant obj, Variant link, const QString &name, bool def = false, bool dev = false)
    {
        const int id = db.GetGenId("TBL_ID");
        repo.Exec("insert into TBL (TBL_ID, OBJ_ID, DEP_ID, TBL_NAME, TBL_CAPT, TBL_DEFAULT, TBL_DEV) "
                  "values (:ID, :OBJ, :DEP, :NAME, :CAPT, :DEF, :DEV)",
                  {{"ID", id}, {"OBJ", obj}, {"DEP", link}, {"NAME", name}, {"CAPT", name + " (вид)"},
                   {"DEF", def ? 1 : 0}, {"DEV", dev ? 1 : 0}});
        return id;
    }
    void AddNode(int tbl, int fld, int lft, int rgt)
    {
        repo.Exec("insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT) "
                  "values (next value for TBLTREE_ID, :T, :F, :L, :R)",
                  {{"T", tbl}, {"F", fld}, {"L", lft}, {"R", rgt}});
    }
    void Choose(int user, int tbl)
    {
        repo.Exec("insert into USRTBL (USRTBL_ID, USR_ID, TBL_ID) values (next value for USRTBL_ID, :U, :T)",
                  {{"U", user}, {"T", tbl}});
    }
    // An order view: the number, and the customer with the city's name below it. The rows go
    // in out of order, since only the left bounds may order them.
    int OrderViewWithMasterColumns()
    {
        const int tbl = AddView(ord, Variant::Null(), "Orders", true);
        AddNode(tbl, cityName, 6, 7);
        AddNode(tbl, ordCust, 4, 9);
        AddNode(tbl, ordId, 1, 10);
        AddNode(tbl, custCity, 5, 8);
        AddNode(tbl, ordNo, 2, 3);
        return tbl;
    }
    static QList<std::pair<int, int>> Bounds(TTblTree *root)
    {
        QList<std::pair<int, int>> bounds;
        ForEachPreOrder(root, &TTblTree::TblTreeList, [&](TTblTree *n) { bounds << std::pair{n->Lft(), n->Rgt()}; });
        return bounds;
    }
    TObj *O(int id) const { return db.ObjList->GetObjById(id); }
    TFld *F(int id) const { return db.ObjList->GetFldById(id); }

    int cityName = 0, cust = 0, custCity = 0, ord = 0, ordId = 0, ordNo = 0, ordCust = 0, custOrd = 0;
    int user1 = 0, user2 = 0;
};

TEST_F(TblTest, ColumnTreeFollowsTheBoundsAndCaptionsJoinTheMasters)
{
    const int id = OrderViewWithMasterColumns();
    TTbl tbl;
    ASSERT_TRUE(tbl.LoadById(id));
    EXPECT_EQ(tbl.Obj(), O(ord));
    EXPECT_EQ(tbl.ObjLink(), nullptr);

    TTblTree *root = tbl.TblTree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Fld(), F(ordId));
    EXPECT_EQ(root->LongCapt, "Код заказа");
    ASSERT_EQ(root->TblTreeList.Count(), 2);
    TTblTree *no = root->TblTreeList.Items(0);
    TTblTree *custNode = root->TblTreeList.Items(1);
    EXPECT_EQ(no->Fld(), F(ordNo));
    EXPECT_EQ(no->LongCapt, "Номер");
    EXPECT_EQ(custNode->Fld(), F(ordCust));
    EXPECT_EQ(custNode->Parent(), root);
    EXPECT_EQ(custNode->LongCapt, "Клиент");
    ASSERT_EQ(custNode->TblTreeList.Count(), 1);
    TTblTree *cityNode = custNode->TblTreeList.Items(0);
    EXPECT_EQ(cityNode->LongCapt, "Клиент>Город");
    ASSERT_EQ(cityNode->TblTreeList.Count(), 1);
    TTblTree *nameNode = cityNode->TblTreeList.Items(0);
    EXPECT_EQ(nameNode->FldId(), Variant(cityName));
    EXPECT_EQ(nameNode->LongCapt, "Клиент>Город>Название");

    // A view of a link shows the detail object; loading it replaces the tree.
    const int linkView = AddView(Variant::Null(), custOrd, "ByCustomer");
    AddNode(linkView, ordId, 1, 2);
    TTbl detail;
    ASSERT_TRUE(detail.LoadById(linkView));
    EXPECT_EQ(detail.Obj(), nullptr);
    EXPECT_EQ(detail.GetObj(), O(ord));
    ASSERT_TRUE(tbl.LoadById(linkView));
    EXPECT_EQ(tbl.TblTree->TblTreeList.Count(), 0);
    EXPECT_EQ(tbl.ObjLink(), db.ObjList->GetObjLinkById(custOrd));

    const int empty = AddView(ord, Variant::Null(), "Empty");
    ASSERT_TRUE(tbl.LoadById(empty));
    EXPECT_EQ(tbl.TblTree, nullptr) << "a view without rows has no tree";
}

TEST_F(TblTest, DamagedColumnTreesNameTheViewAndItsObject)
{
    const int gap = AddView(ord, Variant::Null(), "Gap");
    AddNode(gap, ordId, 1, 6);
    AddNode(gap, ordNo, 3, 4);
    AddNode(gap, ordCust, 4, 5);
    TTbl tbl;
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(gap); }),
              "Обнаружено нарушение структуры дерева для таблицы \"Gap (вид)\" (объект: \"Заказы\").");
    ASSERT_NE(tbl.TblTree, nullptr) << "the nodes placed so far stay";
    EXPECT_EQ(tbl.TblTree->TblTreeList.Count(), 0);

    // A row after the root's right bound would be the root's sibling, which has no parent.
    // A link's view names its detail object.
    const int sibling = AddView(Variant::Null(), custOrd, "Sibling");
    AddNode(sibling, ordId, 1, 2);
    AddNode(sibling, ordNo, 3, 4);
    TTbl detail;
    EXPECT_EQ(ErrorOf([&] { detail.LoadById(sibling); }),
              "Обнаружено нарушение структуры дерева для таблицы \"Sibling (вид)\" (объект: \"Заказы\").");
}

TEST_F(TblTest, MissesAreSilentOrRaiseWithTheObjectsCaption)
{
    const int plain = AddView(cust, Variant::Null(), "Plain");
    TTbl tbl;
    EXPECT_FALSE(tbl.LoadById(plain + 100));
    EXPECT_FALSE(tbl.LoadByName(O(cust), nullptr, "Other"));
    EXPECT_FALSE(tbl.LoadCurrent(O(cust), nullptr, user1)) << "a view that is not the default";

    tbl.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(plain + 100); }), "Таблица не найдена.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadByName(O(cust), nullptr, "Other"); }),
              "Для объекта \"Клиенты\" не создана таблица.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(O(cust), nullptr, user1); }),
              "Для объекта \"Клиенты\" не создана таблица.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(nullptr, db.ObjList->GetObjLinkById(custOrd), user1); }),
              "Таблица не найдена.")
        << "a link's view is asked for without an object";
    EXPECT_TRUE(tbl.LoadByName(O(cust), nullptr, "Plain"));
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(plain + 100); }), "Таблица не найдена.")
        << "even after a view of a known object";
}

TEST_F(TblTest, TheUsersChoiceThenTheDefaultPreferringDeveloperViewsInDeveloperMode)
{
    const int ordinary = AddView(ord, Variant::Null(), "Main", true, false);
    const int forDev = AddView(ord, Variant::Null(), "Main", true, true);
    const int chosen = AddView(ord, Variant::Null(), "Chosen");
    const int linkDefault = AddView(Variant::Null(), custOrd, "Main", true);
    const int custView = AddView(cust, Variant::Null(), "Cust", true);
    Choose(user1, chosen);
    Choose(user2, custView);   // a choice for another object does not count

    TTbl tbl;
    ASSERT_TRUE(tbl.LoadCurrent(O(ord), nullptr, user1));
    EXPECT_EQ(tbl.Id(), chosen);
    ASSERT_TRUE(tbl.LoadCurrent(O(ord), nullptr, user2));
    EXPECT_EQ(tbl.Id(), ordinary);
    ASSERT_TRUE(tbl.LoadByName(O(ord), nullptr, "Main"));
    EXPECT_EQ(tbl.Id(), ordinary);
    ASSERT_TRUE(tbl.LoadCurrent(nullptr, db.ObjList->GetObjLinkById(custOrd), user1));
    EXPECT_EQ(tbl.Id(), linkDefault) << "the link selects, not the object's choice";

    DevMode = true;
    ASSERT_TRUE(tbl.LoadCurrent(O(ord), nullptr, user2));
    EXPECT_EQ(tbl.Id(), forDev);
    ASSERT_TRUE(tbl.LoadByName(O(ord), nullptr, "Main"));
    EXPECT_EQ(tbl.Id(), forDev);
    ASSERT_TRUE(tbl.LoadCurrent(O(ord), nullptr, user1));
    EXPECT_EQ(tbl.Id(), chosen) << "the user's own choice wins in developer mode too";
}

TEST_F(TblTest, RenumberingGivesPreOrderBoundsAfterNodesMove)
{
    TTbl tbl;
    tbl.RenumberTree();   // no tree: nothing to do
    ASSERT_TRUE(tbl.LoadById(OrderViewWithMasterColumns()));
    TTblTree *root = tbl.TblTree.get();
    TTblTree *custNode = root->TblTreeList.Items(1);
    TTblTree *cityNode = custNode->TblTreeList.Items(0);
    // The column editor lifts the city's name to the top, first: bounds in memory go stale.
    std::unique_ptr<TTblTree> name(cityNode->TblTreeList.Extract(cityNode->TblTreeList.Items(0)));
    TTblTree *lifted = root->AddChild(std::move(name));
    root->TblTreeList.Extract(lifted);
    root->TblTreeList.Insert(0, lifted);

    tbl.RenumberTree();
    EXPECT_EQ(Bounds(root), (QList<std::pair<int, int>>{{1, 10}, {2, 3}, {4, 5}, {6, 9}, {7, 8}}));
    EXPECT_EQ(root->TblTreeList.Items(0)->Fld(), F(cityName));
    tbl.UpdateLongCapt();
    EXPECT_EQ(lifted->LongCapt, "Название");
    EXPECT_EQ(cityNode->LongCapt, "Клиент>Город");

    tbl.TblTree = std::make_unique<TTblTree>();
    tbl.TblTree->SetLft(7);
    tbl.RenumberTree();
    EXPECT_EQ(Bounds(tbl.TblTree.get()), (QList<std::pair<int, int>>{{1, 2}}));
}

} // namespace
