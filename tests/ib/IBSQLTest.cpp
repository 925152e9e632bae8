#include "IBFixture.h"

namespace {

class IBSQLTest : public IBFixture
{
protected:
    void SetUp() override
    {
        IBFixture::SetUp();
        Ddl("create table T ("
            " ID integer not null primary key, S smallint, B bigint, N2 numeric(18,2), N3 numeric(9,3),"
            " N4 numeric(18,4), N6 numeric(18,6), F double precision, FL float,"
            " V varchar(50) character set UTF8 collate UNICODE_CI, C char(10) character set UTF8,"
            " D date, TM time, TS timestamp, BO boolean, BL blob sub_type text character set UTF8)");
    }

    void Insert(const QString &columns, const QList<Variant> &values)
    {
        QStringList names = columns.split(',');
        QStringList params;
        for (const QString &n : names)
            params << ":" + n.trimmed();
        TIBSQL sql(&db, &write);
        sql.SetSQL(QString("insert into T (%1) values (%2)").arg(columns, params.join(", ")));
        for (int i = 0; i < names.size(); ++i)
            sql.ParamByName(names[i].trimmed()) = values[i];
        sql.ExecQuery();
    }

    // Reads one column of row `id` in the read transaction.
    Variant ReadBack(const QString &column, int id)
    {
        TIBSQL sql(&db, &read);
        sql.SetSQL(QString("select %1 from T where ID = :ID").arg(column));
        sql.ParamByName("ID") = id;
        sql.ExecQuery();
        EXPECT_FALSE(sql.Eof());
        return sql.Field(0);
    }
};

TEST_F(IBSQLTest, EveryColumnTypeRoundTrips)
{
    const QDate day(2026, 2, 28);
    const QTime time(13, 45, 7, 250);
    const QList<Variant> values = {
        1, 12, qint64(9000000000LL), Variant::FromCurrency(qint64(-12345600)), Variant(1.5),
        Variant::FromCurrency(qint64(31415)), Variant(2.123456), Variant(0.1), Variant(2.5),
        Variant("Привет, мир"), Variant("абв"), Variant(day), Variant(time),
        Variant(QDateTime(day, time)), Variant(true), Variant(QString("Текст ").repeated(20000))};
    write.StartTransaction();
    Insert("ID, S, B, N2, N3, N4, N6, F, FL, V, C, D, TM, TS, BO, BL", values);
    write.Commit();

    EXPECT_EQ(ReadBack("S", 1), Variant(12));
    EXPECT_EQ(ReadBack("S", 1).type(), Variant::Type::Integer);
    EXPECT_EQ(ReadBack("B", 1), Variant(qint64(9000000000LL)));
    const Variant n2 = ReadBack("N2", 1);
    EXPECT_EQ(n2.type(), Variant::Type::Currency);
    EXPECT_EQ(n2.toCurrencyScaled(), -12345600) << "exact, no detour through double";
    EXPECT_EQ(ReadBack("N3", 1).toCurrencyScaled(), 15000);
    EXPECT_EQ(ReadBack("N4", 1).toCurrencyScaled(), 31415);
    EXPECT_EQ(ReadBack("N6", 1).type(), Variant::Type::Double);
    EXPECT_DOUBLE_EQ(ReadBack("N6", 1).toDouble(), 2.123456);
    EXPECT_DOUBLE_EQ(ReadBack("F", 1).toDouble(), 0.1);
    EXPECT_DOUBLE_EQ(ReadBack("FL", 1).toDouble(), 2.5);
    EXPECT_EQ(ReadBack("V", 1).toString(), "Привет, мир");
    EXPECT_EQ(ReadBack("C", 1).toString(), "абв") << "CHAR padding is not part of the value";
    EXPECT_EQ(ReadBack("D", 1).toDate(), day);
    EXPECT_EQ(ReadBack("TM", 1).toTime(), time);
    EXPECT_EQ(ReadBack("TS", 1).toDateTime(), QDateTime(day, time));
    EXPECT_EQ(ReadBack("BO", 1), Variant(true));
    EXPECT_EQ(ReadBack("BL", 1).toString(), QString("Текст ").repeated(20000));
}

TEST_F(IBSQLTest, NullsRoundTripInEveryColumn)
{
    const QString columns = "S, B, N2, N4, F, V, C, D, TM, TS, BO, BL";
    QList<Variant> values = {1};
    for (int i = 0; i < columns.count(',') + 1; ++i)
        values << Variant::Null();
    write.StartTransaction();
    Insert("ID, " + columns, values);
    write.Commit();
    for (const QString &c : columns.split(','))
        EXPECT_TRUE(ReadBack(c.trimmed(), 1).isNull()) << c.toStdString();
    TIBSQL sql(&db, &read);
    sql.SetSQL("select V from T");
    sql.ExecQuery();
    EXPECT_TRUE(sql.FieldIsNull(0));
}

TEST_F(IBSQLTest, ParametersConvertToTheColumnType)
{
    write.StartTransaction();
    // Text into numbers and dates, doubles into scaled integers rounded half away from zero.
    Insert("ID, N2, N4, S, D, V", {Variant("2"), Variant(-1.005), Variant("3,25"), Variant(7.0),
                                   Variant("2024-03-01"), Variant(42)});
    write.Commit();
    EXPECT_EQ(ReadBack("N2", 2).toCurrencyScaled(), -10100);
    EXPECT_EQ(ReadBack("N4", 2).toCurrencyScaled(), 32500);
    EXPECT_EQ(ReadBack("S", 2), Variant(7));
    EXPECT_EQ(ReadBack("D", 2).toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(ReadBack("V", 2).toString(), "42");
}

TEST_F(IBSQLTest, ARepeatedNameIsBoundTwice)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    sql.SetSQL("insert into T (ID, S, B) values (:X, :X, :Y)");
    EXPECT_EQ(sql.ParamNames(), QStringList({"X", "Y"}));
    sql.ParamByName("x") = 5;
    sql.ParamByName("Y") = 6;
    sql.ExecQuery();
    write.Commit();
    EXPECT_EQ(ReadBack("S", 5), Variant(5));
    EXPECT_EQ(ReadBack("B", 5), Variant(6));
}

TEST_F(IBSQLTest, ColonsInLiteralsAndCommentsAreNotParameters)
{
    TIBSQL sql(&db, &read);
    sql.AddLine("select ':NOTPARAM' as A /* :NOPE */");
    sql.AddLine("from RDB$DATABASE -- :NOPE");
    EXPECT_EQ(sql.SQLText(), "select ':NOTPARAM' as A /* :NOPE */\nfrom RDB$DATABASE -- :NOPE");
    EXPECT_TRUE(sql.ParamNames().isEmpty());
    sql.ExecQuery();
    EXPECT_EQ(sql.FieldByName("a").toString(), ":NOTPARAM");
    EXPECT_THROW(sql.ParamByName("NOPE"), Exception);
}

TEST_F(IBSQLTest, PreparesOnceUntilTheTextChanges)
{
    TIBSQL sql(&db, &read);
    sql.SetSQL("select count(*) from T where ID > :ID");
    for (int i = 0; i < 3; ++i) {
        sql.ParamByName("ID") = i;
        sql.ExecQuery();
        sql.Close();
    }
    EXPECT_EQ(sql.PrepareCount(), 1);
    sql.SetSQL("select count(*) from T where ID > :ID");
    sql.ParamByName("ID") = 0;
    sql.ExecQuery();
    EXPECT_EQ(sql.PrepareCount(), 1) << "the same text keeps its prepared statement";
    const qint64 handles = TIBSQL::HandleCount();
    sql.SetSQL("select count(*) from T where ID < :ID");
    sql.ParamByName("ID") = 0;
    sql.ExecQuery();
    EXPECT_EQ(sql.PrepareCount(), 2);
    EXPECT_EQ(TIBSQL::HandleCount(), handles) << "a new text replaces the statement on the server";
}

TEST_F(IBSQLTest, OneStatementTakesTextsOfAnyLengthAndNullsInTurn)
{
    const QList<Variant> texts = {"a", QString("Привет").repeated(8), Variant::Null(), "", "b"};
    write.StartTransaction();
    TIBSQL insert(&db, &write);
    insert.SetSQL("insert into T (ID, V) values (:ID, :V)");
    for (int i = 0; i < texts.size(); ++i) {
        insert.ParamByName("ID") = i;
        insert.ParamByName("V") = texts[i];
        insert.ExecQuery();
    }
    write.Commit();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(ReadBack("V", i), texts[i]) << i;
    // The first marker has no type of its own: it takes whatever comes, Null included.
    TIBSQL count(&db, &read);
    count.SetSQL("select count(*) from T where :P is null or V = :P");
    QList<Variant> counts;
    for (const Variant &p : {Variant("b"), Variant::Null(), Variant(QString("Привет").repeated(8)), Variant("zz")}) {
        count.ParamByName("P") = p;
        count.ExecQuery();
        counts << count.Field(0);
    }
    EXPECT_EQ(counts, QList<Variant>({1, 5, 1, 0}));
    EXPECT_EQ(insert.PrepareCount() + count.PrepareCount(), 2);
}

TEST_F(IBSQLTest, ASingletonSelectGivesItsRowAndRefusesNoneOrTwo)
{
    write.StartTransaction();
    Insert("ID, V", {1, "один"});
    Insert("ID, V", {2, "два"});
    write.Commit();
    TIBSQL sql(&db, &read);
    sql.SetSQL("select V from T where ID between :FIRST and :LAST");
    const struct { int first, last; const char *result; } cases[] = {
        {1, 1, "один"},
        {3, 3, "attempt to fetch past the last record in a record stream"},
        {1, 2, "multiple rows in singleton select"},
        {2, 2, "два"}};
    for (const auto &c : cases) {
        sql.ParamByName("FIRST") = c.first;
        sql.ParamByName("LAST") = c.last;
        QString result;
        try {
            sql.ExecSingleton();
            result = sql.Field(0).toString();
        } catch (const EIBError &e) {
            result = e.Message();
        }
        EXPECT_EQ(result, c.result);
        EXPECT_FALSE(sql.Open()) << "no cursor outlives the call";
    }
}

TEST_F(IBSQLTest, AParameterNobodySetIsRefusedNamingIt)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    const QString insert = "insert into T (ID, S) values (:ID, :S)";
    sql.SetSQL(insert);
    sql.ParamByName("ID") = 1;
    sql.ParamByName("S") = 7;
    sql.ExecQuery();
    // The same text again: the earlier values are gone, the prepared statement is not.
    sql.SetSQL(insert);
    sql.ParamByName("ID") = 2;
    try {
        sql.ExecQuery();
        FAIL() << "executed with S unset";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("\"S\"")) << e.Message().toStdString();
    }
    EXPECT_EQ(sql.PrepareCount(), 1);
    // A new text: nothing carries over, and Unassigned is not taken for Null.
    sql.SetSQL("insert into T (ID, V) values (:ID, :V)");
    sql.ParamByName("ID") = 3;
    sql.ParamByName("V") = Variant();
    EXPECT_THROW(sql.ExecQuery(), Exception);
    sql.ParamByName("V") = Variant::Null();
    sql.ExecQuery();
    sql.SetSQL(insert);
    sql.ParamByName("ID") = 4;
    sql.ParamByName("S") = Variant::Null();
    sql.ExecQuery();
    write.Commit();
    EXPECT_EQ(ReadBack("S", 1), Variant(7));
    EXPECT_TRUE(ReadBack("V", 3).isNull());
    EXPECT_TRUE(ReadBack("S", 4).isNull());
    TIBSQL count(&db, &read);
    count.SetSQL("select count(*) from T");
    count.ExecQuery();
    EXPECT_EQ(count.Field(0), Variant(3)) << "the refused row was never written";
}

