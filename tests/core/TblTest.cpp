#include "Tbl.h"
#include "TblTree.h"

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
};

// The order's number, and the customer with the city's name below it; only the left bounds may
// order the rows. A gap in the bounds is a damaged tree.
TEST_F(TblTest, ColumnTreeFollowsTheLeftBoundsAndTheUsersChoiceComesFirst)
{
    TTbl tbl;
    ASSERT_TRUE(tbl.LoadById(View("Orders", {{"CITY.CITY_NAME", 6, 7}, {"ORD.CUST_ID", 4, 9}, {"ORD.ORD_ID", 1, 10},
                                             {"CUST.CITY_ID", 5, 8}, {"ORD.ORD_NO", 2, 3}})));
    TTblTree *root = tbl.TblTree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Fld(), F("ORD.ORD_ID"));
    ASSERT_EQ(root->TblTreeList.Count(), 2);
    EXPECT_EQ(root->TblTreeList.Items(0)->Fld(), F("ORD.ORD_NO"));
    TTblTree *cityNode = root->TblTreeList.Items(1)->TblTreeList.Items(0);
    EXPECT_EQ(cityNode->TblTreeList.Items(0)->LongCapt, "Клиент заказа>Город клиента>Город");

    // A view of a link shows the link's detail object; a view without rows has no tree.
    TTbl detail;
    ASSERT_TRUE(detail.LoadById(View("ByCustomer", {{"ORD.ORD_ID", 1, 2}}, "DEP_ID", LinkId("ORD.CUST_ID"))));
    EXPECT_EQ(detail.GetObj(), O("ORD"));
    ASSERT_TRUE(tbl.LoadById(View("Empty", {})));
    EXPECT_EQ(tbl.TblTree, nullptr);
    const int gap = View("Gap", {{"ORD.ORD_ID", 1, 6}, {"ORD.ORD_NO", 3, 4}, {"ORD.CUST_ID", 4, 5}});
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(gap); }),
              "Обнаружено нарушение структуры дерева для таблицы \"Gap\" (объект: \"Заказы\").");

    // The user's own choice, else the default, developer views first in developer mode; a miss
    // gives false, or raises naming the object. Cards and detail books are chosen by the same code.
    const int user1 = repo.AddUser("first"), user2 = repo.AddUser("second");
    const int ordinary = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Main", true, false);
    const int forDev = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Main", true, true);
    const int chosen = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Chosen");
    const int linkDefault = AddChoice("TBL", "DEP_ID", LinkId("ORD.CUST_ID"), "Main", true);
    Insert("USRTBL", {{"USR_ID", user1}, {"TBL_ID", chosen}});
    // A choice of a view of another object does not count.
    Insert("USRTBL", {{"USR_ID", user2}, {"TBL_ID", AddChoice("TBL", "OBJ_ID", Id("CUST"), "Plain")}});
    const auto current = [&](TObj *obj, TObjLink *link, int user) {
        return tbl.LoadCurrent(obj, link, user) ? tbl.Id() : 0;
    };
    EXPECT_EQ(current(O("ORD"), nullptr, user1), chosen);
    EXPECT_EQ(current(O("ORD"), nullptr, user2), ordinary);
    EXPECT_EQ(current(nullptr, L("ORD.CUST_ID"), user1), linkDefault) << "the link selects";
    DevMode = true;
    EXPECT_EQ(current(O("ORD"), nullptr, user2), forDev);
    EXPECT_EQ(current(O("ORD"), nullptr, user1), chosen) << "the user's own choice wins in developer mode too";
    ASSERT_TRUE(tbl.LoadByName(O("ORD"), nullptr, "Main"));
    EXPECT_EQ(tbl.Id(), forDev);
    tbl.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { tbl.LoadById(-1); }), "Таблица не найдена.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(O("CUST"), nullptr, user1); }), "Для объекта \"Клиенты\" не создана таблица.");
    EXPECT_EQ(ErrorOf([&] { tbl.LoadCurrent(nullptr, L("PAY.ORD_ID"), user1); }), "Таблица не найдена.")
        << "a link's view is asked for without an object";
}

} // namespace
