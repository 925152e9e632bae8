#include "Printers.h"
#include "Variant.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using T = Variant::Type;

Variant cur(const char *text) { return Variant::FromCurrency(Variant(text).toCurrencyScaled()); }

// Checks both the type and the value, since 3 == 3.0 would hide a wrong result type.
void expectSame(const Variant &expected, const Variant &actual)
{
    EXPECT_EQ(expected.type(), actual.type()) << VarDebugText(actual).toStdString();
    EXPECT_EQ(expected, actual);
}

template <typename F>
std::string errorOf(F f)
{
    try {
        f();
    } catch (const EVariantError &e) {
        return e.what();
    }
    return "<no error>";
}

TEST(VariantStates, EmptyAndNullAreDistinctAndRaiseOnConversion)
{
    const Variant empty;
    const Variant null = Variant::Null();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(null.isNull());
    EXPECT_NE(empty, null);
    EXPECT_EQ(null, Variant::Null());
    EXPECT_EQ(empty, Variant::Unassigned());
    EXPECT_NE(null, Variant(0));
    EXPECT_NE(empty, Variant(0));
    EXPECT_EQ("Variant is null", errorOf([&] { null.toInt64(); }));
    EXPECT_EQ("Variant is null", errorOf([&] { null.toString(); }));
    EXPECT_EQ("Variant is empty", errorOf([&] { empty.toDouble(); }));
    EXPECT_EQ("Variant is empty", errorOf([&] { empty.toDate(); }));
    EXPECT_TRUE(Variant(QDate()).isNull());
    EXPECT_TRUE(Variant(QDateTime()).isNull());
}

TEST(VariantStates, DebugText)
{
    EXPECT_EQ("Integer(5)", VarDebugText(Variant(5)));
    EXPECT_EQ("String(\"abc\")", VarDebugText(Variant("abc")));
    EXPECT_EQ("Currency(2.5)", VarDebugText(cur("2.5")));
    EXPECT_EQ("Null", VarDebugText(Variant::Null()));
    EXPECT_EQ("Empty", VarDebugText(Variant()));
}

TEST(VariantToString, ShortestForms)
{
    EXPECT_EQ("0.1", Variant(0.1).toString());
    EXPECT_EQ("0.30000000000000004", Variant(0.1 + 0.2).toString());
    EXPECT_EQ("-1.5", Variant(-1.5).toString());
    EXPECT_EQ("0", Variant(-0.0).toString());
    EXPECT_EQ("-9223372036854775808", Variant(std::numeric_limits<qint64>::min()).toString());
    EXPECT_EQ("2.5", Variant::FromCurrency(qint64(25000)).toString());
    EXPECT_EQ("-1.01", Variant::FromCurrency(qint64(-10100)).toString());
    EXPECT_EQ("3", Variant::FromCurrency(qint64(30000)).toString());
    EXPECT_EQ("-0.0001", Variant::FromCurrency(qint64(-1)).toString());
    EXPECT_EQ("-922337203685477.5808", Variant::FromCurrency(std::numeric_limits<qint64>::min()).toString());
    EXPECT_EQ("True", Variant(true).toString());
    EXPECT_EQ("2024-02-29", Variant(QDate(2024, 2, 29)).toString());
    EXPECT_EQ("07:05:09", Variant(QTime(7, 5, 9)).toString());
    EXPECT_EQ("07:05:09.040", Variant(QTime(7, 5, 9, 40)).toString());
    EXPECT_EQ("2024-01-02 03:04:05", Variant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))).toString());
    EXPECT_EQ("2024-01-02 03:04:05.006", Variant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6))).toString());
}

TEST(VariantConversions, ToIntRoundsHalfAwayFromZero)
{
    EXPECT_EQ(3, Variant(2.5).toInt64());
    EXPECT_EQ(-3, Variant(-2.5).toInt64());
    EXPECT_EQ(2, Variant(2.4999).toInt64());
    EXPECT_EQ(0, Variant(0.49999999999999994).toInt64());
    EXPECT_EQ(3, cur("2.5").toInt64());
    EXPECT_EQ(-3, cur("-2.5").toInt64());
    EXPECT_EQ(-2, cur("-2.4999").toInt64());
    EXPECT_EQ(42, Variant(" 42 ").toInt64());
    EXPECT_EQ(-8, Variant("-7,5").toInt64());
    EXPECT_EQ(1, Variant(true).toInt64());
}

