#include "Main.h"

#include "DBFixture.h"
#include "QtWarnings.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TFldType;
using enum TCtrlType;

using CodeTableDB = korvenix_test::DBFixture;

// Ids in the template are 1..n in member order, so the id of every member is its ordinal;
// every code name, "Integ" and "CheckBox" included, finds its row. Codes without a row, and
// values outside the enumerations that stand for a member without one, raise.
TEST_F(CodeTableDB, EveryMemberFindsItsRowAndOthersRaise)
{
    for (int i = 1; i <= int(ftObjTempl); ++i) {
        EXPECT_EQ(db.FldTypeToCode(TFldType(i)), Variant(i));
        EXPECT_EQ(db.CodeToFldType(Variant(i)), TFldType(i));
    }
    for (int i = 1; i <= int(TFKRule::fkSetNull); ++i)
        EXPECT_EQ(db.CodeToFKRule(db.FKRuleToCode(TFKRule(i))), TFKRule(i));
    for (int i = 1; i <= int(TFormulaFunc::ffParId); ++i)
        EXPECT_EQ(db.CodeToFormulaFunc(db.FormulaFuncToCode(TFormulaFunc(i))), TFormulaFunc(i));
    for (int i = 1; i <= int(TFilterTreeType::fttExist); ++i)
        EXPECT_EQ(db.CodeToFilterTreeType(db.FilterTreeTypeToCode(TFilterTreeType(i))), TFilterTreeType(i));
    for (int i = 1; i <= int(ctObjTempl); ++i)
        EXPECT_EQ(db.CodeToCtrlTreeType(db.CtrlTreeTypeToCode(TCtrlType(i))), TCtrlType(i));
    EXPECT_EQ(db.CodeToFldType(Variant("4")), ftInt) << "a code compares as a number";
    const std::pair<std::function<void()>, QString> misses[] = {
        {[&] { db.CodeToFldType(99); }, "CodeToFldType: Тип поля с кодом \"99\" не найден."},
        {[&] { db.FilterTreeTypeToCode(TFilterTreeType(11)); }, "FilterTreeTypeToCode: Тип узла фильтра \"11\" не найден."},
    };
    for (const auto &[call, message] : misses)
        EXPECT_EQ(ErrorOf(call), message);
}

// A member's suffix is not its code name: a row "Int" stops its table, and every conversion
// tries again until the row is gone; each table fails on its own. An unknown filter node type
// is skipped instead.
TEST_F(CodeTableDB, UnknownNamesStopTheirTableUntilFixedButUnknownFilterNodeTypesAreSkipped)
{
    repo.Exec("insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (100, 'Int', 'Целое')");
    repo.Exec("insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (100, 'NotIn', 'Не входит')");
    EXPECT_EQ(ErrorOf([&] { db.CodeToFldType(4); }), "Тип поля с именем \"Int\" не известен системе.");
    EXPECT_EQ(db.FilterTreeTypeToCode(TFilterTreeType::fttExist), Variant(10));
    EXPECT_EQ(db.CtrlTreeTypeToCapt(ctBoolean), "Флажок");
    repo.Exec("delete from FLDTYPE where FLDTYPE_ID = 100");
    EXPECT_EQ(db.CodeToFldType(4), ftInt);
}

