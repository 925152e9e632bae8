#include "Printers.h"
#include "Variant.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr qint64 Int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 Int64Min = std::numeric_limits<qint64>::min();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

Variant cur(const char *text) { return Variant::FromCurrency(Variant(text).toCurrencyScaled()); }

// What a computation gives, type and value together (3 == 3.0 would hide a wrong result type),
// or the message of the error it raises.
template <typename Call>
QString Outcome(Call call)
{
    try {
        return VarDebugText(Variant(call()));
    } catch (const Exception &e) {
        return e.Message();
    }
}
#define OUTCOME(expression) Outcome([&] { return expression; })

TEST(Variant, UnassignedAndNullAreStatesOfTheirOwn)
{
    const Variant null = Variant::Null();
    EXPECT_NE(Variant(), null);
    EXPECT_EQ(OUTCOME(null.toString()), "Variant is null");
    EXPECT_EQ(OUTCOME(Variant().toDouble()), "Variant is empty");
    EXPECT_EQ(OUTCOME(QDate()), "Null");
    // Null wins over every other operand and over a zero divisor; Unassigned counts as 0.
    for (const Variant &other : {Variant(1), Variant(), Variant("abc"), Variant(QDate(2024, 1, 1)), cur("1")}) {
        EXPECT_TRUE((null + other).isNull()) << VarDebugText(other).toStdString();
        EXPECT_TRUE((other * null).isNull()) << VarDebugText(other).toStdString();
    }
    EXPECT_TRUE((null / Variant(0)).isNull());
    EXPECT_EQ(OUTCOME(Variant() - Variant(4)), "Integer(-4)");
    // Unassigned sorts before Null, Null before every value.
    EXPECT_LT(Variant(), null);
    EXPECT_LT(null, Variant(Int64Min));
    EXPECT_FALSE(Variant(1) < null);
}

TEST(Variant, TextsAreTheShortestExactForms)
{
    const struct { Variant value; const char *text; } cases[] = {
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {-0.0, "0"},
        {Variant::FromCurrency(qint64(-10100)), "-1.01"},
        {Variant::FromCurrency(qint64(30000)), "3"},
        {Variant::FromCurrency(qint64(-1)), "-0.0001"},
        {Variant::FromCurrency(Int64Min), "-922337203685477.5808"},
        {QTime(7, 5, 9, 40), "07:05:09.040"},
        {QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), "2024-01-02 03:04:05"}};
    for (const auto &c : cases)
        EXPECT_EQ(c.value.toString(), c.text);
}

TEST(Variant, RoundingIsHalfAwayFromZeroOnTheDecimalValue)
{
    const struct { Variant value; qint64 integer, scaled; } cases[] = {
        {2.5, 3, 25000},
        {0.49999999999999994, 0, 5000},
        {cur("-2.5"), -3, -25000},
        {cur("-2.4999"), -2, -24999},
        {" -7,5 ", -8, -75000},
        {1.00005, 1, 10001},
        {-1.000049, -1, -10000},
        {0.00015, 0, 2},    // its double lies below the half: rounding a double would give 1
        {-0.00465, 0, -47},
        {1e-300, 0, 0},
        {"12345678901234.5678", 12345678901235, 123456789012345678}};
    for (const auto &c : cases) {
        EXPECT_EQ(c.value.toInt64(), c.integer) << VarDebugText(c.value).toStdString();
        EXPECT_EQ(c.value.toCurrencyScaled(), c.scaled) << VarDebugText(c.value).toStdString();
    }
}

