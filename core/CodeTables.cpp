#include "CodeTables.h"

#include "IBSQL.h"
#include "Main.h"

#include <QLocale>
#include <QRegularExpression>
#include <utility>

// --- Constant sets of types -----------------------------------------------------------------
// Sets with equal members stay separate constants: each answers its own question, and one may
// change without the others.

using enum TFldType;
using enum TCtrlType;

constinit const TFldTypes FldTypesFormula{ftString, ftFK, ftInt, ftBoolean, ftNum182, ftNum183, ftNum184, ftDate};
constinit const TFldTypes FldTypesAgr{ftInt, ftNum182, ftNum183, ftNum184};
constinit const TFldTypes FldTypesNotNull{ftPK, ftInt, ftBoolean, ftNum182, ftNum183, ftNum184};
constinit const TFldTypes FldTypesDef0{ftInt, ftBoolean, ftNum182, ftNum183, ftNum184};
constinit const TFldTypes FldTypesSize{ftString, ftObjTempl};

constinit const TCtrlTypes CtrlTypesPos = TCtrlTypes{ctPageControl} + TCtrlTypes::Range(ctEditStr, ctObjTempl);
constinit const TCtrlTypes CtrlTypesConfWidth =
    TCtrlTypes{ctRoot, ctPageControl} + TCtrlTypes::Range(ctEditStr, ctDateEdit) + TCtrlTypes{ctFormula, ctObjTempl};
constinit const TCtrlTypes CtrlTypesWidth = TCtrlTypes{ctPageControl} + TCtrlTypes::Range(ctEditStr, ctObjTempl);
constinit const TCtrlTypes CtrlTypesConfHeight{ctRoot, ctPageControl};
constinit const TCtrlTypes CtrlTypesHeight{ctPageControl, ctDateEdit, ctBoolean};
constinit const TCtrlTypes CtrlTypesLabel = TCtrlTypes::Range(ctEditStr, ctObjTempl);
constinit const TCtrlTypes CtrlTypesRO = TCtrlTypes::Range(ctEditStr, ctObjTempl);
constinit const TCtrlTypes CtrlTypesFld = TCtrlTypes::Range(ctEditStr, ctObjTempl);

namespace {

const QString NoneCapt = QStringLiteral("не указано");

// A text column as the loaders want it: a Null reads as the empty text.
QString TextOf(const Variant &v)
{
    return v.isEmptyOrNull() ? QString() : v.toString();
}

// Fills the ids (and captions) of a name table from the rows of its code table.
// An unknown name raises `unknownName` unless that is empty, in which case the row is skipped.
// The statement is closed whatever happens, so a failed load leaves no cursor open.
template <typename Rec>
void ReadCodeRows(TIBSQL &sql, std::vector<Rec> &table, const QString &idColumn, const QString &nameColumn,
                  const QString &captColumn, const QString &unknownName)
{
    TCloseGuard closer(sql);
    sql.ExecQuery();
    for (; !sql.Eof(); sql.Next()) {
        const QString name = TextOf(sql.FieldByName(nameColumn));
        Rec *entry = nullptr;
        for (Rec &r : table) {
            if (r.Name == name) {
                entry = &r;
                break;
            }
        }
        if (!entry) {
            if (unknownName.isEmpty())
                continue;
            throw ExceptionPos(Format(unknownName, {name}));
        }
        entry->Id = VarAsInteger(sql.FieldByName(idColumn));
        if constexpr (requires { entry->Capt; }) {
            if (!captColumn.isEmpty())
                entry->Capt = TextOf(sql.FieldByName(captColumn));
        }
    }
}

template <typename Rec, typename E>
E MemberOfCode(const std::vector<Rec> &table, E Rec::*member, const Variant &code, const QString &notFound)
{
    for (const Rec &r : table) {
        if (Variant(r.Id) == code)
            return r.*member;
    }
    throw ExceptionPos(Format(notFound, {code}));
}

template <typename Rec, typename E>
const Rec &EntryOf(const std::vector<Rec> &table, E Rec::*member, E value, const QString &notFound)
{
    for (const Rec &r : table) {
        if (r.*member == value)
            return r;
    }
    throw ExceptionPos(Format(notFound, {static_cast<int>(value)}));
}

template <typename Rec, typename E>
void AddEntries(std::vector<Rec> &table, E Rec::*member, std::initializer_list<std::pair<E, const char *>> names)
{
    table.clear();
    for (const auto &[value, name] : names) {
        Rec r;
        r.Name = QString::fromLatin1(name);
        r.*member = value;
        table.push_back(std::move(r));
    }
}

// Decimals kept by the numeric field types; 0 for the other types.
int DecimalsOf(TFldType t)
{
    switch (t) {
    case ftNum182: return 2;
    case ftNum183: return 3;
    case ftNum184: return 4;
    default: return 0;
    }
}

// A decimal number written with '.' ("1.006", "-2e-05"), rounded half away from zero to
// `decimals` and returned as a currency (value times 10^4). The rounding works on the decimal
// digits, not on a double: 1.005 gives 1.01 although its double lies just below the half.
qint64 RoundedCurrency(const QString &decimalText, int decimals)
{
    // Moving the exponent by `decimals` lets the variant's own integer rounding do the work.
    QString mantissa = decimalText;
    int exponent = 0;
    const qsizetype e = decimalText.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        mantissa = decimalText.left(e);
        bool ok = false;
        exponent = decimalText.mid(e + 1).toInt(&ok);
        if (!ok)
            throw EVariantError(QStringLiteral("\"%1\" не является числом.").arg(decimalText));
    }
    const qint64 rounded = Variant(mantissa + QLatin1Char('e') + QString::number(exponent + decimals)).toInt64();
    qint64 factor = 1;
    for (int i = decimals; i < 4; ++i)
        factor *= 10;
    qint64 scaled = 0;
    if (__builtin_mul_overflow(rounded, factor, &scaled))
        throw EVariantError(QStringLiteral("Currency overflow: %1 is out of the currency range").arg(decimalText));
    return scaled;
}