// Numbers are written and read on decimal digits, half away from zero, with the system's
// decimal separator; a text that is no number of the type raises.
TEST(FldTypeText, NumbersRoundHalfAwayFromZeroOnDecimalDigitsWithTheSystemSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    TDB db;
    // 1.005 and 2.675 lie just below the half as doubles; written as decimals they round up.
    // Rounded once, straight to two decimals: 1.00449 is not 1.0045 first and then 1.01.
    const std::tuple<Variant, TFldType, QString> written[] = {
        {1.005, ftNum182, "1.01"},    {-1.005, ftNum182, "-1.01"},  {2.675, ftNum182, "2.68"}, {1.00449, ftNum182, "1"},
        {1.23456, ftNum183, "1.235"}, {0.00005, ftNum184, "0.0001"}, {-0.004, ftNum182, "0"},  {2.5, ftNum184, "2.5"},
        {1e14, ftNum182, "100000000000000"}, {Variant::FromCurrency(qint64(123455)), ftNum183, "12.346"},
        {-42, ftInt, "-42"}};
    for (const auto &[value, type, text] : written)
        EXPECT_EQ(db.VarToStrByFldType(value, type), text);
    EXPECT_THROW(db.VarToStrByFldType(Variant(1e30), ftNum182), EVariantError);
    EXPECT_EQ(db.StrToVarByFldType("-1.005", ftNum182), Variant(-1.01));
    EXPECT_EQ(db.StrToVarByFldType(" 1.00005 ", ftNum184), Variant(1.0001));
    EXPECT_EQ(db.StrToVarByFldType(" -17 ", ftInt), Variant(-17));
    // With a decimal point a comma can only be a thousands separator, which is not accepted.
    for (const char *bad : {"1,006", "1 000", "-", ".", "1.2.3"})
        EXPECT_THROW(db.StrToVarByFldType(bad, ftNum182), EVariantError) << bad;
    for (const char *bad : {"1.5", "12a", "99999999999"})
        EXPECT_THROW(db.StrToVarByFldType(bad, ftInt), EVariantError) << bad;
    QLocale::setDefault(QLocale::Russian);
    EXPECT_EQ(db.VarToStrByFldType(Variant(-1234.125), ftNum182), "-1234,13");
    EXPECT_EQ(db.StrToVarByFldType("-1,006", ftNum182), Variant(-1.01));
    EXPECT_THROW(db.StrToVarByFldType("1.006", ftNum182), EVariantError);
    EXPECT_EQ(db.VarToStrByFldType(Variant(1000000), ftInt), "1000000") << "integers are not numbers in the locale's sense";
    QLocale::setDefault(saved);
}

// While the user types, a text on its way to a number is told apart from one that never becomes
// one; a number no field of the type holds is told in words, with the text as typed.
TEST(FldTypeText, TextsOnTheirWayToANumberAndNumbersOutOfRange)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::Russian);
    TDB db;
    for (const char *start : {"-", "+", ",", "-,", " - ", "1e", "-2,5E", "1e-"})
        EXPECT_TRUE(TDB::IsStartOfValue(start, ftNum182)) << start;
    for (const char *garbage : {"a", "1,2,", "e", ",e", "1e5e", "--", "1.5", "12,5"})
        EXPECT_FALSE(TDB::IsStartOfValue(garbage, ftNum183)) << garbage;
    for (const char *start : {"-", "+"})
        EXPECT_TRUE(TDB::IsStartOfValue(start, ftInt)) << start;
    for (const char *garbage : {"1,", "5", "-a", "1e"})
        EXPECT_FALSE(TDB::IsStartOfValue(garbage, ftInt)) << garbage;
    EXPECT_FALSE(TDB::IsStartOfValue("-", ftString));
    const std::pair<const char *, TFldType> outOfRange[] = {
        {"1e20", ftNum182}, {"-99999999999999999999", ftNum184}, {"2147483648", ftInt}, {" -99999999999 ", ftInt}};
    for (const auto &[text, type] : outOfRange)
        EXPECT_EQ(ErrorOf([&] { db.StrToVarByFldType(text, type); }),
                  QString("\"%1\" выходит за пределы допустимых значений.").arg(text));
    EXPECT_EQ(ErrorOf([&] { db.StrToVarByFldType("1e2x", ftNum182); }), "\"1e2x\" не является числом.");
    QLocale::setDefault(saved);
}

// Every text on the way to a number, key by key, is checked as the user types it; none of those
// checks may leave Qt warning about a malformed call.
TEST(FldTypeText, TypingNumbersCharacterByCharacterWarnsOfNothing)
{
    const QLocale saved;
    QtWarnings warnings;
    TDB db;
    for (const QLocale &locale : {QLocale(QLocale::Russian), QLocale::c()}) {
        QLocale::setDefault(locale);
        const QString point = locale.decimalPoint();
        for (const TFldType type : {ftInt, ftNum182, ftNum183, ftNum184})
            for (const QString &number : {QString("-12"), QString("+7"), "1" + point + "5e-3", QString("99999999999")}) {
                for (qsizetype typed = 1; typed <= number.size(); ++typed) {
                    const QString text = number.left(typed);
                    if (TDB::IsStartOfValue(text, type))
                        continue;
                    try {
                        db.StrToVarByFldType(text, type);
                    } catch (const EVariantError &) {
                        // Not a number of this type: what the card says about it is tested above.
                    }
                }
            }
    }
    QLocale::setDefault(saved);
    EXPECT_EQ(warnings.Texts, QStringList());
}

} // namespace
