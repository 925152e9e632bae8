#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "IBSQL.h"
#include "Sql.h"
#include "Tbl.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TFilterTreeType;

QString Lines(const QStringList &lines)
{
    return lines.join("\r\n") + "\r\n";
}

// The shop's tables are made, so every generated statement also runs.
class SqlTest : public ShopFixture
{
protected:
    void SetUp() override
    {
        ShopFixture::SetUp();
        CreateTables();
    }
    std::unique_ptr<TFldList> Path(const QStringList &fields)
    {
        auto path = std::make_unique<TFldList>(false);
        for (const QString &field : fields)
            path->Add(F(field));
        return path;
    }
    TFilterTree *Child(TFilterTree *parent, TFilterTreeType type, const QString &field, const Variant &value,
                       bool no = false)
    {
        auto node = std::make_unique<TFilterTree>();
        node->SetFilterTreeType(type);
        node->SetFld(F(field));
        node->SetValue(value);
        node->SetNo(no);
        return parent->FilterTreeList.Add(std::move(node));
    }
    // The rows of the builder's select, each column as text, sorted: no order is asked for.
    std::vector<QStringList> Rows(const TSQL &sql)
    {
        auto stmt = db.CreateIBSQLS();
        stmt->SetSQL(sql.GetSelectSQL());
        sql.SetParams(*stmt);
        std::vector<QStringList> rows;
        for (stmt->ExecQuery(); !stmt->Eof(); stmt->Next()) {
            QStringList row;
            for (int i = 0; i < stmt->FieldCount(); ++i)
                row << (stmt->FieldIsNull(i) ? QStringLiteral("<null>") : stmt->Field(i).toString());
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

TEST_F(SqlTest, OneJoinPerLinkFieldAndPathAndATableViewSurvivesClearNotTbl)
{
    TSQL sql;
    sql.SetObj(O("ORD"));
    TFld *cityName = F("CITY.CITY_NAME");
    TJoin *city = sql.AddFldPath(cityName, *Path({"ORD.CUST_ID", "CUST.CITY_ID"}), true, false);
    sql.AddFldPath(F("CUST.CUST_NAME"), *Path({"ORD.CUST_ID"}), true, false);
    EXPECT_NE(sql.AddFldPath(cityName, *Path({"ORD.CUST_ID", "CUST.CITY2_ID"}), true, false), city);
    // A path whose first element is skipped starts at the main table with its second one.
    EXPECT_EQ(sql.AddFldPath(cityName, *Path({"PAY.ORD_ID", "ORD.CUST_ID", "CUST.CITY_ID"}), false, true), city);
    TFilter filter;
    TFilterTree *node = filter.CreateRoot(fttEqual, cityName);
    node->Path.Assign(*Path({"ORD.CUST_ID", "CUST.CITY_ID"}));
    node->SetValue("Осло");
    sql.AddFilter(&filter);   // its path reuses the joins made for the columns
    EXPECT_EQ(sql.GetSelectSQL(),
              Lines({"select", "  T2.CITY_NAME /* Город */,", "  T1.CUST_NAME /* Клиент */,", "  T3.CITY_NAME /* Город */",
                     "from", "  ORD T0", "  join CUST T1 on T1.CUST_ID = T0.CUST_ID",
                     "  left join CITY T2 on T2.CITY_ID = T1.CITY_ID", "  left join CITY T3 on T3.CITY_ID = T1.CITY2_ID",
                     "where", "  T2.CITY_NAME = :0"}));
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"Осло", "Смит", "Берген"}}));
    sql.SetObj(O("PAY"));
    EXPECT_EQ(sql.SelFldList.Count() + sql.JoinList.Count() + sql.FilterList->Count(), 1) << "a new object starts over";
    EXPECT_EQ(sql.LastParamIndex, -1);

    // A view's columns survive ClearNotTbl, with the joins they share with a filter; the joins only
    // the filter needed go, with nothing left standing on them, and numbers only grow.
    const int view = AddChoice("TBL", "OBJ_ID", Id("ORD"), "Orders");
    for (const auto &[field, lft, rgt] : {std::tuple{"ORD.ORD_ID", 1, 12}, {"ORD.ORD_NO", 2, 3}, {"ORD.CUST_ID", 4, 11},
                                          {"CUST.CUST_NAME", 5, 6}, {"CUST.CITY_ID", 7, 10}, {"CITY.CITY_NAME", 8, 9}})
        AddNode("TBLTREE", "TBL_ID", view, lft, rgt, {{"FLD_ID", Id(field)}});
    TTbl tbl;
    ASSERT_TRUE(tbl.LoadById(view));
    sql.SetObj(O("ORD"));
    TFilter byCity;
    TFilterTree *cityNode = byCity.CreateRoot(fttEqual, F("CITY.CITY_NAME"));
    cityNode->Path.Assign(*Path({"ORD.CUST_ID", "CUST.CITY2_ID"}));
    cityNode->SetValue("Берген");
    sql.AddFilter(&byCity);   // a filter join made before the view's joins
    sql.AddTbl(tbl);
    sql.ClearNotTbl();
    sql.AddFilter(&byCity);
    EXPECT_EQ(sql.GetSelectSQL(), Lines({"select", "  T0.ORD_ID /* Код заказа */,", "  T0.ORD_NO /* Номер */,",
                                         "  T1.CUST_NAME /* Клиент */,", "  T3.CITY_NAME /* Город */", "from", "  ORD T0",
                                         "  join CUST T1 on T1.CUST_ID = T0.CUST_ID",
                                         "  left join CITY T3 on T3.CITY_ID = T1.CITY_ID",
                                         "  left join CITY T4 on T4.CITY_ID = T1.CITY2_ID", "where",
                                         "  T4.CITY_NAME = :1"}));
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"100", "5", "Смит", "Осло"}}));
}