TEST_F(IBSQLTest, CursorWalksRowsAndReportsTheEnd)
{
    write.StartTransaction();
    for (int id = 1; id <= 3; ++id)
        Insert("ID, V", {id, QString("row %1").arg(id)});
    write.Commit();
    TIBSQL sql(&db, &read);
    sql.SetSQL("select ID, V from T order by ID");
    sql.ExecQuery();
    QStringList seen;
    for (; !sql.Eof(); sql.Next())
        seen << sql.FieldByName("V").toString();
    EXPECT_EQ(seen, QStringList({"row 1", "row 2", "row 3"}));
    EXPECT_FALSE(sql.Next());
    EXPECT_THROW(sql.Field(0), Exception) << "no current row after the end";
    EXPECT_EQ(sql.FieldIndex("v"), 1);
    EXPECT_EQ(sql.FieldIndex("MISSING"), -1);
    EXPECT_THROW(sql.FieldByName("MISSING"), Exception);
}

TEST_F(IBSQLTest, ErrorsCarryTheServersTextAndTheStatement)
{
    TIBSQL sql(&db, &read);
    sql.SetSQL("select * from NO_SUCH_TABLE");
    try {
        sql.ExecQuery();
        FAIL() << "the select must fail";
    } catch (const EIBError &e) {
        EXPECT_EQ(e.SQLCode(), -204);
        EXPECT_TRUE(e.Message().contains("Table unknown")) << e.what();
        EXPECT_TRUE(e.Message().contains("NO_SUCH_TABLE")) << e.what();
        EXPECT_GE(e.Message().count('\n'), 1) << "all lines of the server's explanation";
        EXPECT_EQ(e.SQLText(), "select * from NO_SUCH_TABLE");
    }
}

