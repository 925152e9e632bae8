#include "IBSQL.h"
#include "Main.h"
#include "Rate.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int Rub = 1;   // the template's base currency

class RateTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        usd = db.GetGenId("CURR_ID");
        Write("insert into CURR (CURR_ID, CURR_CODE, CURR_BASE) values (:A, 'USD', 0)", usd);
        AddRate(usd, QDate(2024, 3, 1), 905000);
        AddRate(usd, QDate(2024, 3, 10), 921234);
    }

    // Runs a statement with parameters :A, :B, :C in its own committed write transaction.
    void Write(const QString &text, const Variant &a, const Variant &b = {}, const Variant &c = {})
    {
        db.StartTransaction();
        auto sql = db.CreateIBSQLC();
        sql->SetSQL(text);
        for (const auto &[name, value] : {std::pair{"A", a}, {"B", b}, {"C", c}})
            if (sql->HasParam(name))
                sql->ParamByName(name) = value;
        sql->ExecQuery();
        db.CommitTransaction();
    }
    void AddRate(int curr, const QDate &date, qint64 scaled)
    {
        Write("insert into CURRATE (CURRATE_ID, CURR_ID, CURRATE_DATE, CURRATE_VALUE) values (next value for "
              "CURRATE_ID, :A, :B, :C)",
              curr, date, Variant::FromCurrency(scaled));
    }
    void SetBase(int curr) { Write("update CURR set CURR_BASE = iif(CURR_ID = :A, 1, 0)", curr); }

    static QString RateError(TCurrRateTable &table, const Variant &curr, const Variant &date)
    {
        try {
            table.GetRate(curr, date);
        } catch (const ExceptionPos &e) {
            return e.Message();
        }
        return QString();
    }

    int usd = 0;
};

TEST_F(RateTest, LatestRateOnOrBeforeTheDate)
{
    TCurrRateTable table;
    const Variant between = table.GetRate(usd, QDate(2024, 3, 5));
    EXPECT_EQ(between.type(), Variant::Type::Currency);
    EXPECT_EQ(between.toCurrencyScaled(), 905000);
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 3, 10)).toCurrencyScaled(), 921234);
    EXPECT_EQ(table.GetRate(usd, QDateTime(QDate(2024, 3, 10), QTime(23, 59))).toCurrencyScaled(), 921234);
    EXPECT_EQ(table.GetRate(usd, QDate(2025, 1, 1)).toCurrencyScaled(), 921234);
}

TEST_F(RateTest, NoRateBeforeTheFirstDateIsReportedAndAskedAgain)
{
    TCurrRateTable table;
    const QString expected = QString("Курс не найден для валюты с кодом \"%1\" на дату \"29.02.2024\".").arg(usd);
    EXPECT_EQ(RateError(table, usd, QDate(2024, 2, 29)), expected);
    AddRate(usd, QDate(2024, 2, 1), 880000);
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 2, 29)).toCurrencyScaled(), 880000);
}

TEST_F(RateTest, BaseCurrencyAndNullArgumentsNeedNoRates)
{
    AddRate(Rub, QDate(2024, 3, 1), 20000);   // a stray rate of the base currency must not count
    TCurrRateTable table;
    const qint64 before = TIBSQL::ExecutedCount();
    EXPECT_TRUE(table.GetRate(Variant::Null(), QDate(2024, 3, 5)).isNull());
    EXPECT_TRUE(table.GetRate(usd, Variant::Null()).isNull());
    EXPECT_EQ(TIBSQL::ExecutedCount(), before) << "Null arguments ask nothing";
    EXPECT_EQ(table.GetRate(Rub, QDate(2024, 3, 5)), Variant(1));
    EXPECT_EQ(table.GetRate(Rub, QDate(1900, 1, 1)), Variant(1));
    EXPECT_EQ(TIBSQL::ExecutedCount() - before, 1) << "only the base currency is read, once";
}

TEST_F(RateTest, SameCurrencyAndDateReadOnceAndShownOnce)
{
    struct Hooks : TUserHooks
    {
        QStringList shown;
        int MsgDlg(const QString &msg, TMsgDlgType, TMsgDlgButtons, QObject *) override
        {
            shown << msg;
            return mrOk;
        }
    } hooks;
    SetUserHooks(&hooks);
    ShowDebMsg = true;
    TCurrRateTable table;
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 3, 5)).toCurrencyScaled(), 905000);
    Write("update CURRATE set CURRATE_VALUE = 70 where CURR_ID = :A", usd);
    EXPECT_EQ(table.GetRate(usd, "2024-03-05").toCurrencyScaled(), 905000);
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 3, 6)).toCurrencyScaled(), 700000);
    ShowDebMsg = false;
    SetUserHooks(nullptr);
    const QString shown = "Запрошен курс для валюты с кодом \"%1\" на дату \"%2\". Он равен \"%3\"";
    EXPECT_EQ(hooks.shown, QStringList({shown.arg(usd).arg("05.03.2024", "90.5"), shown.arg(usd).arg("06.03.2024", "70")}));
    EXPECT_EQ(TCurrRateTable().GetRate(usd, QDate(2024, 3, 5)).toCurrencyScaled(), 700000) << "a new table reads afresh";
}

TEST_F(RateTest, BaseCurrencyIsLookedForUntilFoundThenKeptForTheTable)
{
    SetBase(0);
    TCurrRateTable table;
    const QString noBase = "Невозможно получить курс, т.к. не указана базовая валюта.";
    EXPECT_EQ(RateError(table, usd, QDate(2024, 3, 5)), noBase);
    EXPECT_EQ(RateError(table, usd, QDate(2024, 3, 5)), noBase);
    SetBase(Rub);
    EXPECT_EQ(table.GetRate(Rub, QDate(2024, 3, 5)), Variant(1));
    SetBase(usd);
    EXPECT_EQ(table.GetRate(Rub, QDate(2024, 3, 5)), Variant(1));
    EXPECT_EQ(TCurrRateTable().GetRate(usd, QDate(2024, 3, 5)), Variant(1));
}

} // namespace