// Groups join their children with "and" or "or", a negated comparison turns into its opposite,
// several filters are joined with "and"; groups are numbered but only conditions with a value take
// one; a group without children keeps its brackets, a filter without a tree adds nothing.
TEST_F(SqlTest, WhereBlocksOfGroupsComparisonsAndSeveralFiltersAndNodesWithoutText)
{
    TSQL sql;
    sql.SetObj(O("CUST"));
    sql.AddFld(F("CUST.CUST_NAME"));
    TFilter first, second, third;
    TFilterTree *all = first.CreateRoot(fttAnd, nullptr);
    TFilterTree *name = Child(all, fttEqual, "CUST.CUST_NAME", Variant::Null(), true);
    Child(all, fttEmpty, "CUST.CITY_ID", Variant::Null());
    sql.AddFilter(&first);
    const QStringList where{"where", "  (", "    T0.CUST_NAME <> :1", "  and", "    T0.CITY_ID is null", "  )"};
    EXPECT_EQ(sql.GetSelectSQL(), Lines(QStringList{"select", "  T0.CUST_NAME /* Клиент */", "from", "  CUST T0"} + where));
    EXPECT_TRUE(Rows(sql).empty()) << "a comparison with Null holds for no row";
    name->SetValue("Смит");
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"Йенсен"}}));

    TFilterTree *any = second.CreateRoot(fttOr, nullptr);
    Child(any, fttGreater, "CUST.CUST_ID", 10, true);
    Child(any, fttLess, "CUST.CUST_ID", 11, true);
    Child(any, fttEmpty, "CUST.CITY2_ID", Variant::Null(), true);
    third.CreateRoot(fttContaining, F("CUST.CUST_NAME"))->SetValue("мит");
    third.FilterTreeRoot->SetNo(true);
    sql.AddFilter(&second);
    sql.AddFilter(&third);
    EXPECT_EQ(sql.GetDeleteSQL(), Lines(QStringList{"delete", "from", "  CUST T0"} + where +
                                        QStringList{"and", "  (", "    T0.CUST_ID <= :3", "  or", "    T0.CUST_ID >= :4",
                                                    "  or", "    T0.CITY2_ID is not null", "  )", "and",
                                                    "  T0.CUST_NAME not containing :5"}));
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"Йенсен"}})) << "not Смит; id <= 10 or id >= 11";
    third.FilterTreeRoot->SetNo(false);
    EXPECT_TRUE(Rows(sql).empty());

    TFilter empty, none;
    empty.CreateRoot(fttAnd, nullptr);
    sql.SetObj(O("CUST"));
    sql.AddFilter(&empty);
    sql.AddFilter(&none);
    EXPECT_EQ(sql.GetDeleteSQL(), Lines({"delete", "from", "  CUST T0", "where", "  (", "  )"}));

    // A node the builder cannot write is refused before anything is joined or numbered; one whose
    // field or type has no text fails when the text is written.
    sql.SetObj(O("ORD"));
    TFilter complex;
    complex.SetName("Сложный");
    TFilterTree *root = complex.CreateRoot(fttAnd, nullptr);
    Child(root, fttEqual, "CUST.CUST_NAME", "Смит")->Path.Add(F("ORD.CUST_ID"));
    TFilterTree *node = Child(root, fttLess, "ORD.ORD_SUM", 1);
    node->SetName("Сумма");
    for (const auto &[type, capt] : {std::pair{fttBetween, "Между"}, {fttIn, "Входит в список"}, {fttExist, "Существует"}}) {
        node->SetFilterTreeType(type);
        EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&complex); }),
                  QString("Фильтр \"Сложный\": узел \"Сумма\" типа \"%1\" не поддерживается.").arg(capt));
    }
    node->SetFilterTreeType(fttLess);
    node->SetFld(nullptr);
    EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&complex); }), "Фильтр \"Сложный\": у узла \"Сумма\" не указано поле.");
    EXPECT_EQ(sql.JoinList.Count() + sql.FilterList->Count(), 1) << "a refused filter joins nothing";
    EXPECT_EQ(sql.LastParamIndex, -1);
    node->SetFld(F("ORD.ORD_CALC"));
    sql.AddFilter(&complex);
    EXPECT_EQ(ErrorOf([&] { sql.GetSelectSQL(); }), "TSQL.AddSQLFilterTree: Нет обработки типа поля \"Формула\".");
}

