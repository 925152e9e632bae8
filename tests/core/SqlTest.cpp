#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "RepoBuilder.h"
#include "Sql.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TFilterTreeType;


QString Lines(const QStringList &lines)
{
    return lines.join("\r\n") + "\r\n";
}

const QString NoObject = "Построитель запросов: Проверка наличия объекта - объект не указан.";

// Real tables of cities, customers (two optional links to cities), orders (a required link to
// a customer) and payments (an optional link to an order), described in the repository, so
// that every generated statement also runs.
class SqlTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
        for (const char *table : {"FLTR", "FLTRTREE", "TBL", "TBLTREE"})
            repo.EnsureDescribed(table);
        Ddl("create table CITY (CITY_ID integer not null primary key, CITY_NAME varchar(50))");
        Ddl("create table CUST (CUST_ID integer not null primary key, CUST_NAME varchar(50), "
            "CITY_ID integer references CITY, CITY2_ID integer references CITY)");
        Ddl("create table ORD (ORD_ID integer not null primary key, ORD_NO integer, ORD_SUM numeric(18,2), "
            "ORD_DATE date, ORD_DONE smallint, CUST_ID integer not null references CUST)");
        Ddl("create table PAY (PAY_ID integer not null primary key, ORD_ID integer references ORD, "
            "PAY_NOTE varchar(50))");
        const int city = repo.AddObj("CITY", "Города");
        repo.AddFld(city, "CITY_ID", "PK", "Код города");
        repo.AddFld(city, "CITY_NAME", "String", "Город");
        const int cust = repo.AddObj("CUST", "Клиенты");
        repo.AddFld(cust, "CUST_ID", "PK", "Код клиента");
        repo.AddFld(cust, "CUST_NAME", "String", "Клиент");
        repo.AddDep(city, repo.AddFld(cust, "CITY_ID", "FK", "Город клиента"));
        repo.AddDep(city, repo.AddFld(cust, "CITY2_ID", "FK", "Город доставки"));
        const int ord = repo.AddObj("ORD", "Заказы");
        repo.AddFld(ord, "ORD_ID", "PK", "Код заказа");
        repo.AddFld(ord, "ORD_NO", "Integ", "Номер");
        repo.AddFld(ord, "ORD_SUM", "Num182", "Сумма");
        repo.AddFld(ord, "ORD_DATE", "Date", "Дата");
        repo.AddFld(ord, "ORD_DONE", "Boolean", "Выполнен");
        repo.AddFld(ord, "ORD_CALC", "Formula", "Расчёт", true);
        const int ordCust = repo.AddFld(ord, "CUST_ID", "FK", "Клиент заказа");
        Required(ordCust);
        repo.AddDep(cust, ordCust);
        const int pay = repo.AddObj("PAY", "Платежи");
        repo.AddFld(pay, "PAY_ID", "PK", "Код платежа");
        repo.AddFld(pay, "PAY_NOTE", "String", "Примечание");
        repo.AddDep(ord, repo.AddFld(pay, "ORD_ID", "FK", "Заказ"));
        // The repository's own tables of objects and fields, for the layout example.
        const int obj = repo.AddObj("OBJ", "Объекты");
        repo.AddFld(obj, "OBJ_ID", "PK", "Код объекта");
        repo.AddFld(obj, "OBJ_CAPT", "String", "Объект");
        const int fld = repo.AddObj("FLD", "Поля");
        repo.AddFld(fld, "FLD_ID", "PK", "Код поля");
        repo.AddFld(fld, "FLD_FIELD", "String", "Поле");
        const int fldObj = repo.AddFld(fld, "OBJ_ID", "FK", "Объект поля");
        Required(fldObj);
        repo.AddDep(obj, fldObj);

        repo.Exec("insert into CITY values (1, 'Осло')");
        repo.Exec("insert into CITY values (2, 'Берген')");
        repo.Exec("insert into CUST values (10, 'Смит', 1, 2)");
        repo.Exec("insert into CUST values (11, 'Йенсен', null, null)");
        repo.Exec("insert into ORD values (100, 5, 12.50, '2024-01-02', 1, 10)");
        repo.Exec("insert into ORD values (101, 7, null, null, 0, 11)");
        repo.Exec("insert into PAY values (1000, 100, 'аванс')");
        repo.Exec("insert into PAY values (1001, null, null)");
        db.Init();
    }

    void Ddl(const QString &text)
    {
        db.StartTransaction();
        auto sql = db.CreateIBSQLC();
        sql->SetSQL(text);
        sql->ExecImmediate();
        db.CommitTransaction();
    }
    void Required(int fldId) { repo.Exec("update FLD set FLD_NOTNULL = 1 where FLD_ID = :ID", {{"ID", fldId}}); }

    TObj *O(const QString &table) { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) { return O(table)->GetFldByName(field); }
    static std::unique_ptr<TFldList> Path(std::initializer_list<TFld *> flds)
    {
        auto path = std::make_unique<TFldList>(false);
        for (TFld *f : flds)
            path->Add(f);
        return path;
    }
    static TFilterTree *Child(TFilterTree *parent, TFilterTreeType type, TFld *fld, const Variant &value = Variant::Null(),
                              bool no = false)
    {
        auto node = std::make_unique<TFilterTree>();
        node->SetFilterTreeType(type);
        node->SetFld(fld);
        node->SetValue(value);
        node->SetNo(no);
        return parent->FilterTreeList.Add(std::move(node));
    }

    // The rows of the builder's select, each column as text.
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
        stmt->Close();
        return rows;
    }
    // Runs an insert, update or delete in its own write transaction.
    void Write(const QString &text, const TSQL &sql, const QList<std::pair<QString, Variant>> &params = {})
    {
        db.StartTransaction();
        try {
            auto stmt = db.CreateIBSQLC();
            stmt->SetSQL(text);
            sql.SetParams(*stmt);
            for (const auto &[name, value] : params)
                stmt->ParamByName(name) = value;
            stmt->ExecQuery();
            db.CommitTransaction();
        } catch (...) {
            db.RollbackChanges();
            throw;
        }
    }

};