TEST(VariantConversions, RangeAndFormatErrors)
{
    EXPECT_EQ(std::numeric_limits<qint64>::min(), Variant("-9223372036854775808").toInt64());
    EXPECT_NE(std::string::npos, errorOf([] { Variant("9223372036854775808").toInt64(); }).find("overflow"));
    EXPECT_NE(std::string::npos, errorOf([] { Variant(1e19).toInt64(); }).find("overflow"));
    EXPECT_NE(std::string::npos, errorOf([] { Variant(qint64(1) << 31).toInt(); }).find("Integer overflow"));
    EXPECT_EQ(std::numeric_limits<int>::min(), Variant(qint64(std::numeric_limits<int>::min())).toInt());
    EXPECT_EQ("Could not convert variant of type (String) into type (Integer)", errorOf([] { Variant("12a").toInt64(); }));
    EXPECT_EQ("Could not convert variant of type (String) into type (Double)", errorOf([] { Variant("").toDouble(); }));
    EXPECT_EQ("Could not convert variant of type (Double) into type (Integer)",
              errorOf([] { Variant(std::numeric_limits<double>::quiet_NaN()).toInt64(); }));
    EXPECT_EQ("Could not convert variant of type (Date) into type (Double)",
              errorOf([] { Variant(QDate(2024, 1, 1)).toDouble(); }));
    EXPECT_EQ("Could not convert variant of type (Integer) into type (Date)", errorOf([] { Variant(1).toDate(); }));
    EXPECT_NE(std::string::npos, errorOf([] { Variant(std::numeric_limits<qint64>::max()).toCurrencyScaled(); }).find("overflow"));
    // Rounding the last digit up is what pushes this one past the currency range.
    EXPECT_EQ(std::numeric_limits<qint64>::max(), Variant("922337203685477.58074").toCurrencyScaled());
    EXPECT_NE(std::string::npos, errorOf([] { Variant("922337203685477.58075").toCurrencyScaled(); }).find("overflow"));
}

TEST(VariantConversions, StringsParseWithDotOrComma)
{
    EXPECT_DOUBLE_EQ(1.25, Variant("1.25").toDouble());
    EXPECT_DOUBLE_EQ(-1.25, Variant("-1,25").toDouble());
    EXPECT_DOUBLE_EQ(1500, Variant("1.5e3").toDouble());
    EXPECT_DOUBLE_EQ(0.5, Variant(".5").toDouble());
    for (const char *bad : {"1,000.5", "1.2.3", "abc", "-", "1e", "inf", "0x10", "１"})
        EXPECT_THROW(Variant(bad).toDouble(), EVariantError) << bad;
}