// The exact decimal text of a number: integers and currencies as they are, anything else
// through its double's shortest form.
QString DecimalTextOf(const Variant &v)
{
    if (v.type() == Variant::Type::Integer || v.type() == Variant::Type::Currency)
        return v.toString();
    return Variant(v.toDouble()).toString();
}

// Edit-box text in the system's number format: an optional sign, digits and the system's
// decimal separator, an optional exponent. No thousands separators and no other decimal
// separator, since in a locale with a decimal comma "1.500" could mean fifteen hundred.
const QString NumberPattern = QStringLiteral("^([+-]?)([0-9]*)(?:%1([0-9]*))?([eE][+-]?[0-9]+)?$");
// The beginnings of such a text that are no number yet: what is typed on the way to one.
const QString NumberStartPattern = QStringLiteral("^[+-]?[0-9]*(?:%1[0-9]*)?(?:(?<=[0-9])[eE][+-]?)?$");
// Whole numbers have no decimal separator, so their patterns hold no place for one.
const QRegularExpression IntegerExpression(QStringLiteral("^[+-]?[0-9]+$"));
const QRegularExpression IntegerStartExpression(QStringLiteral("^[+-]?$"));

// APattern holds %1 where the system's decimal separator goes.
QRegularExpressionMatch MatchNumber(const QString &APattern, const QString &text)
{
    const QRegularExpression number(APattern.arg(QRegularExpression::escape(QString(QLocale().decimalPoint()))));
    return number.match(text.trimmed());
}

bool MatchesInteger(const QRegularExpression &AExpression, const QString &text)
{
    return AExpression.match(text.trimmed()).hasMatch();
}

// Returns the number written with '.', or an empty text when the text is no number.
QString NormalizedNumberText(const QString &text)
{
    const QRegularExpressionMatch m = MatchNumber(NumberPattern, text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return QString();
    QString result = m.captured(1) + (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2));
    if (!m.captured(3).isEmpty())
        result += QLatin1Char('.') + m.captured(3);
    return result + m.captured(4);
}

QString OutOfRangeText(const QString &AValue)
{
    return Format(QStringLiteral("\"%s\" выходит за пределы допустимых значений."), {AValue});
}

} // namespace

