#include "IBSQL.h"
#include "Main.h"
#include "TestDatabase.h"

#include <QLocale>
#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using enum TFldType;
using enum TCtrlType;

// The message of the ExceptionPos a call raises; "no error" when it raises none.
template <typename Call>
QString PosMessage(Call call)
{
    try {
        call();
    } catch (const ExceptionPos &e) {
        EXPECT_EQ(e.Parent, nullptr);
        return e.Message();
    }
    return QStringLiteral("no error");
}

// Switches the default locale for one test and puts the previous one back.
class LocaleScope
{
public:
    explicit LocaleScope(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~LocaleScope() { QLocale::setDefault(FSaved); }

private:
    QLocale FSaved;
};

template <typename E>
int CountOf(const TEnumSet<E> &set, E last)
{
    int n = 0;
    for (int i = 0; i <= int(last); ++i)
        n += set.Contains(E(i)) ? 1 : 0;
    return n;
}

TEST(CodeTableSets, RangesAndTheMembersLeftOut)
{
    for (const TCtrlTypes *set : {&CtrlTypesPos, &CtrlTypesConfWidth, &CtrlTypesWidth, &CtrlTypesConfHeight,
                                  &CtrlTypesHeight, &CtrlTypesLabel, &CtrlTypesRO, &CtrlTypesFld})
        EXPECT_FALSE(set->Contains(ctTabSheet) || set->Contains(ctNone));
    EXPECT_EQ(CountOf(CtrlTypesLabel, ctObjTempl), 10);
    EXPECT_FALSE(CtrlTypesLabel.Contains(ctPageControl));
    EXPECT_EQ(CountOf(CtrlTypesPos, ctObjTempl), 11);
    // Root, page control, the seven of EditStr..DateEdit, formula and value template.
    EXPECT_EQ(CountOf(CtrlTypesConfWidth, ctObjTempl), 11);
    EXPECT_FALSE(CtrlTypesConfWidth.Contains(ctBoolean));
    EXPECT_TRUE(CtrlTypesHeight.Contains(ctBoolean));
    EXPECT_EQ(CountOf(FldTypesFormula, ftObjTempl), 8);
    EXPECT_FALSE(FldTypesFormula.Contains(ftPK) || FldTypesFormula.Contains(ftFormula));
    EXPECT_EQ(CountOf(FldTypesAgr, ftObjTempl), 4);
    EXPECT_TRUE(FldTypesNotNull.Contains(ftPK) && !FldTypesDef0.Contains(ftPK));
}

// The "none" members need no table, so a connection that was never opened answers them.
TEST(CodeTableNone, NoneMembersNeedNoDatabase)
{
    TDB db;
    EXPECT_EQ(db.CodeToFldType(Variant::Null()), ftNone);
    EXPECT_TRUE(db.FldTypeToCode(ftNone).isNull());
    EXPECT_EQ(db.FldTypeToCapt(ftNone), "не указано");
    EXPECT_EQ(db.CodeToFKRule(Variant::Null()), TFKRule::fkNone);
    EXPECT_EQ(db.FormulaFuncToCapt(TFormulaFunc::ffNone), "не указано");
    EXPECT_TRUE(db.FilterTreeTypeToCode(TFilterTreeType::fttNone).isNull());
    EXPECT_EQ(db.CodeToCtrlTreeType(Variant::Null()), ctNone);
    // Blank text and Null values short-cut before the type is looked at.
    EXPECT_TRUE(db.StrToVarByFldType("  ", ftDate).isNull());
    EXPECT_TRUE(db.StrToVarByFldType("", ftInt).isNull());
    EXPECT_EQ(db.VarToStrByFldType(Variant::Null(), ftDate), "");
    EXPECT_EQ(db.VarToStrByFldType(Variant::Null(), ftNum182), "");
    // The caption of "none" in the conversion message needs no table either.
    EXPECT_EQ(PosMessage([&] { db.StrToVarByFldType("1", ftNone); }),
              "StrToVarByFldType: Для типа поля \"не указано\" преобразование невозможно.");
}

class CodeTableDB : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
    }

    void Write(const QString &text)
    {
        db.StartTransaction();
        auto sql = db.CreateIBSQLC();
        sql->SetSQL(text);
        sql->ExecQuery();
        db.CommitTransaction();
    }

};