TEST_F(SqlTest, NoObjectRefusesEverythingAndEmptyStatementsKeepTheirFrame)
{
    TSQL sql;
    TFld *name = F("CITY", "CITY_NAME");
    TFilter filter;
    filter.CreateRoot(fttEqual, name);
    TTbl tbl;
    const auto path = Path({});
    for (const auto &call : std::vector<std::function<void()>>{
             [&] { sql.AddFld(name); }, [&] { sql.AddFldPath(name, *path, true, false); },
             [&] { sql.AddTbl(tbl); }, [&] { sql.AddFilter(&filter); }, [&] { sql.GetSelectSQL(); },
             [&] { sql.GetInsertSQL(); }, [&] { sql.GetUpdateSQL(); }, [&] { sql.GetDeleteSQL(); }})
        EXPECT_EQ(ErrorOf(call), NoObject);

    sql.SetObj(O("CITY"));
    EXPECT_EQ(sql.GetSelectSQL(), "select\r\nfrom\r\n  CITY T0\r\n");
    EXPECT_EQ(sql.GetInsertSQL(), "insert into\r\n  CITY\r\n(\r\n) values (\r\n)\r\n");
    EXPECT_EQ(sql.GetUpdateSQL(), "update\r\n  CITY T0\r\nset\r\n");
    EXPECT_EQ(sql.GetDeleteSQL(), "delete\r\nfrom\r\n  CITY T0\r\n");

    sql.AddFld(name);
    sql.AddFilter(&filter);
    sql.SetObj(nullptr);
    EXPECT_EQ(sql.SelFldList.Count() + sql.JoinList.Count() + sql.FilterList->Count(), 0);
    EXPECT_EQ(sql.LastJoinIndex, -1);
    EXPECT_EQ(ErrorOf([&] { sql.GetSelectSQL(); }), NoObject);
}