void TDB::FillNameTables()
{
    AddEntries(FldTypeTable, &TFldTypeRec::FldType,
               {{ftPK, "PK"}, {ftString, "String"}, {ftFK, "FK"}, {ftInt, "Integ"}, {ftBoolean, "Boolean"},
                {ftNum182, "Num182"}, {ftNum183, "Num183"}, {ftNum184, "Num184"}, {ftDate, "Date"},
                {ftFormula, "Formula"}, {ftObjTempl, "ObjTempl"}});
    AddEntries(FKRuleTable, &TFKRuleRec::FKRule,
               {{TFKRule::fkNoAction, "NoAction"}, {TFKRule::fkCascade, "Cascade"}, {TFKRule::fkSetNull, "SetNull"}});
    AddEntries(FormulaFuncTable, &TFormulaFuncRec::FormulaFunc,
               {{TFormulaFunc::ffAdd, "Add"}, {TFormulaFunc::ffDed, "Ded"}, {TFormulaFunc::ffMul, "Mul"},
                {TFormulaFunc::ffDiv, "Div"}, {TFormulaFunc::ffRate, "Rate"}, {TFormulaFunc::ffCurD, "CurD"},
                {TFormulaFunc::ffCurU, "CurU"}, {TFormulaFunc::ffParId, "ParId"}});
    AddEntries(FilterTreeTypeTable, &TFilterTreeTypeRec::FilterTreeType,
               {{TFilterTreeType::fttAnd, "And"}, {TFilterTreeType::fttOr, "Or"}, {TFilterTreeType::fttEqual, "Equal"},
                {TFilterTreeType::fttGreater, "Greater"}, {TFilterTreeType::fttLess, "Less"},
                {TFilterTreeType::fttEmpty, "Empty"}, {TFilterTreeType::fttContaining, "Containing"},
                {TFilterTreeType::fttBetween, "Between"}, {TFilterTreeType::fttIn, "In"},
                {TFilterTreeType::fttExist, "Exist"}});
    AddEntries(CtrlTypeTable, &TCtrlTypeRec::CtrlType,
               {{ctRoot, "Root"}, {ctPageControl, "PageControl"}, {ctTabSheet, "TabSheet"}, {ctEditStr, "EditStr"},
                {ctEditInt, "EditInt"}, {ctEditNum182, "EditNum182"}, {ctEditNum183, "EditNum183"},
                {ctEditNum184, "EditNum184"}, {ctEditObj, "EditObj"}, {ctDateEdit, "DateEdit"},
                {ctBoolean, "CheckBox"}, {ctFormula, "Formula"}, {ctObjTempl, "ObjTempl"}});
    FldTypeTableLoaded = false;
    FKRuleTableLoaded = false;
    FormulaFuncTableLoaded = false;
    FilterTreeTypeTableLoaded = false;
    CtrlTypeTableLoaded = false;
}

// --- Loaders: each sets its flag only after the last row, so a failed load is retried ---------

void TDB::LoadFldTypeTable()
{
    auto sql = CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select * from FLDTYPE"));
    ReadCodeRows(*sql, FldTypeTable, QStringLiteral("FLDTYPE_ID"), QStringLiteral("FLDTYPE_NAME"),
                 QStringLiteral("FLDTYPE_CAPT"), QStringLiteral("Тип поля с именем \"%s\" не известен системе."));
    FldTypeTableLoaded = true;
}

void TDB::LoadFKRuleTable()
{
    auto sql = CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select * from FKRULE"));
    ReadCodeRows(*sql, FKRuleTable, QStringLiteral("FKRULE_ID"), QStringLiteral("FKRULE_NAME"), QString(),
                 QStringLiteral("Правило связи с именем \"%s\" неизвестно системе."));
    FKRuleTableLoaded = true;
}

void TDB::LoadFormulaFuncTable()
{
    auto sql = CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select * from FRMLFUNC"));
    ReadCodeRows(*sql, FormulaFuncTable, QStringLiteral("FRMLFUNC_ID"), QStringLiteral("FRMLFUNC_NAME"),
                 QStringLiteral("FRMLFUNC_CAPT"), QStringLiteral("Функция формулы с именем \"%s\" не известна системе"));
    FormulaFuncTableLoaded = true;
}

// Filter node types are matched by name only: unknown rows are someone else's, and the
// caption column is left to the people reading the table.
void TDB::LoadFilterTreeTypeTable()
{
    auto sql = CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select * from FLTRTRTP"));
    ReadCodeRows(*sql, FilterTreeTypeTable, QStringLiteral("FLTRTRTP_ID"), QStringLiteral("FLTRTRTP_NAME"), QString(),
                 QString());
    FilterTreeTypeTableLoaded = true;
}

void TDB::LoadCtrlTypeTable()
{
    auto sql = CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select * from CTRLTRTP"));
    ReadCodeRows(*sql, CtrlTypeTable, QStringLiteral("CTRLTRTP_ID"), QStringLiteral("CTRLTRTP_NAME"),
                 QStringLiteral("CTRLTRTP_CAPT"), QStringLiteral("Тип контрола с именем \"%s\" неизвестен системе."));
    CtrlTypeTableLoaded = true;
}

// --- Conversions: the "none" member is a Null code and needs no table -------------------------

TFldType TDB::CodeToFldType(const Variant &ACode)
{
    if (ACode.isNull())
        return ftNone;
    if (!FldTypeTableLoaded)
        LoadFldTypeTable();
    return MemberOfCode(FldTypeTable, &TFldTypeRec::FldType, ACode,
                        QStringLiteral("CodeToFldType: Тип поля с кодом \"%d\" не найден."));
}