// The record editor's insert; a caption cannot close its comment. Its update is run by the editor's own tests.
TEST_F(SqlTest, AnInsertRunsOnItsTableWhateverTheCaptions)
{
    F("ORD.ORD_SUM")->SetCapt("Сумма */ from RDB$DATABASE --");
    TSQL insert;
    insert.SetObj(O("ORD"));
    for (const char *field : {"ORD.ORD_ID", "ORD.ORD_SUM", "ORD.CUST_ID"})
        insert.AddFld(F(field));
    const QString sum = "ORD_SUM /* Сумма * / from RDB$DATABASE -- */,";
    EXPECT_EQ(insert.GetInsertSQL(), Lines({"insert into", "  ORD", "(", "  ORD_ID /* Код заказа */,", "  " + sum,
                                            "  CUST_ID /* Клиент заказа */", ") values (", "  :ORD_ID /* Код заказа */,",
                                            "  :" + sum, "  :CUST_ID /* Клиент заказа */", ")"}));
    repo.Exec(insert.GetInsertSQL(), {{"ORD_ID", 102}, {"ORD_SUM", Variant::FromCurrency(qint64(30000))}, {"CUST_ID", 11}});
    EXPECT_EQ(repo.Scalar("select ORD_SUM from ORD where ORD_ID = 102"), Variant::FromCurrency(qint64(30000)));
}

} // namespace