// The layout example: a view over the field table with its required link to the objects and
// a filter on the column name, built the way the value template of an object reads a record.
TEST_F(SqlTest, LayoutOfASelectOverFieldsAndTheirObjects)
{
    TSQL sql;
    sql.SetObj(O("FLD"));
    sql.AddFld(F("FLD", "FLD_ID"));
    sql.AddFld(F("FLD", "FLD_FIELD"));
    sql.AddFldPath(F("OBJ", "OBJ_CAPT"), *Path({F("FLD", "OBJ_ID")}), true, false);
    TFilter filter;
    filter.CreateRoot(fttEqual, F("FLD", "FLD_FIELD"))->SetValue("ORD_SUM");
    sql.AddFilter(&filter);
    EXPECT_EQ(sql.GetSelectSQL(), Lines({"select", "  T0.FLD_ID /* Код поля */,", "  T0.FLD_FIELD /* Поле */,",
                                         "  T1.OBJ_CAPT /* Объект */", "from", "  FLD T0",
                                         "  join OBJ T1 on T1.OBJ_ID = T0.OBJ_ID", "where", "  T0.FLD_FIELD = :0"}));
    const auto rows = Rows(sql);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], QStringList({QString::number(F("ORD", "ORD_SUM")->Id()), "ORD_SUM", "Заказы"}));
}

TEST_F(SqlTest, OneJoinPerLinkFieldAndPathAndSecondAliasesForASecondLink)
{
    TSQL sql;
    sql.SetObj(O("ORD"));
    TFld *cityName = F("CITY", "CITY_NAME");
    TFld *ordCust = F("ORD", "CUST_ID");
    const auto toCity = Path({ordCust, F("CUST", "CITY_ID")});
    const auto toCity2 = Path({ordCust, F("CUST", "CITY2_ID")});
    TJoin *city = sql.AddFldPath(cityName, *toCity, true, false);
    sql.AddFldPath(F("CUST", "CUST_NAME"), *Path({ordCust}), true, false);
    TJoin *city2 = sql.AddFldPath(cityName, *toCity2, true, false);
    EXPECT_EQ(sql.AddFldPath(cityName, *toCity, true, false), city);
    // A path whose first element is skipped starts at the main table with its second one.
    EXPECT_EQ(sql.AddFldPath(cityName, *Path({F("PAY", "ORD_ID"), ordCust, F("CUST", "CITY_ID")}), false, true), city);
    EXPECT_NE(city2, city);
    TFilter filter;
    TFilterTree *node = filter.CreateRoot(fttEqual, cityName);
    node->Path.Assign(*toCity);
    node->SetValue("Осло");
    sql.AddFilter(&filter);
    EXPECT_EQ(sql.JoinList.Count(), 4) << "the filter's path reuses the view's joins";
    EXPECT_EQ(sql.SelFldList.Count(), 3);
    EXPECT_EQ(sql.GetSelectSQL(),
              Lines({"select", "  T2.CITY_NAME /* Город */,", "  T1.CUST_NAME /* Клиент */,",
                     "  T3.CITY_NAME /* Город */", "from", "  ORD T0", "  join CUST T1 on T1.CUST_ID = T0.CUST_ID",
                     "  left join CITY T2 on T2.CITY_ID = T1.CITY_ID",
                     "  left join CITY T3 on T3.CITY_ID = T1.CITY2_ID", "where", "  T2.CITY_NAME = :0"}));
    const auto rows = Rows(sql);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], QStringList({"Осло", "Смит", "Берген"}));
}

TEST_F(SqlTest, EverythingBelowAnOptionalLinkIsALeftJoin)
{
    TSQL sql;
    sql.SetObj(O("PAY"));
    sql.AddFld(F("PAY", "PAY_ID"));
    sql.AddFldPath(F("CITY", "CITY_NAME"), *Path({F("PAY", "ORD_ID"), F("ORD", "CUST_ID"), F("CUST", "CITY_ID")}),
                   true, false);
    EXPECT_TRUE(sql.JoinList.Items(2)->JoinFld->NotNull());
    EXPECT_EQ(sql.GetSelectSQL(),
              Lines({"select", "  T0.PAY_ID /* Код платежа */,", "  T3.CITY_NAME /* Город */", "from", "  PAY T0",
                     "  left join ORD T1 on T1.ORD_ID = T0.ORD_ID", "  left join CUST T2 on T2.CUST_ID = T1.CUST_ID",
                     "  left join CITY T3 on T3.CITY_ID = T2.CITY_ID"}));
    auto rows = Rows(sql);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<QStringList>{{"1000", "Осло"}, {"1001", "<null>"}}));
}

