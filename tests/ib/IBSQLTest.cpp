#include "DBFixture.h"
#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using Values = QList<std::pair<QString, Variant>>;

// An embedded connection to a fresh database copy with a table of every column type, and a read
// and a write transaction set up the way the system uses them.
class IBSQLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.DatabaseName = copy.Path();
        db.Params = {"user_name=SYSDBA", "password=masterkey", "lc_ctype=UTF8"};
        db.Open();
        read.Params = {"read", "read_committed", "rec_version"};
        write.Params = {"nowait", "read_committed", "rec_version"};
        write.StartTransaction();
        TIBSQL ddl(&db, &write);
        ddl.SetSQL("create table T (ID integer not null primary key, S smallint, B bigint, N2 numeric(18,2),"
                   " N3 numeric(9,3), N4 numeric(18,4), N6 numeric(18,6), F double precision, FL float,"
                   " V varchar(50) character set UTF8 collate UNICODE_CI, C char(10) character set UTF8,"
                   " D date, TM time, TS timestamp, BO boolean, BL blob sub_type text character set UTF8)");
        ddl.ExecImmediate();
        write.Commit();
        read.StartTransaction();
    }

    // Inserts one row in the write transaction, each value bound to the parameter of its column.
    void Insert(const Values &values)
    {
        QStringList columns;
        for (const auto &value : values)
            columns << value.first;
        TIBSQL sql(&db, &write);
        sql.SetSQL(QString("insert into T (%1) values (:%2)").arg(columns.join(", "), columns.join(", :")));
        for (const auto &[column, value] : values)
            sql.ParamByName(column) = value;
        sql.ExecQuery();
    }

    // The first column of a select's first row in the read transaction.
    Variant Scalar(const QString &text)
    {
        TIBSQL sql(&db, &read);
        sql.SetSQL(text);
        sql.ExecQuery();
        return sql.Field(0);
    }

    Variant ReadBack(const QString &column, int id)
    {
        return Scalar(QString("select %1 from T where ID = %2").arg(column).arg(id));
    }

    TestDatabase copy;
    TIBDatabase db;
    TIBTransaction read{&db};
    TIBTransaction write{&db};
};