TEST_F(IBSQLTest, ReadTransactionSeesARowAsSoonAsTheWriteCommits)
{
    TIBSQL count(&db, &read);
    count.SetSQL("select count(*) from T");
    auto rows = [&] {
        count.ExecQuery();
        const qint64 n = count.Field(0).toInt64();
        count.Close();
        return n;
    };
    write.StartTransaction();
    Insert("ID", {1});
    EXPECT_EQ(rows(), 0);
    write.Commit();
    EXPECT_EQ(rows(), 1);
}

TEST_F(IBSQLTest, AFailedWriteLeavesTheTransactionToTheCaller)
{
    write.StartTransaction();
    Insert("ID", {1});
    EXPECT_THROW(Insert("ID", {1}), EIBError) << "duplicate key";
    EXPECT_TRUE(write.InTransaction());
    write.Rollback();
    TIBSQL sql(&db, &read);
    sql.SetSQL("select count(*) from T");
    sql.ExecQuery();
    EXPECT_EQ(sql.Field(0), Variant(0));
}

TEST_F(IBSQLTest, ReadOnlyTransactionRefusesWrites)
{
    TIBSQL sql(&db, &read);
    sql.SetSQL("insert into T (ID) values (1)");
    EXPECT_THROW(sql.ExecQuery(), EIBError);
}