TEST_F(SqlTest, WhereBlocksOfGroupsComparisonsAndSeveralFilters)
{
    TSQL sql;
    sql.SetObj(O("CUST"));
    sql.AddFld(F("CUST", "CUST_NAME"));
    TFilter first;
    TFilterTree *all = first.CreateRoot(fttAnd, nullptr);
    TFilterTree *name = Child(all, fttEqual, F("CUST", "CUST_NAME"), Variant::Null(), true);
    Child(all, fttEmpty, F("CUST", "CITY_ID"));
    sql.AddFilter(&first);
    const QStringList where{"where", "  (", "    T0.CUST_NAME <> :1", "  and", "    T0.CITY_ID is null", "  )"};
    EXPECT_EQ(sql.GetSelectSQL(), Lines(QStringList{"select", "  T0.CUST_NAME /* Клиент */", "from", "  CUST T0"} + where));
    EXPECT_TRUE(Rows(sql).empty()) << "a comparison with Null holds for no row";
    auto stmt = db.CreateIBSQLS();
    stmt->SetSQL(sql.GetSelectSQL());
    EXPECT_EQ(stmt->ParamNames(), QStringList({"1"})) << "the group's number is not in the text";
    stmt->ParamByName("1") = 99;
    sql.SetParams(*stmt);
    EXPECT_TRUE(stmt->ParamByName("1").isNull());
    name->SetValue("Смит");
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"Йенсен"}}));

    TFilter second;
    TFilterTree *any = second.CreateRoot(fttOr, nullptr);
    Child(any, fttGreater, F("CUST", "CUST_ID"), 10, true);
    Child(any, fttLess, F("CUST", "CUST_ID"), 11, true);
    Child(any, fttEmpty, F("CUST", "CITY2_ID"), Variant::Null(), true);
    TFilter third;
    third.CreateRoot(fttContaining, F("CUST", "CUST_NAME"))->SetValue("мит");
    third.FilterTreeRoot->SetNo(true);
    sql.AddFilter(&second);
    sql.AddFilter(&third);
    EXPECT_EQ(sql.LastParamIndex, 5) << "group nodes take numbers, empty-tests none";
    EXPECT_EQ(sql.GetDeleteSQL(),
              Lines(QStringList{"delete", "from", "  CUST T0"} + where +
                    QStringList{"and", "  (", "    T0.CUST_ID <= :3", "  or", "    T0.CUST_ID >= :4", "  or",
                                "    T0.CITY2_ID is not null", "  )", "and", "  T0.CUST_NAME not containing :5"}));
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"Йенсен"}})) << "not Смит; id <= 10 or id >= 11";
    third.FilterTreeRoot->SetNo(false);
    EXPECT_TRUE(Rows(sql).empty());

    TSQL group;
    group.SetObj(O("CUST"));
    TFilter empty;
    empty.CreateRoot(fttAnd, nullptr);
    group.AddFilter(&empty);
    EXPECT_EQ(group.GetDeleteSQL(), Lines({"delete", "from", "  CUST T0", "where", "  (", "  )"}));
}

