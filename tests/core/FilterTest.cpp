#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"
#include "RepoBuilder.h"
#include "Tbl.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

// The filter and view rows are made from the repository's description of their tables.
void DescribeRowTables(RepoBuilder &repo)
{
    for (const char *table : {"FLTR", "FLTRTREE", "TBL", "TBLTREE"})
        repo.EnsureDescribed(table);
}

using enum TFilterTreeType;


class FilterTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
        DescribeRowTables(repo);
        city = repo.AddObj("CITY", "Города");
        cityName = repo.AddFld(city, "CITY_NAME", "String", "Город");
        repo.AddFld(city, "CITY_ID", "PK");
        cust = repo.AddObj("CUST", "Клиенты");
        repo.AddFld(cust, "CUST_ID", "PK");
        custCity = repo.AddFld(cust, "CITY_ID", "FK", "Город клиента");
        dep = repo.AddDep(city, custCity, "NoAction", "CityCust");
        db.Init();
    }
    void TearDown() override
    {
        DevMode = false;
        DBFixture::TearDown();
    }

    int AddFilter(const QString &name, bool always = false, bool dev = false, Variant tbl = Variant::Null(),
                  Variant link = Variant::Null(), Variant obj = Variant::Null())
    {
        const int id = db.GetGenId("FLTR_ID");
        repo.Exec("insert into FLTR (FLTR_ID, FLTR_NAME, FLTR_ALWAYS, FLTR_DEV, TBL_ID, DEP_ID, OBJ_ID) "
                  "values (:ID, :NAME, :ALWAYS, :DEV, :TBL, :DEP, :OBJ)",
                  {{"ID", id}, {"NAME", name}, {"ALWAYS", always ? 1 : 0}, {"DEV", dev ? 1 : 0}, {"TBL", tbl},
                   {"DEP", link}, {"OBJ", obj}});
        return id;
    }
    int AddNode(int filter, int lft, int rgt, const QString &type = "And", const QString &name = QString(),
                Variant fld = Variant::Null(), const QList<int> &path = {})
    {
        const int id = db.GetGenId("FLTRTREE_ID");
        repo.Exec("insert into FLTRTREE (FLTRTREE_ID, FLTR_ID, FLTRTRTP_ID, FLD_ID, FLTRTREE_LFT, FLTRTREE_RGT, "
                  "FLTRTREE_NAME, FLTRTREE_PATHHAVE) values (:ID, :F, "
                  "(select FLTRTRTP_ID from FLTRTRTP where FLTRTRTP_NAME = :TYPE), :FLD, :L, :R, :NAME, :PH)",
                  {{"ID", id}, {"F", filter}, {"TYPE", type}, {"FLD", fld}, {"L", lft}, {"R", rgt},
                   {"NAME", name}, {"PH", path.isEmpty() ? 0 : 1}});
        for (int pathFld : path)
            repo.Exec("insert into FLTRTRPT (FLTRTRPT_ID, FLTRTREE_ID, FLD_ID) "
                      "values (next value for FLTRTRPT_ID, :N, :FLD)",
                      {{"N", id}, {"FLD", pathFld}});
        return id;
    }
    int AddView(Variant obj, Variant link)
    {
        const int id = db.GetGenId("TBL_ID");
        repo.Exec("insert into TBL (TBL_ID, OBJ_ID, DEP_ID) values (:ID, :OBJ, :DEP)",
                  {{"ID", id}, {"OBJ", obj}, {"DEP", link}});
        return id;
    }
    // The names of the filters the list holds, sorted: the database returns them in no order.
    static QStringList Names(const TFilterList &list)
    {
        QStringList names;
        for (const TFilter *f : list)
            names << f->Name();
        names.sort();
        return names;
    }

    int city = 0, cityName = 0, cust = 0, custCity = 0, dep = 0;
};

TEST_F(FilterTest, BoundsGiveSiblingsOrAChainAndNodesTakeTheirRows)
{
    const int siblings = AddFilter("Siblings");
    AddNode(siblings, 1, 6, "Or", "root");
    AddNode(siblings, 2, 3, "Equal", "first", cityName);
    const int second = AddNode(siblings, 4, 5, "Empty", "second", cityName, {custCity});
    repo.Exec("update FLTRTREE set FLTRTREE_NOT = 1, FLTRTREE_VALUE = 'x', DEP_ID = :DEP where FLTRTREE_ID = :ID",
              {{"DEP", dep}, {"ID", second}});
    TFilter filter;
    ASSERT_TRUE(filter.LoadById(siblings));
    EXPECT_EQ(filter.Name(), "Siblings");
    TFilterTree *root = filter.FilterTreeRoot.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->FilterTreeType(), fttOr);
    EXPECT_EQ(root->Fld(), nullptr);
    ASSERT_EQ(root->FilterTreeList.Count(), 2);
    EXPECT_EQ(root->FilterTreeList.Items(0)->Name(), "first");
    TFilterTree *node = root->FilterTreeList.Items(1);
    EXPECT_EQ(node->Name(), "second");
    EXPECT_EQ(node->FilterTreeType(), fttEmpty);
    EXPECT_EQ(node->Fld(), db.ObjList->GetFldById(cityName));
    EXPECT_EQ(node->ObjLink(), db.ObjList->GetObjLinkById(dep));
    ASSERT_EQ(node->Path.Count(), 1);
    EXPECT_EQ(node->Path.Items(0), db.ObjList->GetFldById(custCity));
    EXPECT_TRUE(node->No());
    EXPECT_EQ(node->Value(), Variant("x"));
    EXPECT_EQ(root->FilterTreeList.Items(0)->Path.Count(), 0);
    EXPECT_EQ(filter.GetFilterTreeByName("second"), node);
    EXPECT_EQ(filter.GetFilterTreeByName("Second"), nullptr) << "names compare exactly";

    const int chain = AddFilter("Chain");
    AddNode(chain, 1, 6);
    AddNode(chain, 2, 5);
    AddNode(chain, 3, 4, "Equal", "leaf");
    ASSERT_TRUE(filter.LoadById(chain)) << "a second load replaces the tree";
    root = filter.FilterTreeRoot.get();
    ASSERT_EQ(root->FilterTreeList.Count(), 1);
    ASSERT_EQ(root->FilterTreeList.Items(0)->FilterTreeList.Count(), 1);
    EXPECT_EQ(root->FilterTreeList.Items(0)->FilterTreeList.Items(0)->Name(), "leaf");
}