TEST_F(IBSQLTest, ExecImmediateRunsDdlAndProceduralBlocksUntouched)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    sql.SetSQL("create sequence T_ID");
    sql.ExecImmediate();
    write.Commit();
    write.StartTransaction();
    sql.SetSQL("execute block as declare variable I integer = 0; begin while (:I < 3) do begin"
               " I = :I + 1; insert into T (ID) values (:I); end end");
    sql.ExecImmediate();
    write.Commit();
    TIBSQL count(&db, &read);
    count.SetSQL("select count(*), gen_id(T_ID, 1) from T");
    count.ExecQuery();
    EXPECT_EQ(count.Field(0), Variant(3));
    EXPECT_EQ(count.Field(1), Variant(1));
}

TEST_F(IBSQLTest, ReturningClauseHandsBackOneRow)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    sql.SetSQL("insert into T (ID, V) values (:ID, 'x') returning ID, V");
    sql.ParamByName("ID") = 9;
    sql.ExecQuery();
    EXPECT_FALSE(sql.Eof());
    EXPECT_EQ(sql.FieldByName("ID"), Variant(9));
    write.Rollback();
}

TEST_F(IBSQLTest, CommitClosesCursorsOfItsTransaction)
{
    write.StartTransaction();
    Insert("ID", {1});
    TIBSQL sql(&db, &write);
    sql.SetSQL("select ID from T");
    sql.ExecQuery();
    EXPECT_TRUE(sql.Open());
    write.Commit();
    EXPECT_FALSE(sql.Open());
    sql.Close();   // closing again is harmless
}