TEST_F(SqlTest, NodesWithoutTextAreRefusedAndTextErrorsLeaveTheBuilder)
{
    TSQL sql;
    sql.SetObj(O("ORD"));
    TFilter filter;
    filter.SetName("Сложный");
    TFilterTree *root = filter.CreateRoot(fttAnd, nullptr);
    Child(root, fttEqual, F("CUST", "CUST_NAME"))->Path.Add(F("ORD", "CUST_ID"));
    TFilterTree *node = Child(root, fttBetween, F("ORD", "ORD_SUM"));
    node->SetName("Сумма");
    EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&filter); }), "Фильтр \"Сложный\": узел \"Сумма\" типа \"Между\" не поддерживается.");
    node->SetFilterTreeType(fttIn);
    EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&filter); }),
              "Фильтр \"Сложный\": узел \"Сумма\" типа \"Входит в список\" не поддерживается.");
    node->SetFilterTreeType(fttExist);
    EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&filter); }), "Фильтр \"Сложный\": узел \"Сумма\" типа \"Существует\" не поддерживается.");
    node->SetFilterTreeType(fttLess);
    node->SetFld(nullptr);
    EXPECT_EQ(ErrorOf([&] { sql.AddFilter(&filter); }), "Фильтр \"Сложный\": у узла \"Сумма\" не указано поле.");
    EXPECT_EQ(sql.JoinList.Count(), 1) << "a refused filter joins nothing";
    EXPECT_EQ(sql.LastParamIndex, -1);
    EXPECT_EQ(sql.FilterList->Count(), 0);

    node->SetFld(F("ORD", "ORD_CALC"));
    sql.AddFilter(&filter);
    EXPECT_EQ(ErrorOf([&] { sql.GetSelectSQL(); }), "TSQL.AddSQLFilterTree: Нет обработки типа поля \"Формула\".");
    node->SetFilterTreeType(fttNone);
    EXPECT_EQ(ErrorOf([&] { sql.GetUpdateSQL(); }),
              "TSQL.AddSQLFilterTree: Неизвестный тип узла дерева условий \"не указано\".");
    EXPECT_EQ(sql.JoinList.Count(), 2);
    EXPECT_EQ(sql.FilterList->Count(), 1);

    // A filter without conditions lets every row through.
    TFilter none;
    TSQL all;
    all.SetObj(O("CITY"));
    all.AddFilter(&none);
    EXPECT_EQ(all.GetSelectSQL(), "select\r\nfrom\r\n  CITY T0\r\n");
}

TEST_F(SqlTest, ATableViewSurvivesClearNotTblAndNumbersGrow)
{
    TTbl tbl;
    tbl.TblTree = std::make_unique<TTblTree>();
    tbl.TblTree->SetFld(F("ORD", "ORD_ID"));
    auto add = [](TTblTree *parent, TFld *fld) {
        auto node = std::make_unique<TTblTree>();
        node->SetFld(fld);
        return parent->AddChild(std::move(node));
    };
    TTblTree *no = add(tbl.TblTree.get(), F("ORD", "ORD_NO"));
    TTblTree *cust = add(tbl.TblTree.get(), F("ORD", "CUST_ID"));
    add(cust, F("CUST", "CUST_NAME"));
    TTblTree *cityName = add(add(cust, F("CUST", "CITY_ID")), F("CITY", "CITY_NAME"));
    EXPECT_EQ(cityName->Parent()->Parent(), cust);

    TSQL sql;
    sql.SetObj(O("ORD"));
    TFilter filter;
    TFilterTree *node = filter.CreateRoot(fttEqual, F("CITY", "CITY_NAME"));
    node->Path.Assign(*Path({F("ORD", "CUST_ID"), F("CUST", "CITY2_ID")}));
    node->SetValue("Берген");
    sql.AddFilter(&filter);   // a filter join made before the view's joins
    sql.AddTbl(tbl);
    EXPECT_EQ(sql.GetSelFld(F("CITY", "CITY_NAME"))->TblTree, cityName);
    EXPECT_EQ(sql.GetSelFld(F("ORD", "ORD_NO"))->TblTree, no);
    EXPECT_EQ(sql.GetSelFld(F("ORD", "ORD_ID")), nullptr) << "the root's field has no column node";
    EXPECT_EQ(sql.GetSelFld(F("ORD", "CUST_ID")), nullptr) << "a link column is not output";
    EXPECT_TRUE(sql.JoinList.Items(1)->ByTbl) << "the filter's join to the customer is reused by the view";
    EXPECT_FALSE(sql.JoinList.Items(2)->ByTbl);

    sql.ClearNotTbl();
    EXPECT_FALSE(sql.GetSelectSQL().contains("where"));
    sql.AddFilter(&filter);
    const QString select = sql.GetSelectSQL();
    EXPECT_EQ(select, Lines({"select", "  T0.ORD_ID /* Код заказа */,", "  T0.ORD_NO /* Номер */,",
                             "  T1.CUST_NAME /* Клиент */,", "  T3.CITY_NAME /* Город */", "from", "  ORD T0",
                             "  join CUST T1 on T1.CUST_ID = T0.CUST_ID",
                             "  left join CITY T3 on T3.CITY_ID = T1.CITY_ID",
                             "  left join CITY T4 on T4.CITY_ID = T1.CITY2_ID", "where", "  T4.CITY_NAME = :1"}));
    EXPECT_EQ(Rows(sql), (std::vector<QStringList>{{"100", "5", "Смит", "Осло"}}));
}