// Ids in the template are 1..n in member order, so the id of every member is its ordinal;
// this checks that every code name, "Integ" and "CheckBox" included, finds its row.
TEST_F(CodeTableDB, EveryMemberFindsItsRow)
{
    for (int i = 1; i <= int(ftObjTempl); ++i) {
        EXPECT_EQ(db.FldTypeToCode(TFldType(i)), Variant(i));
        EXPECT_EQ(db.CodeToFldType(Variant(i)), TFldType(i));
    }
    for (int i = 1; i <= int(TFKRule::fkSetNull); ++i) {
        EXPECT_EQ(db.FKRuleToCode(TFKRule(i)), Variant(i));
        EXPECT_EQ(db.CodeToFKRule(Variant(i)), TFKRule(i));
    }
    for (int i = 1; i <= int(TFormulaFunc::ffParId); ++i) {
        EXPECT_EQ(db.FormulaFuncToCode(TFormulaFunc(i)), Variant(i));
        EXPECT_EQ(db.CodeToFormulaFunc(Variant(i)), TFormulaFunc(i));
    }
    for (int i = 1; i <= int(TFilterTreeType::fttExist); ++i) {
        EXPECT_EQ(db.FilterTreeTypeToCode(TFilterTreeType(i)), Variant(i));
        EXPECT_EQ(db.CodeToFilterTreeType(Variant(i)), TFilterTreeType(i));
        EXPECT_EQ(db.FilterTreeTypeToCapt(TFilterTreeType(i)), "");
    }
    for (int i = 1; i <= int(ctObjTempl); ++i) {
        EXPECT_EQ(db.CtrlTreeTypeToCode(TCtrlType(i)), Variant(i));
        EXPECT_EQ(db.CodeToCtrlTreeType(Variant(i)), TCtrlType(i));
    }
    EXPECT_EQ(db.FldTypeToCode(ftInt).type(), Variant::Type::Integer);
    EXPECT_EQ(db.FldTypeToCapt(ftInt), "Целое");
    EXPECT_EQ(db.FormulaFuncToCapt(TFormulaFunc::ffCurU), "Текущий пользователь");
    EXPECT_EQ(db.CtrlTreeTypeToCapt(ctBoolean), "Флажок");
    // A code compares as a number, whatever variant carries it.
    EXPECT_EQ(db.CodeToFldType(Variant(qint64(4))), ftInt);
    EXPECT_EQ(db.CodeToFldType(Variant("4")), ftInt);
}

TEST_F(CodeTableDB, CodesAndMembersWithoutEntryRaise)
{
    EXPECT_EQ(PosMessage([&] { db.CodeToFldType(99); }), "CodeToFldType: Тип поля с кодом \"99\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.CodeToFKRule(0); }), "CodeToFKRule: Правило связи с кодом \"0\" не найдено.");
    EXPECT_EQ(PosMessage([&] { db.CodeToFormulaFunc(-1); }),
              "CodeToFormulaFunc: Функция формулы с кодом \"-1\" не найдена.");
    EXPECT_EQ(PosMessage([&] { db.CodeToFilterTreeType(11); }),
              "CodeToFilterTreeType: Тип узла фильтра с кодом \"11\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.CodeToCtrlTreeType(14); }), "Тип контрола с кодом \"14\" не найден.");

    // Values outside the enumerations stand for a member that has no entry.
    EXPECT_EQ(PosMessage([&] { db.FldTypeToCode(TFldType(42)); }), "FldTypeToCode: Тип поля \"42\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.FldTypeToCapt(TFldType(42)); }), "FldTypeToCapt: Тип поля \"42\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.FilterTreeTypeToCode(TFilterTreeType(11)); }),
              "FilterTreeTypeToCode: Тип узла фильтра \"11\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.FilterTreeTypeToCapt(TFilterTreeType(11)); }),
              "FilterTreeTypeToCapt: Тип узла фильтра \"11\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.CtrlTreeTypeToCode(TCtrlType(14)); }), "Тип контрола \"14\" не найден.");
    EXPECT_EQ(PosMessage([&] { db.CtrlTreeTypeToCapt(TCtrlType(14)); }), "Тип контрола \"14\" не найден.");
}

// A member's suffix is not its code name: the row "Int" stops the loading, and every
// conversion tries again until the row is gone.
TEST_F(CodeTableDB, UnknownFieldTypeNameStopsLoadingUntilFixed)
{
    Write("insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (100, 'Int', 'Целое')");
    const QString message = "Тип поля с именем \"Int\" не известен системе.";
    EXPECT_EQ(PosMessage([&] { db.CodeToFldType(4); }), message);
    EXPECT_EQ(PosMessage([&] { db.FldTypeToCapt(ftString); }), message);
    EXPECT_EQ(PosMessage([&] { db.FldTypeToCode(ftPK); }), message);
    Write("delete from FLDTYPE where FLDTYPE_ID = 100");
    EXPECT_EQ(db.CodeToFldType(4), ftInt);
    EXPECT_EQ(db.FldTypeToCapt(ftString), "Строка");
}