TEST_F(IBSQLTest, ClosingTheConnectionRollsBackOpenTransactions)
{
    write.StartTransaction();
    Insert("ID", {1});
    TIBSQL kept(&db, &read);
    kept.SetSQL("select ID from T");
    kept.ExecQuery();
    db.Close();
    EXPECT_FALSE(write.InTransaction());
    EXPECT_FALSE(kept.Prepared());
    db.Open();
    read.StartTransaction();
    kept.ExecQuery();
    EXPECT_TRUE(kept.Eof()) << "the uncommitted row was rolled back";
}

TEST_F(IBSQLTest, StatementNeedsARunningTransaction)
{
    TIBSQL sql(&db, &write);
    sql.SetSQL("select 1 from RDB$DATABASE");
    EXPECT_THROW(sql.ExecQuery(), Exception);
}

TEST(IBDatabase, BadTargetsRaiseTheServersErrorAndStayClosed)
{
    TestDatabase copy;
    TIBDatabase db;
    db.Params = {"user_name=SYSDBA", "lc_ctype=UTF8"};
    db.DatabaseName = copy.Dir() + "/missing.fdb";
    try {
        db.Open();
        FAIL() << "a missing database cannot open";
    } catch (const EIBError &e) {
        EXPECT_TRUE(e.Message().contains("missing.fdb")) << e.what();
    }
    EXPECT_FALSE(db.Connected());

    const QString garbage = copy.Dir() + "/garbage.fdb";
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(65536, 'x'));
    file.close();
    db.DatabaseName = garbage;
    EXPECT_THROW(db.Open(), EIBError);
    EXPECT_FALSE(db.Connected());

    db.DatabaseName = copy.Path();
    db.Params << "no_such_parameter=1";
    EXPECT_THROW(db.Open(), Exception);
    EXPECT_FALSE(db.Connected());
}

TEST(IBDatabase, ParameterBlocksFollowTheirLists)
{
    const std::string dpb = TIBDatabase::BuildDPB({"user_name=SYSDBA", "password=", "lc_ctype=UTF8"});
    const std::string expected = std::string{char(isc_dpb_version1), char(isc_dpb_user_name), 6} + "SYSDBA" +
                                 std::string{char(isc_dpb_password), 0, char(isc_dpb_lc_ctype), 4} + "UTF8";
    EXPECT_EQ(dpb, expected);
    const std::string tpb = TIBTransaction::BuildTPB({"nowait", "read_committed", "rec_version"});
    EXPECT_EQ(tpb, (std::string{char(isc_tpb_version3), char(isc_tpb_nowait), char(isc_tpb_read_committed),
                                char(isc_tpb_rec_version)}));
    EXPECT_THROW(TIBTransaction::BuildTPB({"sometimes"}), Exception);
}

} // namespace