TEST(VariantConversions, ToBool)
{
    EXPECT_TRUE(Variant("TRUE").toBool());
    EXPECT_FALSE(Variant("false").toBool());
    EXPECT_TRUE(Variant("0,5").toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_TRUE(Variant(-1).toBool());
    EXPECT_FALSE(Variant(0.0).toBool());
    EXPECT_TRUE(Variant::FromCurrency(qint64(1)).toBool());
    EXPECT_THROW(Variant("yes").toBool(), EVariantError);
}

TEST(VariantCurrency, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(10001, Variant::FromCurrency(1.00005).toCurrencyScaled());
    EXPECT_EQ(-10001, Variant::FromCurrency(-1.00005).toCurrencyScaled());
    EXPECT_EQ(10000, Variant::FromCurrency(1.000049).toCurrencyScaled());
    EXPECT_EQ(1, Variant::FromCurrency(0.00005).toCurrencyScaled());
    EXPECT_EQ(2, Variant::FromCurrency(0.00015).toCurrencyScaled());    // its double is below the half
    EXPECT_EQ(-47, Variant::FromCurrency(-0.00465).toCurrencyScaled());
    EXPECT_EQ(0, Variant::FromCurrency(1e-300).toCurrencyScaled());
    EXPECT_EQ(-10001, Variant("-1,00005").toCurrencyScaled());
    EXPECT_EQ(123456789012345678, Variant("12345678901234.5678").toCurrencyScaled());
    EXPECT_EQ(10000, Variant(true).toCurrencyScaled());
}

TEST(VariantCurrency, ArithmeticIsExact)
{
    expectSame(cur("0.3"), cur("0.1") + cur("0.2"));
    expectSame(cur("-0.1"), cur("0.1") - cur("0.2"));
    expectSame(cur("0.5001"), cur("1.0002") * cur("0.5"));
    expectSame(cur("0.5001"), cur("1.0001") * cur("0.5"));      // 0.50005 rounds away from zero
    expectSame(cur("-0.5001"), cur("1.0001") * cur("-0.5"));
    expectSame(cur("0.0001"), cur("0.0001") * cur("0.5"));      // 0.00005 rounds away
    expectSame(cur("-0.0001"), cur("-0.0001") * cur("0.5"));
    expectSame(cur("7.5"), cur("2.5") * Variant(3));
    expectSame(cur("0.3333"), cur("1") / cur("3"));
    expectSame(cur("-0.6667"), Variant(-2) / cur("3"));
    expectSame(cur("0.0002"), cur("0.0003") / Variant(2));
    expectSame(cur("-0.0002"), cur("-0.0003") / Variant(2));
    // 900 trillion squared does not fit: the result goes to Double rather than wrapping.
    expectSame(Variant(8.1e29), cur("900000000000000") * cur("900000000000000"));
}

TEST(VariantArithmetic, ResultTypes)
{
    expectSame(Variant(7), Variant(3) + Variant(4));
    expectSame(Variant(12), Variant(3) * Variant(4));
    expectSame(Variant(1.5), Variant(3) / Variant(2));
    expectSame(Variant(2.0), Variant(4) / Variant(2));
    expectSame(Variant(3.5), cur("2.5") + Variant(1.0));
    expectSame(Variant(0.5), Variant(1.5) - Variant(1));
    expectSame(Variant(5), Variant("2") + Variant("3"));
    expectSame(Variant(3.5), Variant("2,5") + Variant(1));
    expectSame(Variant(2), Variant(true) + Variant(true));
    expectSame(Variant(-1), -Variant(true));
    expectSame(Variant(0), Variant() + Variant());
    expectSame(Variant(-4), Variant() - Variant(4));
    expectSame(cur("-2.5"), -cur("2.5"));
    EXPECT_EQ("Could not convert variant of type (String) into type (Double)",
              errorOf([] { return Variant("x") + Variant(1); }));
}

TEST(VariantArithmetic, IntegerOverflowBecomesDouble)
{
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    expectSame(Variant(double(max) + 1), Variant(max) + Variant(1));
    expectSame(Variant(double(min) - 1), Variant(min) - Variant(1));
    expectSame(Variant(double(max) * 2), Variant(max) * Variant(2));
    expectSame(Variant(-double(min)), -Variant(min));
    expectSame(Variant(-double(min) / 10000), -Variant::FromCurrency(min));
}

TEST(VariantArithmetic, NullPropagates)
{
    const Variant null = Variant::Null();
    for (const Variant &other : {Variant(1), Variant(), Variant("abc"), Variant(QDate(2024, 1, 1)), cur("1")}) {
        EXPECT_TRUE((null + other).isNull()) << VarDebugText(other).toStdString();
        EXPECT_TRUE((other - null).isNull()) << VarDebugText(other).toStdString();
        EXPECT_TRUE((other * null).isNull()) << VarDebugText(other).toStdString();
        EXPECT_TRUE((null / other).isNull()) << VarDebugText(other).toStdString();
    }
    EXPECT_TRUE((-null).isNull());
    EXPECT_TRUE((null / Variant(0)).isNull());
}

TEST(VariantArithmetic, DivisionByZero)
{
    EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);
    EXPECT_THROW(Variant(1.5) / Variant(-0.0), EZeroDivide);
    EXPECT_THROW(cur("1") / cur("0"), EZeroDivide);
    EXPECT_THROW(cur("1") / Variant(0), EZeroDivide);
    EXPECT_THROW(Variant(1) / Variant(), EZeroDivide);
    EXPECT_THROW(Variant(1) / Variant("0,0"), EZeroDivide);
    EXPECT_THROW(Variant(1) / Variant(false), EZeroDivide);
}

TEST(VariantArithmetic, Dates)
{
    const QDate d(2024, 2, 28);
    expectSame(Variant(QDate(2024, 3, 1)), Variant(d) + Variant(2));
    expectSame(Variant(QDate(2024, 3, 1)), Variant(2) + Variant(d));
    expectSame(Variant(QDate(2023, 12, 31)), Variant(d) - Variant("59"));
    expectSame(Variant(366), Variant(QDate(2025, 1, 1)) - Variant(QDate(2024, 1, 1)));
    expectSame(Variant(d), Variant(d) + Variant());
    EXPECT_THROW(Variant(d) + Variant(1.5), EVariantError);
    EXPECT_THROW(Variant(d) + Variant(d), EVariantError);
    EXPECT_THROW(Variant(1) - Variant(d), EVariantError);
    EXPECT_THROW(Variant(d) * Variant(2), EVariantError);
    EXPECT_THROW(Variant(QTime(1, 0)) + Variant(1), EVariantError);
    EXPECT_THROW(Variant(QDateTime(d, QTime(1, 0))) + Variant(1), EVariantError);
    EXPECT_THROW(-Variant(d), EVariantError);
    EXPECT_THROW(Variant(d) + Variant(std::numeric_limits<qint64>::max()), EVariantError);
    EXPECT_THROW(Variant(d) - Variant(std::numeric_limits<qint64>::min()), EVariantError);
}