TEST_F(FilterTest, DamagedEmptyAndMissingFilters)
{
    const int damaged = AddFilter("Damaged");
    AddNode(damaged, 1, 6, "And", "root");
    AddNode(damaged, 3, 4, "Equal", "gap");
    TFilter filter;
    EXPECT_EQ(ErrorOf([&] { filter.LoadById(damaged); }), "Дерево фильтра испорчено.");
    ASSERT_NE(filter.FilterTreeRoot, nullptr) << "the nodes placed so far stay";
    EXPECT_EQ(filter.FilterTreeRoot->FilterTreeList.Count(), 0);

    const int empty = AddFilter("Empty");
    EXPECT_TRUE(filter.LoadById(empty));
    EXPECT_EQ(filter.FilterTreeRoot, nullptr);
    EXPECT_EQ(filter.GetFilterTreeByName(""), nullptr);

    EXPECT_FALSE(filter.LoadById(damaged + 1000));
    filter.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { filter.LoadById(damaged + 1000); }), "Фильтр не найден.");
}

TEST_F(FilterTest, AlwaysOnFiltersOfAViewOfAnObjectOrOfALink)
{
    const int objView = AddView(cust, Variant::Null());
    const int linkView = AddView(Variant::Null(), dep);
    const int otherView = AddView(city, Variant::Null());
    AddFilter("ByView", true, false, objView);
    AddFilter("ByObject", true, false, Variant::Null(), Variant::Null(), cust);
    AddFilter("ByLink", true, false, Variant::Null(), dep);
    AddFilter("ForUsersOnly", true, true, Variant::Null(), Variant::Null(), cust);
    AddFilter("NotAlways", false, false, objView);
    AddFilter("OtherView", true, false, otherView);
    AddFilter("LinkView", true, false, linkView);

    TTbl view;
    view.SetId(objView);
    view.SetObj(db.ObjList->GetObjById(cust));
    TFilterList list(true);
    list.Load(view);
    EXPECT_EQ(Names(list), QStringList({"ByObject", "ByView", "ForUsersOnly"}));
    EXPECT_TRUE(list.GetByName("ByView")->RaiseLoad);
    EXPECT_EQ(list.GetByName("byview"), nullptr) << "names compare exactly";

    DevMode = true;
    TFilterList devList(true);
    devList.Load(view);
    EXPECT_EQ(Names(devList), QStringList({"ByObject", "ByView"}));
    devList.Load(view);
    EXPECT_EQ(devList.Count(), 4) << "a load appends";

    DevMode = false;
    TTbl detail;
    detail.SetId(linkView);
    detail.SetObjLink(db.ObjList->GetObjLinkById(dep));
    EXPECT_EQ(detail.GetObj(), db.ObjList->GetObjById(cust)) << "the detail object of the link";
    TFilterList linkList(true);
    linkList.Load(detail);
    EXPECT_EQ(Names(linkList), QStringList({"ByLink", "ByObject", "ForUsersOnly", "LinkView"}));
}

TEST_F(FilterTest, AFilterThatFailsToLoadStopsTheListAndIsNotKept)
{
    const int view = AddView(cust, Variant::Null());
    const int bad = AddFilter("Bad", true, false, view);
    AddNode(bad, 1, 4);
    AddNode(bad, 5, 6);
    TTbl tbl;
    tbl.SetId(view);
    tbl.SetObj(db.ObjList->GetObjById(cust));
    TFilterList list(true);
    EXPECT_EQ(ErrorOf([&] { list.Load(tbl); }), "Дерево фильтра испорчено.");
    EXPECT_EQ(list.Count(), 0);

    repo.Exec("update FLTRTREE set FLTRTREE_LFT = 2, FLTRTREE_RGT = 3 where FLTR_ID = :F and FLTRTREE_LFT = 5",
              {{"F", bad}});
    list.Load(tbl);   // the list's statement was closed, so it runs again
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->FilterTreeRoot->FilterTreeList.Count(), 1);
}

} // namespace