TEST_F(SqlTest, InsertUpdateAndDeleteRunOnTheirTable)
{
    TSQL insert;
    insert.SetObj(O("ORD"));
    for (const char *col : {"ORD_ID", "ORD_SUM", "ORD_DATE", "CUST_ID"})
        insert.AddFld(F("ORD", col));
    EXPECT_EQ(insert.GetInsertSQL(),
              Lines({"insert into", "  ORD", "(", "  ORD_ID /* Код заказа */,", "  ORD_SUM /* Сумма */,",
                     "  ORD_DATE /* Дата */,", "  CUST_ID /* Клиент заказа */", ") values (", "  :ORD_ID /* Код заказа */,",
                     "  :ORD_SUM /* Сумма */,", "  :ORD_DATE /* Дата */,", "  :CUST_ID /* Клиент заказа */", ")"}));
    Write(insert.GetInsertSQL(), insert,
          {{"ORD_ID", 102}, {"ORD_SUM", Variant::FromCurrency(qint64(30000))}, {"ORD_DATE", QDate(2024, 5, 6)},
           {"CUST_ID", 11}});

    // The record editor's statements: the key filter on the key field.
    TFilter key;
    key.CreateRoot(fttEqual, F("ORD", "ORD_ID"))->SetValue(102);
    TSQL update;
    update.SetObj(O("ORD"));
    update.AddFld(F("ORD", "ORD_NO"));
    update.AddFld(F("ORD", "ORD_DONE"));
    update.AddFilter(&key);
    EXPECT_EQ(update.GetUpdateSQL(),
              Lines({"update", "  ORD T0", "set", "  T0.ORD_NO = :ORD_NO /* Номер */,",
                     "  T0.ORD_DONE = :ORD_DONE /* Выполнен */", "where", "  T0.ORD_ID = :0"}));
    Write(update.GetUpdateSQL(), update, {{"ORD_NO", 9}, {"ORD_DONE", 1}});

    TSQL select;
    select.SetObj(O("ORD"));
    for (const char *col : {"ORD_NO", "ORD_SUM", "ORD_DATE", "ORD_DONE"})
        select.AddFld(F("ORD", col));
    select.AddFilter(&key);
    EXPECT_EQ(Rows(select), (std::vector<QStringList>{{"9", "3", "2024-05-06", "1"}}));

    TSQL del;
    del.SetObj(O("ORD"));
    del.AddFld(F("ORD", "ORD_NO"));   // a delete writes no columns
    del.AddFilter(&key);
    EXPECT_EQ(del.GetDeleteSQL(), Lines({"delete", "from", "  ORD T0", "where", "  T0.ORD_ID = :0"}));
    Write(del.GetDeleteSQL(), del);
    EXPECT_TRUE(Rows(select).empty());
}

TEST_F(SqlTest, ACaptionCannotCloseItsComment)
{
    F("CITY", "CITY_NAME")->SetCapt("Город */ from RDB$DATABASE --");
    TSQL sql;
    sql.SetObj(O("CITY"));
    sql.AddFld(F("CITY", "CITY_ID"));
    sql.AddFld(F("CITY", "CITY_NAME"));
    EXPECT_TRUE(sql.GetSelectSQL().contains("  T0.CITY_NAME /* Город * / from RDB$DATABASE -- */\r\n"));
    EXPECT_EQ(Rows(sql).size(), 2u);
    Write(sql.GetInsertSQL(), sql, {{"CITY_ID", 3}, {"CITY_NAME", "Тромсё"}});
    EXPECT_EQ(Rows(sql).size(), 3u);
}

} // namespace
