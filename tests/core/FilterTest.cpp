#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Tbl.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TFilterTreeType;

class FilterTest : public ShopFixture
{
protected:
    // A filter of a view, an object or a link: the column that names its owner, and the owner.
    int AddFilter(const QString &name, bool always = false, bool dev = false, const QString &owner = "OBJ_ID", int id = 0)
    {
        return Insert("FLTR", {{"FLTR_NAME", name}, {"FLTR_ALWAYS", always ? 1 : 0}, {"FLTR_DEV", dev ? 1 : 0},
                               {owner, id ? id : Id("CUST")}});
    }
    int Node(int filter, int lft, int rgt, TFilterTreeType type = fttAnd, const QString &name = QString(),
             const QString &field = QString())
    {
        return AddNode("FLTRTREE", "FLTR_ID", filter, lft, rgt,
                       {{"FLTRTRTP_ID", db.FilterTreeTypeToCode(type)}, {"FLTRTREE_NAME", name},
                        {"FLD_ID", field.isEmpty() ? Variant::Null() : Id(field)}});
    }
    // The names of the always-on filters a list loads for a view, sorted: the database returns
    // them in no order.
    static QStringList Load(TFilterList &list, const TTbl &view)
    {
        list.Clear();
        list.Load(view);
        QStringList names;
        for (const TFilter *f : list)
            names << f->Name();
        names.sort();
        return names;
    }
};

TEST_F(FilterTest, NodesTakeTheirRowsAndAViewsAlwaysOnFiltersAreItsObjectsAndLinks)
{
    const int siblings = AddFilter("Siblings");
    Node(siblings, 1, 6, fttOr, "root");
    Node(siblings, 2, 3, fttEqual, "first", "CITY.CITY_NAME");
    const int second = Node(siblings, 4, 5, fttEmpty, "second", "CITY.CITY_NAME");
    AddPath("FLTRTREE", "FLTRTRPT", second, {"CUST.CITY_ID"});
    repo.Exec("update FLTRTREE set FLTRTREE_NOT = 1, FLTRTREE_VALUE = 'x' where FLTRTREE_ID = :ID", {{"ID", second}});
    TFilter filter;
    ASSERT_TRUE(filter.LoadById(siblings));
    ASSERT_EQ(filter.FilterTreeRoot->FilterTreeList.Count(), 2);
    TFilterTree *node = filter.FilterTreeRoot->FilterTreeList.Items(1);
    EXPECT_EQ(std::tuple(node->FilterTreeType(), node->Fld(), node->No(), node->Value()),
              std::tuple(fttEmpty, F("CITY.CITY_NAME"), true, Variant("x")));
    ASSERT_EQ(node->Path.Count(), 1);
    EXPECT_EQ(node->Path.Items(0), F("CUST.CITY_ID"));

    const int chain = AddFilter("Chain");
    Node(chain, 1, 6);
    Node(chain, 2, 5);
    Node(chain, 3, 4, fttEqual, "leaf");
    ASSERT_TRUE(filter.LoadById(chain)) << "a second load replaces the tree";
    ASSERT_EQ(filter.FilterTreeRoot->FilterTreeList.Count(), 1);
    EXPECT_EQ(filter.FilterTreeRoot->FilterTreeList.Items(0)->FilterTreeList.Items(0), filter.GetFilterTreeByName("leaf"));

    // A view's always-on filters are its own, its object's and, for a link's view, its link's;
    // developer mode leaves out the filters made for users. A filter with a damaged tree stops the
    // list and is not kept; the list runs its statement again once the tree is mended.
    const int objView = AddChoice("TBL", "OBJ_ID", Id("CUST"), "Cust");
    const int linkView = AddChoice("TBL", "DEP_ID", LinkId("CUST.CITY_ID"), "CityCust");
    AddFilter("ByView", true, false, "TBL_ID", objView);
    AddFilter("ByObject", true);
    AddFilter("ByLink", true, false, "DEP_ID", LinkId("CUST.CITY_ID"));
    AddFilter("ForUsersOnly", true, true);
    AddFilter("NotAlways", false, false, "TBL_ID", objView);
    AddFilter("OtherView", true, false, "TBL_ID", AddChoice("TBL", "OBJ_ID", Id("CITY"), "City"));
    AddFilter("LinkView", true, false, "TBL_ID", linkView);
    TTbl view, detail;
    TFilterList list(true);
    ASSERT_TRUE(detail.LoadById(linkView));
    EXPECT_EQ(Load(list, detail), QStringList({"ByLink", "ByObject", "ForUsersOnly", "LinkView"}));
    ASSERT_TRUE(view.LoadById(objView));
    EXPECT_EQ(Load(list, view), QStringList({"ByObject", "ByView", "ForUsersOnly"}));
    DevMode = true;
    EXPECT_EQ(Load(list, view), QStringList({"ByObject", "ByView"}));
    DevMode = false;

    const int bad = AddFilter("Bad", true, false, "TBL_ID", objView);
    Node(bad, 1, 4);
    Node(bad, 5, 6, fttEqual);
    EXPECT_EQ(ErrorOf([&] { Load(list, view); }), "Дерево фильтра испорчено.");
    EXPECT_EQ(list.GetByName("Bad"), nullptr) << "the filter that fails is not kept";
    repo.Exec("update FLTRTREE set FLTRTREE_LFT = 2, FLTRTREE_RGT = 3 where FLTR_ID = :F and FLTRTREE_LFT = 5",
              {{"F", bad}});
    EXPECT_EQ(Load(list, view), QStringList({"Bad", "ByObject", "ByView", "ForUsersOnly"}));
}

} // namespace