TEST_F(IBSQLTest, ValuesOfEveryColumnTypeRoundTripExactlyOrConvertToTheColumn)
{
    const QDate day(2026, 2, 28);
    const QTime time(13, 45, 7, 250);
    const Values values = {
        {"S", 12}, {"B", qint64(9000000000LL)}, {"N2", Variant::FromCurrency(qint64(-12345600))},
        {"N3", Variant::FromCurrency(qint64(15000))}, {"N4", Variant::FromCurrency(qint64(31415))},
        {"N6", 2.123456}, {"F", 0.1}, {"FL", 2.5}, {"V", QString("Ёж").repeated(25)}, {"C", "абв"}, {"D", day},
        {"TM", time}, {"TS", QDateTime(day, time)}, {"BO", true}, {"BL", QString("Текст ").repeated(20000)}};
    Values nulls = {{"ID", 2}};
    for (const auto &value : values)
        nulls << std::make_pair(value.first, Variant::Null());
    write.StartTransaction();
    Insert(Values{{"ID", 1}} + values);
    Insert(nulls);
    // Text into numbers and dates, doubles and currency into fewer decimals rounded half away from zero.
    Insert({{"ID", "3"}, {"N2", -1.005}, {"N3", Variant::FromCurrency(qint64(-12345))}, {"N4", "3,25"},
            {"D", "2024-03-01"}, {"V", 42}});
    write.Commit();
    for (const auto &[column, value] : values) {
        // The type too: a numeric read through a double would be equal but not exact.
        const Variant back = ReadBack(column, 1);
        EXPECT_EQ(back.type(), value.type()) << column.toStdString();
        EXPECT_EQ(back, value) << column.toStdString();
        EXPECT_TRUE(ReadBack(column, 2).isNull()) << column.toStdString();
    }
    EXPECT_EQ(ReadBack("N2", 3).toCurrencyScaled(), -10100);
    EXPECT_EQ(ReadBack("N3", 3).toCurrencyScaled(), -12350);
    EXPECT_EQ(ReadBack("N4", 3).toCurrencyScaled(), 32500);
    EXPECT_EQ(ReadBack("D", 3).toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(ReadBack("V", 3).toString(), "42");
    EXPECT_EQ(Scalar("select upper('ёж') from RDB$DATABASE"), Variant("ЁЖ")) << "the statement's text goes as UTF-8";
}

TEST_F(IBSQLTest, AStatementIsPreparedOnceForValuesOfAnyLengthAndNull)
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
    // The first marker has no type of its own: it takes whatever comes, Null included. Setting
    // the same text again keeps the prepared statement.
    TIBSQL count(&db, &read);
    QList<Variant> counts;
    for (const Variant &p : {Variant("b"), Variant::Null(), Variant(QString("Привет").repeated(8)), Variant("zz")}) {
        count.SetSQL("select count(*) from T where :P is null or V = :P");
        count.ParamByName("P") = p;
        count.ExecQuery();
        counts << count.Field(0);
    }
    EXPECT_EQ(counts, QList<Variant>({1, 5, 1, 0}));
    EXPECT_EQ(insert.PrepareCount() + count.PrepareCount(), 2);
    const qint64 handles = TIBSQL::HandleCount();
    count.SetSQL("select count(*) from T where ID < 3");
    count.ExecQuery();
    EXPECT_EQ(count.Field(0), Variant(3));
    EXPECT_EQ(TIBSQL::HandleCount(), handles) << "a new text replaces the statement on the server";
}

TEST_F(IBSQLTest, ASingletonSelectGivesItsRowAndRefusesNoneOrTwo)
{
    write.StartTransaction();
    Insert({{"ID", 1}});
    Insert({{"ID", 2}, {"V", "два"}});
    write.Commit();
    TIBSQL sql(&db, &read);
    sql.SetSQL("select V from T where ID between :FIRST and :LAST");
    const struct { int first, last; const char *outcome; } cases[] = {
        {3, 3, "attempt to fetch past the last record in a record stream"},
        {1, 2, "multiple rows in singleton select"},
        {2, 2, "два"}};
    for (const auto &c : cases) {
        sql.ParamByName("FIRST") = c.first;
        sql.ParamByName("LAST") = c.last;
        const QString error = ErrorOf([&] { sql.ExecSingleton(); });
        EXPECT_EQ(error == "no error" ? sql.Field(0).toString() : error, c.outcome);
        EXPECT_FALSE(sql.Open()) << "no cursor outlives the call";
    }
}

TEST_F(IBSQLTest, ParametersAreBoundByNameAndOneNobodySetIsRefusedNamingIt)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    const QString insert = "insert into T (ID, S, B) values (:ID, :S, :s)";
    sql.SetSQL(insert);
    EXPECT_THROW(sql.ParamByName("B"), Exception);
    sql.ParamByName("ID") = 1;
    sql.ParamByName("s") = 7;
    sql.ExecQuery();
    // The same text again: the earlier values are gone, the prepared statement is not.
    sql.SetSQL(insert);
    sql.ParamByName("ID") = 2;
    EXPECT_TRUE(ErrorOf([&] { sql.ExecQuery(); }).contains("\"S\""));
    // A new text: nothing carries over, and Unassigned is not taken for Null.
    sql.SetSQL("insert into T (ID, V) values (:ID, :V)");
    sql.ParamByName("ID") = 3;
    sql.ParamByName("V") = Variant();
    EXPECT_TRUE(ErrorOf([&] { sql.ExecQuery(); }).contains("\"V\""));
    sql.ParamByName("V") = Variant::Null();
    sql.ExecQuery();
    write.Commit();
    EXPECT_EQ(ReadBack("S", 1), Variant(7));
    EXPECT_EQ(ReadBack("B", 1), Variant(7));
    EXPECT_TRUE(ReadBack("V", 3).isNull());
    EXPECT_EQ(Scalar("select count(*) from T"), Variant(2)) << "the refused row was never written";
}