TEST_F(CodeTableDB, UnknownNamesOfTheOtherTables)
{
    // Names compare exactly, case included.
    Write("insert into FKRULE (FKRULE_ID, FKRULE_NAME) values (100, 'cascade')");
    Write("insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME) values (100, 'Sub')");
    Write("insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME) values (100, 'Boolean')");
    EXPECT_EQ(PosMessage([&] { db.CodeToFKRule(1); }), "Правило связи с именем \"cascade\" неизвестно системе.");
    EXPECT_EQ(PosMessage([&] { db.FormulaFuncToCapt(TFormulaFunc::ffAdd); }),
              "Функция формулы с именем \"Sub\" не известна системе");
    EXPECT_EQ(PosMessage([&] { db.CtrlTreeTypeToCode(ctBoolean); }),
              "Тип контрола с именем \"Boolean\" неизвестен системе.");
    // Each table fails on its own: the field types still load.
    EXPECT_EQ(db.CodeToFldType(2), ftString);
}

TEST_F(CodeTableDB, UnknownFilterNodeTypeIsSkipped)
{
    Write("insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (100, 'NotIn', 'Не входит')");
    EXPECT_EQ(db.CodeToFilterTreeType(3), TFilterTreeType::fttEqual);
    EXPECT_EQ(db.FilterTreeTypeToCode(TFilterTreeType::fttExist), Variant(10));
    EXPECT_EQ(db.FilterTreeTypeToCapt(TFilterTreeType::fttAnd), "");
    EXPECT_EQ(PosMessage([&] { db.CodeToFilterTreeType(100); }),
              "CodeToFilterTreeType: Тип узла фильтра с кодом \"100\" не найден.");
}

// A later row with the same name takes the entry; a member left without a row keeps id 0.
TEST_F(CodeTableDB, DuplicateNameOverwritesAndMissingNameKeepsZero)
{
    Write("update FLDTYPE set FLDTYPE_NAME = 'Formula' where FLDTYPE_NAME = 'ObjTempl'");
    const Variant formulaCode = db.FldTypeToCode(ftFormula);
    EXPECT_TRUE(formulaCode == Variant(10) || formulaCode == Variant(11)) << VarDebugText(formulaCode).toStdString();
    const Variant other = formulaCode == Variant(10) ? Variant(11) : Variant(10);
    EXPECT_EQ(PosMessage([&] { db.CodeToFldType(other); }),
              Format("CodeToFldType: Тип поля с кодом \"%d\" не найден.", {other}));
    EXPECT_EQ(db.FldTypeToCode(ftObjTempl), Variant(0));
    EXPECT_EQ(db.FldTypeToCapt(ftObjTempl), "");
    EXPECT_EQ(db.CodeToFldType(0), ftObjTempl);
}

// Read once per connection object: later changes of the rows, and the end of the
// connection, leave the loaded ids and captions as they were.
TEST_F(CodeTableDB, TablesAreReadOnce)
{
    EXPECT_EQ(db.FldTypeToCapt(ftInt), "Целое");
    EXPECT_EQ(db.CtrlTreeTypeToCapt(ctRoot), "Корень");
    Write("update FLDTYPE set FLDTYPE_CAPT = 'Целое число' where FLDTYPE_NAME = 'Integ'");
    Write("insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME) values (100, 'Int')");
    EXPECT_EQ(db.FldTypeToCapt(ftInt), "Целое");
    EXPECT_EQ(db.CodeToFldType(4), ftInt);
    db.Deinit();
    db.Disconnect();
    EXPECT_EQ(db.FldTypeToCode(ftInt), Variant(4));
    EXPECT_EQ(db.CtrlTreeTypeToCapt(ctRoot), "Корень");
}

TEST_F(CodeTableDB, OtherTypesHaveNoTextForm)
{
    EXPECT_EQ(PosMessage([&] { db.VarToStrByFldType(Variant(QDate(2024, 1, 31)), ftDate); }),
              "VarToStrByFldType: Для типа поля \"Дата\" преобразование невозможно.");
    EXPECT_EQ(PosMessage([&] { db.VarToStrByFldType(Variant(true), ftBoolean); }),
              "VarToStrByFldType: Для типа поля \"Логическое\" преобразование невозможно.");
    EXPECT_EQ(PosMessage([&] { db.VarToStrByFldType(Variant(5), ftPK); }),
              "VarToStrByFldType: Для типа поля \"Ключ\" преобразование невозможно.");
    EXPECT_EQ(PosMessage([&] { db.StrToVarByFldType("31.01.2024", ftDate); }),
              "StrToVarByFldType: Для типа поля \"Дата\" преобразование невозможно.");
}