TEST(VariantDates, Conversions)
{
    const QDate d(2024, 3, 15);
    EXPECT_EQ(d, Variant("2024-03-15").toDate());
    EXPECT_EQ(d, Variant("15.03.2024").toDate());
    EXPECT_EQ(d, Variant(QDateTime(d, QTime(23, 59))).toDate());
    EXPECT_EQ(QDateTime(d, QTime(0, 0)), Variant(d).toDateTime());
    EXPECT_EQ(QDateTime(d, QTime(10, 20, 30)), Variant("15.03.2024 10:20:30").toDateTime());
    EXPECT_EQ(QDateTime(d, QTime(10, 20, 30, 5)), Variant("2024-03-15T10:20:30.005").toDateTime());
    EXPECT_EQ(QTime(10, 20), Variant("10:20").toTime());
    EXPECT_THROW(Variant("2024-02-30").toDate(), EVariantError);
    EXPECT_THROW(Variant("03/15/2024").toDate(), EVariantError);
    EXPECT_THROW(Variant(d).toTime(), EVariantError);
    EXPECT_THROW(Variant(QTime(1, 0)).toDateTime(), EVariantError);
}

TEST(VariantCompare, NumbersAcrossTypes)
{
    EXPECT_EQ(Variant(1), Variant(1.0));
    EXPECT_EQ(Variant(1), cur("1"));
    EXPECT_EQ(Variant(0.1), cur("0.1"));
    EXPECT_EQ(Variant(0.0003), cur("0.0003"));   // 0.0003 * 10^4 is not 3 in doubles
    EXPECT_EQ(Variant(true), Variant(1));
    EXPECT_EQ(Variant(true), Variant(1.0));
    EXPECT_NE(Variant(true), Variant(2));
    EXPECT_EQ(Variant(false), Variant("false"));
    EXPECT_EQ(Variant(true), Variant("1"));
    EXPECT_EQ(Variant("2,5"), cur("2.5"));
    EXPECT_NE(Variant("abc"), Variant(1));
    EXPECT_NE(Variant("1.0"), Variant("1"));
    // 2^53 + 1 has no double of its own; the comparison must not round it away.
    const qint64 big = (qint64(1) << 53) + 1;
    EXPECT_NE(Variant(big), Variant(double(big)));
    EXPECT_LT(Variant(double(big - 1)), Variant(big));
    EXPECT_LT(Variant(std::numeric_limits<qint64>::max()), Variant(9223372036854775808.0));
    EXPECT_LT(Variant(-1.5), Variant(-1));
    EXPECT_LT(cur("0.9999"), Variant(1));
    EXPECT_LT(Variant(2), Variant("10"));
    EXPECT_LT(Variant("10"), Variant("2"));
    EXPECT_NE(Variant(std::numeric_limits<double>::quiet_NaN()), Variant(std::numeric_limits<double>::quiet_NaN()));
}

TEST(VariantCompare, OrderingOfStatesAndErrors)
{
    EXPECT_LT(Variant(), Variant::Null());
    EXPECT_LT(Variant::Null(), Variant(std::numeric_limits<qint64>::min()));
    EXPECT_LT(Variant::Null(), Variant(""));
    EXPECT_FALSE(Variant::Null() < Variant::Null());
    EXPECT_FALSE(Variant(1) < Variant::Null());
    EXPECT_EQ("Could not convert variant of type (String) into type (Double)",
              errorOf([] { return Variant("abc") < Variant(1); }));
    EXPECT_THROW((void)(Variant(QDate(2024, 1, 1)) < Variant(1)), EVariantError);
    EXPECT_THROW((void)(Variant(QTime(1, 0)) < Variant(QDate(2024, 1, 1))), EVariantError);
}

TEST(VariantCompare, Dates)
{
    const QDate d(2024, 3, 15);
    EXPECT_EQ(Variant(d), Variant(QDateTime(d, QTime(0, 0))));
    EXPECT_LT(Variant(d), Variant(QDateTime(d, QTime(0, 0, 1))));
    EXPECT_EQ(Variant(d), Variant("15.03.2024"));
    EXPECT_LT(Variant("2024-03-14"), Variant(d));
    EXPECT_NE(Variant(d), Variant("not a date"));
    EXPECT_NE(Variant(d), Variant(QTime(0, 0)));
    EXPECT_LT(Variant(QTime(9, 0)), Variant(QTime(10, 0)));
}

} // namespace