TEST_F(IBSQLTest, RefusedStatementsCarryTheServersTextAndTheStatement)
{
    TIBSQL sql(&db, &read);
    sql.AddLine("select * -- :NONE");
    sql.AddLine("from NO_SUCH_TABLE");
    try {
        sql.ExecQuery();
        FAIL() << "the select must fail";
    } catch (const EIBError &e) {
        EXPECT_EQ(e.SQLCode(), -204);
        EXPECT_TRUE(e.Message().contains("Table unknown\nNO_SUCH_TABLE")) << e.what();
        EXPECT_EQ(e.SQLText(), "select * -- :NONE\nfrom NO_SUCH_TABLE");
    }
    sql.SetSQL("insert into T (ID) values (1)");
    EXPECT_THROW(sql.ExecQuery(), EIBError) << "the read transaction is read-only";
    TIBSQL idle(&db, &write);
    idle.SetSQL("select 1 from RDB$DATABASE");
    EXPECT_EQ(ErrorOf([&] { idle.ExecQuery(); }), "Транзакция не запущена.");
    EXPECT_THROW(TIBTransaction::BuildTPB({"sometimes"}), Exception);
}

TEST_F(IBSQLTest, ReadSeesACommitAtOnceAndAFailedWriteLeavesTheTransactionOpen)
{
    write.StartTransaction();
    Insert({{"ID", 1}});
    EXPECT_EQ(Scalar("select count(*) from T"), Variant(0));
    EXPECT_THROW(Insert({{"ID", 1}}), EIBError) << "duplicate key";
    EXPECT_TRUE(write.InTransaction());
    write.Commit();
    EXPECT_EQ(Scalar("select count(*) from T"), Variant(1)) << "the read transaction started before the commit";
}

TEST_F(IBSQLTest, ACursorWalksToItsEndAndEndsWithItsTransactionOrConnection)
{
    write.StartTransaction();
    TIBSQL sql(&db, &write);
    // Sent as it stands: the block's own :I is no parameter.
    sql.SetSQL("execute block as declare I integer = 0; begin"
               " while (I < 3) do begin I = :I + 1; insert into T (ID) values (:I); end end");
    sql.ExecImmediate();
    sql.SetSQL("select ID from T order by ID");
    QList<Variant> seen;
    for (sql.ExecQuery(); !sql.Eof(); sql.Next())
        seen << sql.FieldByName("id");
    EXPECT_EQ(seen, QList<Variant>({1, 2, 3}));
    EXPECT_FALSE(sql.Next());
    EXPECT_THROW(sql.Field(0), Exception) << "no current row after the end";
    sql.ExecQuery();
    EXPECT_TRUE(sql.Open());
    write.Commit();
    EXPECT_FALSE(sql.Open()) << "a commit ends the cursors of its transaction";
    write.StartTransaction();
    Insert({{"ID", 4}});
    TIBSQL kept(&db, &read);
    kept.SetSQL("select ID from T where ID = 4");
    kept.ExecQuery();
    db.Close();
    EXPECT_FALSE(write.InTransaction());
    EXPECT_FALSE(kept.Prepared());
    db.Params << "no_such_parameter=1";
    EXPECT_THROW(db.Open(), Exception);
    EXPECT_FALSE(db.Connected());
    db.Params.removeLast();
    db.Open();
    read.StartTransaction();
    kept.ExecQuery();
    EXPECT_TRUE(kept.Eof()) << "the uncommitted row was rolled back";
}

} // namespace