TEST(FldTypeText, StringsAndIntegers)
{
    TDB db;
    EXPECT_EQ(db.VarToStrByFldType(Variant(" a b "), ftString), " a b ");
    EXPECT_EQ(db.VarToStrByFldType(Variant(-42), ftInt), "-42");
    EXPECT_EQ(db.VarToStrByFldType(Variant(), ftString), "");

    const Variant s = db.StrToVarByFldType(" a ", ftString);
    EXPECT_EQ(s.type(), Variant::Type::String);
    EXPECT_EQ(s.toString(), " a ");
    const Variant i = db.StrToVarByFldType(" -17 ", ftInt);
    EXPECT_EQ(i.type(), Variant::Type::Integer);
    EXPECT_EQ(i.toInt(), -17);
    for (const char *bad : {"abc", "1.5", "12a", "99999999999"})
        EXPECT_THROW(db.StrToVarByFldType(bad, ftInt), EVariantError) << bad;
}

TEST(FldTypeText, NumbersRoundHalfAwayFromZeroOnDecimalDigits)
{
    LocaleScope c(QLocale::C);
    TDB db;
    EXPECT_EQ(db.VarToStrByFldType(Variant(2.5), ftNum184), "2.5");
    // 1.005 and 2.675 lie just below the half as doubles; written as decimals they round up.
    EXPECT_EQ(db.VarToStrByFldType(Variant(1.005), ftNum182), "1.01");
    EXPECT_EQ(db.VarToStrByFldType(Variant(-1.005), ftNum182), "-1.01");
    EXPECT_EQ(db.VarToStrByFldType(Variant(2.675), ftNum182), "2.68");
    // Rounded once, straight to two decimals: not 1.0045 first and then 1.01.
    EXPECT_EQ(db.VarToStrByFldType(Variant(1.00449), ftNum182), "1");
    EXPECT_EQ(db.VarToStrByFldType(Variant(1.23456), ftNum183), "1.235");
    EXPECT_EQ(db.VarToStrByFldType(Variant(0.00005), ftNum184), "0.0001");
    EXPECT_EQ(db.VarToStrByFldType(Variant(-0.004), ftNum182), "0");
    EXPECT_EQ(db.VarToStrByFldType(Variant(1e14), ftNum182), "100000000000000");
    EXPECT_EQ(db.VarToStrByFldType(Variant::FromCurrency(qint64(123455)), ftNum183), "12.346");
    EXPECT_THROW(db.VarToStrByFldType(Variant(1e30), ftNum182), EVariantError);

    const Variant v = db.StrToVarByFldType("1.006", ftNum182);
    EXPECT_EQ(v.type(), Variant::Type::Double);
    EXPECT_EQ(v.toDouble(), 1.01);
    EXPECT_EQ(db.StrToVarByFldType("-1.005", ftNum182).toDouble(), -1.01);
    EXPECT_EQ(db.StrToVarByFldType("2.0005", ftNum183).toDouble(), 2.001);
    EXPECT_EQ(db.StrToVarByFldType(" 1.00005 ", ftNum184).toDouble(), 1.0001);
    EXPECT_EQ(db.StrToVarByFldType("1.5e2", ftNum182).toDouble(), 150.0);
    // With a decimal point a comma can only be a thousands separator, which is not accepted.
    for (const char *bad : {"1,006", "1 000", "abc", "-", ".", "1.2.3"})
        EXPECT_THROW(db.StrToVarByFldType(bad, ftNum182), EVariantError) << bad;
}

TEST(FldTypeText, NumbersUseTheSystemDecimalComma)
{
    LocaleScope russian(QLocale::Russian);
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    TDB db;
    EXPECT_EQ(db.VarToStrByFldType(Variant(2.5), ftNum184), "2,5");
    EXPECT_EQ(db.VarToStrByFldType(Variant(-1234.125), ftNum182), "-1234,13");
    EXPECT_EQ(db.StrToVarByFldType("1,006", ftNum182).toDouble(), 1.01);
    EXPECT_EQ(db.StrToVarByFldType("-1,006", ftNum182).toDouble(), -1.01);
    EXPECT_THROW(db.StrToVarByFldType("1.006", ftNum182), EVariantError);
    // Integers and strings are not numbers in the locale's sense.
    EXPECT_EQ(db.VarToStrByFldType(Variant(1000000), ftInt), "1000000");
}

} // namespace
