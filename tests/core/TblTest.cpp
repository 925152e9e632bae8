#include "Tbl.h"
#include "TblTree.h"
#include "TreeSearch.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

class TblTest : public ShopFixture
{
protected:
    // Column rows (field, left, right) in the order given: only the left bounds may order them.
    int View(const QString &name, const QList<std::tuple<QString, int, int>> &columns, const QString &ownerColumn = "OBJ_ID",
             int owner = 0)
    {
        const int tbl = AddChoice("TBL", ownerColumn, owner ? owner : Id("ORD"), name);
        for (const auto &[field, lft, rgt] : columns)
            AddNode("TBLTREE", "TBL_ID", tbl, lft, rgt, {{"FLD_ID", Id(field)}});
        return tbl;
    }
    // The order number, and the customer with the city's name below it.
    int OrderView()
    {
        return View("Orders", {{"CITY.CITY_NAME", 6, 7}, {"ORD.CUST_ID", 4, 9}, {"ORD.ORD_ID", 1, 10}, {"CUST.CITY_ID", 5, 8},
                               {"ORD.ORD_NO", 2, 3}});
    }
    static QList<std::pair<int, int>> Bounds(TTblTree *root)
    {
        QList<std::pair<int, int>> bounds;
        ForEachPreOrder(root, &TTblTree::TblTreeList, [&](TTblTree *n) { bounds << std::pair{n->Lft(), n->Rgt()}; });
        return bounds;
    }
};

TEST_F(TblTest, ColumnTreeFollowsTheBoundsAndAGapOrASiblingOfTheRootIsADamagedTree)
{
    TTbl tbl;
    ASSERT_TRUE(tbl.LoadById(OrderView()));
    TTblTree *root = tbl.TblTree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Fld(), F("ORD.ORD_ID"));
    ASSERT_EQ(root->TblTreeList.Count(), 2);
    EXPECT_EQ(root->TblTreeList.Items(0)->Fld(), F("ORD.ORD_NO"));
    ASSERT_EQ(root->TblTreeList.Items(1)->TblTreeList.Count(), 1);
    TTblTree *cityNode = root->TblTreeList.Items(1)->TblTreeList.Items(0);
    ASSERT_EQ(cityNode->TblTreeList.Count(), 1);
    EXPECT_EQ(cityNode->TblTreeList.Items(0)->LongCapt, "Клиент заказа>Город клиента>Город");
    // A view of a link shows the link's detail object; a view without rows has no tree.
    TTbl detail;
    ASSERT_TRUE(detail.LoadById(View("ByCustomer", {{"ORD.ORD_ID", 1, 2}}, "DEP_ID", LinkId("ORD.CUST_ID"))));
    EXPECT_EQ(detail.GetObj(), O("ORD"));
    ASSERT_TRUE(tbl.LoadById(View("Empty", {})));
    EXPECT_EQ(tbl.TblTree, nullptr);
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(View("Gap", {{"ORD.ORD_ID", 1, 6}, {"ORD.ORD_NO", 3, 4}, {"ORD.CUST_ID", 4, 5}})); }),
              "Обнаружено нарушение структуры дерева для таблицы \"Gap\" (объект: \"Заказы\").");
    const int sibling = View("Sibling", {{"ORD.ORD_ID", 1, 2}, {"ORD.ORD_NO", 3, 4}}, "DEP_ID", LinkId("ORD.CUST_ID"));
    EXPECT_EQ(ErrorOf([&] { TTbl().LoadById(sibling); }),
              "Обнаружено нарушение структуры дерева для таблицы \"Sibling\" (объект: \"Заказы\").");
}

// The user's own choice, else the default, developer views first in developer mode; a miss
// gives false, or raises naming the object. Cards and detail books are chosen by the same code.
TEST_F(TblTest, TheUsersChoiceThenTheDefaultPreferringDeveloperViewsInDeveloperMode)
{
    const int user1 = repo.AddUser("first"), user2 = repo.AddUser("second");
    const int ordinary = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Main", true, false);
    const int forDev = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Main", true, true);
    const int chosen = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Chosen");
    const int linkDefault = AddChoice("TBL", "DEP_ID", LinkId("ORD.CUST_ID"), "Main", true);
    const int plain = AddChoice("TBL", "OBJ_ID", Id("CUST"), "Plain");
    Choose("USRTBL", "TBL", user1, chosen);
    Choose("USRTBL", "TBL", user2, plain);   // a choice for another object does not count
    TTbl tbl;
    const auto current = [&](TObj *obj, TObjLink *link, int user) { return tbl.LoadCurrent(obj, link, user) ? tbl.Id() : 0; };
    EXPECT_EQ(current(O("ORD"), nullptr, user1), chosen);
    EXPECT_EQ(current(O("ORD"), nullptr, user2), ordinary);
    EXPECT_EQ(current(nullptr, L("ORD.CUST_ID"), user1), linkDefault) << "the link selects";
    DevMode = true;
    EXPECT_EQ(current(O("ORD"), nullptr, user2), forDev);
    EXPECT_EQ(current(O("ORD"), nullptr, user1), chosen) << "the user's own choice wins in developer mode too";
    ASSERT_TRUE(tbl.LoadByName(O("ORD"), nullptr, "Main"));
    EXPECT_EQ(tbl.Id(), forDev);

    EXPECT_FALSE(tbl.LoadCurrent(O("CUST"), nullptr, user1)) << "a view that is not the default";
    tbl.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(plain + 100); }), "Таблица не найдена.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadByName(O("CUST"), nullptr, "Other"); }), "Для объекта \"Клиенты\" не создана таблица.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(O("CUST"), nullptr, user1); }), "Для объекта \"Клиенты\" не создана таблица.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(nullptr, L("PAY.ORD_ID"), user1); }), "Таблица не найдена.")
        << "a link's view is asked for without an object";
}

TEST_F(TblTest, RenumberingGivesPreOrderBoundsAfterNodesMove)
{
    TTbl tbl;
    tbl.RenumberTree();   // no tree: nothing to do
    ASSERT_TRUE(tbl.LoadById(OrderView()));
    TTblTree *root = tbl.TblTree.get();
    TTblTree *cityNode = root->TblTreeList.Items(1)->TblTreeList.Items(0);
    // The column editor lifts the city's name to the top, first: bounds in memory go stale.
    std::unique_ptr<TTblTree> name(cityNode->TblTreeList.Extract(cityNode->TblTreeList.Items(0)));
    TTblTree *lifted = root->AddChild(std::move(name));
    root->TblTreeList.Extract(lifted);
    root->TblTreeList.Insert(0, lifted);
    tbl.RenumberTree();
    EXPECT_EQ(Bounds(root), (QList<std::pair<int, int>>{{1, 10}, {2, 3}, {4, 5}, {6, 9}, {7, 8}}));
    EXPECT_EQ(root->TblTreeList.Items(0)->Fld(), F("CITY.CITY_NAME"));
}

} // namespace
