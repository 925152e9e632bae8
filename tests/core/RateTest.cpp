#include "IBSQL.h"
#include "Rate.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

constexpr int Rub = 1;   // the template's base currency

class RateTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        usd = db.GetGenId("CURR_ID");
        repo.Exec("insert into CURR (CURR_ID, CURR_CODE, CURR_BASE) values (:C, 'USD', 0)", {{"C", usd}});
        AddRate(usd, QDate(2024, 3, 1), 905000);
        AddRate(usd, QDate(2024, 3, 10), 921234);
        AddRate(Rub, QDate(2024, 3, 1), 20000);   // a stray rate of the base currency must not count
    }
    void AddRate(int curr, const QDate &date, qint64 scaled)
    {
        repo.Exec("insert into CURRATE (CURRATE_ID, CURR_ID, CURRATE_DATE, CURRATE_VALUE) "
                  "values (next value for CURRATE_ID, :C, :D, :V)",
                  {{"C", curr}, {"D", date}, {"V", Variant::FromCurrency(scaled)}});
    }

    int usd = 0;
};

// The latest rate on or before the date, read once per currency and date for the table; a miss
// is told and asked again; Null arguments ask nothing.
TEST_F(RateTest, LatestRateOnOrBeforeTheDateReadOnceForTheTableAndTheBaseCurrencyIsOne)
{
    TCurrRateTable table;
    const qint64 before = TIBSQL::ExecutedCount();
    EXPECT_TRUE(table.GetRate(Variant::Null(), QDate(2024, 3, 5)).isNull() && table.GetRate(usd, Variant::Null()).isNull());
    EXPECT_EQ(TIBSQL::ExecutedCount(), before);
    EXPECT_EQ(table.GetRate(usd, QDateTime(QDate(2024, 3, 10), QTime(23, 59))).toCurrencyScaled(), 921234);
    const Variant between = table.GetRate(usd, QDate(2024, 3, 5));
    EXPECT_EQ(between.type(), Variant::Type::Currency);
    EXPECT_EQ(between.toCurrencyScaled(), 905000);
    repo.Exec("update CURRATE set CURRATE_VALUE = 70 where CURR_ID = :C", {{"C", usd}});
    EXPECT_EQ(table.GetRate(usd, "2024-03-05").toCurrencyScaled(), 905000);
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 3, 6)).toCurrencyScaled(), 700000);
    EXPECT_EQ(ErrorOf([&] { table.GetRate(usd, QDate(2024, 2, 29)); }),
              QString("Курс не найден для валюты с кодом \"%1\" на дату \"29.02.2024\".").arg(usd));
    AddRate(usd, QDate(2024, 2, 1), 880000);
    EXPECT_EQ(table.GetRate(usd, QDate(2024, 2, 29)).toCurrencyScaled(), 880000);

    // The base currency's rate is 1 without reading rates; the base is looked for until found,
    // then kept for the table.
    repo.Exec("update CURR set CURR_BASE = 0");
    TCurrRateTable another;
    const QString noBase = "Невозможно получить курс, т.к. не указана базовая валюта.";
    EXPECT_EQ(ErrorOf([&] { another.GetRate(usd, QDate(2024, 3, 5)); }), noBase);
    EXPECT_EQ(ErrorOf([&] { another.GetRate(usd, QDate(2024, 3, 5)); }), noBase);
    repo.Exec("update CURR set CURR_BASE = 1 where CURR_ID = :C", {{"C", Rub}});
    const qint64 baseRead = TIBSQL::ExecutedCount();
    EXPECT_EQ(another.GetRate(Rub, QDate(2024, 3, 5)), Variant(1));
    EXPECT_EQ(TIBSQL::ExecutedCount() - baseRead, 1) << "only the base currency is read, once";
    repo.Exec("update CURR set CURR_BASE = iif(CURR_ID = :C, 1, 0)", {{"C", usd}});
    EXPECT_EQ(another.GetRate(Rub, QDate(2024, 3, 5)), Variant(1));
    EXPECT_EQ(TCurrRateTable().GetRate(usd, QDate(2024, 3, 5)), Variant(1)) << "a new table reads afresh";
}

} // namespace