Variant TDB::FldTypeToCode(TFldType AFldType)
{
    if (AFldType == ftNone)
        return Variant::Null();
    if (!FldTypeTableLoaded)
        LoadFldTypeTable();
    return Variant(EntryOf(FldTypeTable, &TFldTypeRec::FldType, AFldType,
                           QStringLiteral("FldTypeToCode: Тип поля \"%d\" не найден."))
                       .Id);
}

QString TDB::FldTypeToCapt(TFldType AFldType)
{
    if (AFldType == ftNone)
        return NoneCapt;
    if (!FldTypeTableLoaded)
        LoadFldTypeTable();
    return EntryOf(FldTypeTable, &TFldTypeRec::FldType, AFldType,
                   QStringLiteral("FldTypeToCapt: Тип поля \"%d\" не найден."))
        .Capt;
}

TFKRule TDB::CodeToFKRule(const Variant &ACode)
{
    if (ACode.isNull())
        return TFKRule::fkNone;
    if (!FKRuleTableLoaded)
        LoadFKRuleTable();
    return MemberOfCode(FKRuleTable, &TFKRuleRec::FKRule, ACode,
                        QStringLiteral("CodeToFKRule: Правило связи с кодом \"%d\" не найдено."));
}

Variant TDB::FKRuleToCode(TFKRule AFKRule)
{
    if (AFKRule == TFKRule::fkNone)
        return Variant::Null();
    if (!FKRuleTableLoaded)
        LoadFKRuleTable();
    return Variant(
        EntryOf(FKRuleTable, &TFKRuleRec::FKRule, AFKRule, QStringLiteral("FKRuleToCode: Правило удаления \"%d\" не найдено."))
            .Id);
}

TFormulaFunc TDB::CodeToFormulaFunc(const Variant &ACode)
{
    if (ACode.isNull())
        return TFormulaFunc::ffNone;
    if (!FormulaFuncTableLoaded)
        LoadFormulaFuncTable();
    return MemberOfCode(FormulaFuncTable, &TFormulaFuncRec::FormulaFunc, ACode,
                        QStringLiteral("CodeToFormulaFunc: Функция формулы с кодом \"%d\" не найдена."));
}

Variant TDB::FormulaFuncToCode(TFormulaFunc AFormulaFunc)
{
    if (AFormulaFunc == TFormulaFunc::ffNone)
        return Variant::Null();
    if (!FormulaFuncTableLoaded)
        LoadFormulaFuncTable();
    return Variant(EntryOf(FormulaFuncTable, &TFormulaFuncRec::FormulaFunc, AFormulaFunc,
                           QStringLiteral("FormulaFuncToCode: Функция формулы \"%d\" не найдена."))
                       .Id);
}

QString TDB::FormulaFuncToCapt(TFormulaFunc AFormulaFunc)
{
    if (AFormulaFunc == TFormulaFunc::ffNone)
        return NoneCapt;
    if (!FormulaFuncTableLoaded)
        LoadFormulaFuncTable();
    return EntryOf(FormulaFuncTable, &TFormulaFuncRec::FormulaFunc, AFormulaFunc,
                   QStringLiteral("FormulaFuncToCapt: Функция формулы \"%d\" не найдена."))
        .Capt;
}

TFilterTreeType TDB::CodeToFilterTreeType(const Variant &ACode)
{
    if (ACode.isNull())
        return TFilterTreeType::fttNone;
    if (!FilterTreeTypeTableLoaded)
        LoadFilterTreeTypeTable();
    return MemberOfCode(FilterTreeTypeTable, &TFilterTreeTypeRec::FilterTreeType, ACode,
                        QStringLiteral("CodeToFilterTreeType: Тип узла фильтра с кодом \"%d\" не найден."));
}

Variant TDB::FilterTreeTypeToCode(TFilterTreeType AFilterTreeType)
{
    if (AFilterTreeType == TFilterTreeType::fttNone)
        return Variant::Null();
    if (!FilterTreeTypeTableLoaded)
        LoadFilterTreeTypeTable();
    return Variant(EntryOf(FilterTreeTypeTable, &TFilterTreeTypeRec::FilterTreeType, AFilterTreeType,
                           QStringLiteral("FilterTreeTypeToCode: Тип узла фильтра \"%d\" не найден."))
                       .Id);
}