TEST(Variant, ConversionsRefuseWhatHasNoSuchForm)
{
    EXPECT_EQ(OUTCOME(Variant("-9223372036854775808").toInt64()), "Integer(-9223372036854775808)");
    EXPECT_TRUE(OUTCOME(Variant("9223372036854775808").toInt64()).startsWith("Integer overflow"));
    EXPECT_TRUE(OUTCOME(Variant(qint64(1) << 31).toInt()).startsWith("Integer overflow"));
    EXPECT_TRUE(OUTCOME(Variant(Int64Max).toCurrencyScaled()).startsWith("Currency overflow"));
    // Rounding the last digit up is what pushes the second one past the currency range.
    EXPECT_EQ(Variant("922337203685477.58074").toCurrencyScaled(), Int64Max);
    EXPECT_TRUE(OUTCOME(Variant("922337203685477.58075").toCurrencyScaled()).startsWith("Currency overflow"));
    EXPECT_EQ(OUTCOME(Variant("12a").toInt64()), "Could not convert variant of type (String) into type (Integer)");
    EXPECT_EQ(OUTCOME(Variant(NaN).toInt64()), "Could not convert variant of type (Double) into type (Integer)");
    EXPECT_EQ(OUTCOME(Variant(".5e1").toDouble()), "Double(5)");
    for (const char *bad : {"", "1,000.5", "1.2.3", "-", "1e", "inf", "0x10", "１"})
        EXPECT_THROW(Variant(bad).toDouble(), EVariantError) << bad;
    EXPECT_TRUE(Variant("TRUE").toBool());
    EXPECT_TRUE(Variant("0,5").toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_THROW(Variant("yes").toBool(), EVariantError);
}

TEST(Variant, ArithmeticKeepsTheExactTypeAndDegradesToDoubleOnOverflow)
{
    const QString zero = "Деление на ноль.";
    const struct { QString outcome, expected; } cases[] = {
        {OUTCOME(Variant(3) * Variant(4)), "Integer(12)"},
        {OUTCOME(Variant(4) / Variant(2)), "Double(2)"},
        {OUTCOME(Variant("2,5") + Variant(1)), "Double(3.5)"},
        {OUTCOME(Variant(true) + Variant(true)), "Integer(2)"},
        {OUTCOME(-cur("2.5")), "Currency(-2.5)"},
        {OUTCOME(cur("0.1") + cur("0.2")), "Currency(0.3)"},
        {OUTCOME(cur("1.0001") * cur("0.5")), "Currency(0.5001)"},
        {OUTCOME(cur("2.5") * Variant(3)), "Currency(7.5)"},
        {OUTCOME(Variant(-2) / cur("3")), "Currency(-0.6667)"},
        {OUTCOME(cur("-0.0003") / Variant(2)), "Currency(-0.0002)"},
        {OUTCOME(cur("900000000000000") * cur("900000000000000")), "Double(8.1e+29)"},
        {OUTCOME(Variant(Int64Max) + Variant(1)), "Double(9223372036854775808)"},
        {OUTCOME(Variant(Int64Min) - Variant(1)), "Double(-9223372036854775808)"},
        {OUTCOME(-Variant(Int64Min)), "Double(9223372036854775808)"},
        {OUTCOME(Variant("x") + Variant(1)), "Could not convert variant of type (String) into type (Double)"},
        {OUTCOME(Variant(1) / Variant(0)), zero},
        {OUTCOME(cur("1") / cur("0")), zero},
        {OUTCOME(Variant(1) / Variant("0,0")), zero}};
    for (const auto &c : cases)
        EXPECT_EQ(c.outcome, c.expected);
}

TEST(Variant, DatesCountInDaysAndParseInBothForms)
{
    const QDate d(2024, 2, 28);
    const QString noDouble = "Could not convert variant of type (Date) into type (Double)";
    EXPECT_EQ(OUTCOME(Variant(2) + Variant(d)), "Date(2024-03-01)");
    EXPECT_EQ(OUTCOME(Variant(d) - Variant("59")), "Date(2023-12-31)");
    EXPECT_EQ(OUTCOME(Variant(QDate(2025, 1, 1)) - Variant(QDate(2024, 1, 1))), "Integer(366)");
    EXPECT_EQ(OUTCOME(Variant(d) + Variant()), "Date(2024-02-28)");
    EXPECT_EQ(OUTCOME(Variant(d) + Variant(d)), "Could not convert variant of type (Date) into type (Integer)");
    EXPECT_EQ(OUTCOME(Variant(d) + Variant(1.5)), "Could not convert variant of type (Double) into type (Integer)");
    EXPECT_EQ(OUTCOME(Variant(1) - Variant(d)), noDouble);
    EXPECT_EQ(OUTCOME(Variant(d) * Variant(2)), noDouble);
    EXPECT_THROW(Variant(QTime(1, 0)) + Variant(1), EVariantError);
    EXPECT_EQ(OUTCOME(Variant(d) - Variant(Int64Min)), "Date out of range");
    EXPECT_EQ(OUTCOME(Variant("15.03.2024").toDate()), "Date(2024-03-15)");
    EXPECT_EQ(OUTCOME(Variant("2024-03-15T10:20:30.005").toDateTime()), "DateTime(2024-03-15 10:20:30.005)");
    for (const char *bad : {"2024-02-30", "03/15/2024"})
        EXPECT_THROW(Variant(bad).toDate(), EVariantError) << bad;
}

TEST(Variant, ComparisonsGoByValueAcrossTypes)
{
    const QDate d(2024, 3, 15);
    EXPECT_EQ(Variant(0.0003), cur("0.0003"));   // 0.0003 * 10^4 is not 3 in doubles
    EXPECT_NE(Variant(true), Variant(2));
    EXPECT_EQ(Variant("2,5"), cur("2.5"));
    EXPECT_NE(Variant("1.0"), Variant("1"));
    EXPECT_NE(Variant(NaN), Variant(NaN));
    // 2^53 + 1 has no double of its own; the comparison must not round it away.
    const qint64 big = (qint64(1) << 53) + 1;
    EXPECT_NE(Variant(big), Variant(double(big)));
    EXPECT_LT(Variant(double(big - 1)), Variant(big));
    EXPECT_LT(Variant(Int64Max), Variant(9223372036854775808.0));
    EXPECT_LT(Variant(2), Variant("10"));
    EXPECT_LT(Variant("10"), Variant("2"));
    EXPECT_EQ(Variant(d), Variant(QDateTime(d, QTime(0, 0))));
    EXPECT_LT(Variant(d), Variant(QDateTime(d, QTime(0, 0, 1))));
    EXPECT_EQ(Variant(d), Variant("15.03.2024"));
    EXPECT_EQ(OUTCOME(Variant("abc") < Variant(1)), "Could not convert variant of type (String) into type (Double)");
    EXPECT_THROW((void)(Variant(d) < Variant(1)), EVariantError);
}

} // namespace