// Always the empty text for a member: the loader never reads the caption column.
QString TDB::FilterTreeTypeToCapt(TFilterTreeType AFilterTreeType)
{
    if (AFilterTreeType == TFilterTreeType::fttNone)
        return NoneCapt;
    if (!FilterTreeTypeTableLoaded)
        LoadFilterTreeTypeTable();
    return EntryOf(FilterTreeTypeTable, &TFilterTreeTypeRec::FilterTreeType, AFilterTreeType,
                   QStringLiteral("FilterTreeTypeToCapt: Тип узла фильтра \"%d\" не найден."))
        .Capt;
}

TCtrlType TDB::CodeToCtrlTreeType(const Variant &ACode)
{
    if (ACode.isNull())
        return ctNone;
    if (!CtrlTypeTableLoaded)
        LoadCtrlTypeTable();
    return MemberOfCode(CtrlTypeTable, &TCtrlTypeRec::CtrlType, ACode,
                        QStringLiteral("Тип контрола с кодом \"%d\" не найден."));
}

Variant TDB::CtrlTreeTypeToCode(TCtrlType ACtrlType)
{
    if (ACtrlType == ctNone)
        return Variant::Null();
    if (!CtrlTypeTableLoaded)
        LoadCtrlTypeTable();
    return Variant(
        EntryOf(CtrlTypeTable, &TCtrlTypeRec::CtrlType, ACtrlType, QStringLiteral("Тип контрола \"%d\" не найден."))
            .Id);
}

QString TDB::CtrlTreeTypeToCapt(TCtrlType ACtrlType)
{
    if (ACtrlType == ctNone)
        return NoneCapt;
    if (!CtrlTypeTableLoaded)
        LoadCtrlTypeTable();
    return EntryOf(CtrlTypeTable, &TCtrlTypeRec::CtrlType, ACtrlType, QStringLiteral("Тип контрола \"%d\" не найден."))
        .Capt;
}

// --- Field values and edit-box text -----------------------------------------------------------

// An Unassigned value is treated like Null: an untouched field shows an empty box.
QString TDB::VarToStrByFldType(const Variant &AValue, TFldType AFldType)
{
    if (AValue.isEmptyOrNull())
        return QString();
    switch (AFldType) {
    case ftString:
    case ftInt:
        return AValue.toString();
    case ftNum182:
    case ftNum183:
    case ftNum184: {
        const qint64 scaled = RoundedCurrency(DecimalTextOf(AValue), DecimalsOf(AFldType));
        QString text = Variant::FromCurrency(scaled).toString();
        text.replace(QLatin1Char('.'), QLocale().decimalPoint());
        return text;
    }
    default:
        throw ExceptionPos(Format(QStringLiteral("VarToStrByFldType: Для типа поля \"%s\" преобразование невозможно."),
                                  {FldTypeToCapt(AFldType)}));
    }
}

bool TDB::IsStartOfValue(const QString &AValue, TFldType AFldType)
{
    switch (AFldType) {
    case ftInt:
        return MatchesInteger(IntegerStartExpression, AValue);
    case ftNum182:
    case ftNum183:
    case ftNum184:
        return NormalizedNumberText(AValue).isEmpty() && MatchNumber(NumberStartPattern, AValue).hasMatch();
    default:
        return false;
    }
}

Variant TDB::StrToVarByFldType(const QString &AValue, TFldType AFldType)
{
    if (AValue.trimmed().isEmpty())
        return Variant::Null();
    switch (AFldType) {
    case ftString:
        return Variant(AValue);
    case ftInt: {
        bool ok = false;
        const int value = AValue.trimmed().toInt(&ok);
        if (ok)
            return Variant(value);
        if (MatchesInteger(IntegerExpression, AValue))
            throw EVariantError(OutOfRangeText(AValue));
        throw EVariantError(Format(QStringLiteral("\"%s\" не является целым числом."), {AValue}));
    }
    case ftNum182:
    case ftNum183:
    case ftNum184: {
        const QString number = NormalizedNumberText(AValue);
        if (number.isEmpty())
            throw EVariantError(Format(QStringLiteral("\"%s\" не является числом."), {AValue}));
        qint64 scaled = 0;
        try {
            scaled = RoundedCurrency(number, DecimalsOf(AFldType));
        } catch (const EVariantError &) {
            // The text is a number, only one no field of the type can hold: told with what was typed.
            throw EVariantError(OutOfRangeText(AValue));
        }
        return Variant(double(scaled) / double(Variant::CurrencyScale));
    }
    default:
        throw ExceptionPos(Format(QStringLiteral("StrToVarByFldType: Для типа поля \"%s\" преобразование невозможно."),
                                  {FldTypeToCapt(AFldType)}));
    }
}
