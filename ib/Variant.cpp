#include "Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <compare>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

using Int128 = __int128;

constexpr qint64 Int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 Int64Min = std::numeric_limits<qint64>::min();

[[noreturn]] void raiseNull() { throw EVariantError(QStringLiteral("Variant is null")); }
[[noreturn]] void raiseEmpty() { throw EVariantError(QStringLiteral("Variant is empty")); }

QString typeNameOf(Variant::Type t)
{
    switch (t) {
    case Variant::Type::Empty: return QStringLiteral("Empty");
    case Variant::Type::Null: return QStringLiteral("Null");
    case Variant::Type::Boolean: return QStringLiteral("Boolean");
    case Variant::Type::Integer: return QStringLiteral("Integer");
    case Variant::Type::Double: return QStringLiteral("Double");
    case Variant::Type::Currency: return QStringLiteral("Currency");
    case Variant::Type::String: return QStringLiteral("String");
    case Variant::Type::Date: return QStringLiteral("Date");
    case Variant::Type::Time: return QStringLiteral("Time");
    case Variant::Type::DateTime: return QStringLiteral("DateTime");
    }
    return QStringLiteral("Unknown");
}

[[noreturn]] void raiseConvert(Variant::Type from, Variant::Type to)
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                            .arg(typeNameOf(from), typeNameOf(to)));
}

[[noreturn]] void raiseOverflow(const char *kind, const QString &value, const char *range)
{
    throw EVariantError(QStringLiteral("%1 overflow: %2 is out of the %3 range")
                            .arg(QLatin1String(kind), value, QLatin1String(range)));
}

// A number written in decimal: value = digits * 10^exponent. Rounding the digits rather than a
// double makes 0.00015 give 0.0002, as written, though its double lies just below the half.
struct Decimal
{
    bool negative = false;
    std::string digits;        // at least one digit
    long exponent = 0;
    bool integral = true;      // written without fraction or exponent
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Accepts [+-]digits[(.|,)digits][(e|E)[+-]digits]; ',' is accepted because users type it
// as the decimal separator. Thousands separators, hex, "inf" and "nan" are not numbers.
std::optional<Decimal> parseDecimal(std::string_view s)
{
    Decimal d;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        d.negative = s[i] == '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits)
        d.digits += s[i];
    long fractionDigits = 0;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        d.integral = false;
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits, ++fractionDigits)
            d.digits += s[i];
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        d.integral = false;
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        if (i >= s.size() || !isDigit(s[i]))
            return std::nullopt;
        // Saturate: anything this far out is zero or an overflow either way.
        for (; i < s.size() && isDigit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1000000L);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != s.size())
        return std::nullopt;
    d.exponent = exponent - fractionDigits;
    return d;
}

std::optional<Decimal> parseDecimal(const QString &text)
{
    const QString trimmed = text.trimmed();
    std::string ascii;
    ascii.reserve(trimmed.size());
    for (QChar c : trimmed) {
        if (c.unicode() >= 128)
            return std::nullopt;
        ascii += char(c.unicode());
    }
    return parseDecimal(ascii);
}

std::string shortestText(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// The decimal value times 10^scale, rounded half away from zero; nullopt when out of range.
std::optional<qint64> scaledValue(const Decimal &d, int scale)
{
    using UInt128 = unsigned __int128;
    const UInt128 limit = UInt128(Int64Max) + (d.negative ? 1 : 0);
    const long shift = d.exponent + scale;
    UInt128 magnitude = 0;
    size_t keep = d.digits.size();
    bool roundUp = false;
    if (shift < 0) {
        const auto dropped = static_cast<size_t>(-shift);
        if (dropped > d.digits.size()) {
            keep = 0;
        } else {
            keep = d.digits.size() - dropped;
            roundUp = d.digits[keep] >= '5';
        }
    }
    for (size_t i = 0; i < keep; ++i) {
        magnitude = magnitude * 10 + UInt128(d.digits[i] - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    for (long i = 0; i < shift; ++i) {
        if (magnitude == 0)
            break;
        magnitude *= 10;
        if (magnitude > limit)
            return std::nullopt;
    }
    if (roundUp)
        ++magnitude;
    if (magnitude > limit)
        return std::nullopt;
    if (d.negative)
        return magnitude == UInt128(Int64Max) + 1 ? Int64Min : -static_cast<qint64>(magnitude);
    return static_cast<qint64>(magnitude);
}

std::optional<double> doubleValue(const Decimal &d)
{
    std::string text = d.negative ? "-" : "";
    text += d.digits;
    text += 'e';
    text += std::to_string(d.exponent);
    double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return v;
}

Int128 divRoundHalfAway(Int128 n, Int128 d)
{
    Int128 q = n / d;
    const Int128 r = n % d;
    const Int128 absR = r < 0 ? -r : r;
    const Int128 absD = d < 0 ? -d : d;
    if (2 * absR >= absD)
        q += ((n < 0) != (d < 0)) ? -1 : 1;
    return q;
}

bool fitsInt64(Int128 v) { return v >= Int64Min && v <= Int64Max; }

QDate parseDate(const QString &s)
{
    QDate d = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
    return d;
}

QTime parseTime(const QString &s)
{
    for (const char *format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm"}) {
        const QTime t = QTime::fromString(s, QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return {};
}

// A date alone means midnight.
QDateTime parseDateTime(const QString &text)
{
    const QString s = text.trimmed();
    qsizetype sep = s.indexOf(QLatin1Char(' '));
    if (sep < 0)
        sep = s.indexOf(QLatin1Char('T'));
    const QDate date = parseDate(sep < 0 ? s : s.left(sep));
    if (!date.isValid())
        return {};
    const QTime time = sep < 0 ? QTime(0, 0) : parseTime(s.mid(sep + 1).trimmed());
    if (!time.isValid())
        return {};
    return QDateTime(date, time);
}

bool isDateKind(Variant::Type t)
{
    return t == Variant::Type::Date || t == Variant::Type::Time || t == Variant::Type::DateTime;
}

// An operand of arithmetic or of a numeric comparison, reduced to one of three kinds.
struct Num
{
    enum Kind { Int, Cur, Dbl } kind = Int;
    qint64 i = 0;      // the integer, or the scaled currency
    double d = 0;

    double asDouble() const
    {
        switch (kind) {
        case Int: return double(i);
        case Cur: return double(i) / double(Variant::CurrencyScale);
        case Dbl: return d;
        }
        return d;
    }
    Int128 asScaled() const { return kind == Cur ? Int128(i) : Int128(i) * Variant::CurrencyScale; }
    bool isZero() const { return kind == Dbl ? d == 0 : i == 0; }
};

std::optional<Num> numFromString(const QString &s)
{
    const auto dec = parseDecimal(s);
    if (!dec)
        return std::nullopt;
    if (dec->integral) {
        if (const auto i = scaledValue(*dec, 0))
            return Num{Num::Int, *i, 0};
    }
    if (const auto d = doubleValue(*dec))
        return Num{Num::Dbl, 0, *d};
    return std::nullopt;
}

// Booleans count as 1/0 rather than Delphi's -1/0: a count of ticked boxes should add up.
// Unassigned counts as 0 so that an untouched field can be summed.
Num toNum(const Variant &v)
{
    switch (v.type()) {
    case Variant::Type::Empty: return Num{Num::Int, 0, 0};
    case Variant::Type::Boolean: return Num{Num::Int, v.toBool() ? 1 : 0, 0};
    case Variant::Type::Integer: return Num{Num::Int, v.toInt64(), 0};
    case Variant::Type::Currency: return Num{Num::Cur, v.toCurrencyScaled(), 0};
    case Variant::Type::Double: return Num{Num::Dbl, 0, v.toDouble()};
    case Variant::Type::String:
        if (const auto n = numFromString(v.toString()))
            return *n;
        break;
    default:
        break;
    }
    raiseConvert(v.type(), Variant::Type::Double);
}

Variant fromNum(const Num &n)
{
    switch (n.kind) {
    case Num::Int: return Variant(n.i);
    case Num::Cur: return Variant::FromCurrency(n.i);
    case Num::Dbl: return Variant(n.d);
    }
    return Variant(n.d);
}

enum class Op { Add, Sub, Mul, Div };

double doubleOp(Op op, double a, double b)
{
    switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    }
    return 0;
}

Variant numericOp(Op op, const Num &a, const Num &b)
{
    if (op == Op::Div && b.isZero())
        throw EZeroDivide();
    // Past the int64 range the result degrades to Double instead of wrapping around.
    const auto asDouble = [&] { return Variant(doubleOp(op, a.asDouble(), b.asDouble())); };

    if (a.kind == Num::Dbl || b.kind == Num::Dbl)
        return asDouble();

    if (a.kind == Num::Int && b.kind == Num::Int) {
        long long r = 0;
        bool overflow = false;
        switch (op) {
        case Op::Add: overflow = __builtin_add_overflow(a.i, b.i, &r); break;
        case Op::Sub: overflow = __builtin_sub_overflow(a.i, b.i, &r); break;
        case Op::Mul: overflow = __builtin_mul_overflow(a.i, b.i, &r); break;
        case Op::Div: return asDouble();
        }
        return overflow ? asDouble() : Variant(qint64(r));
    }

    // Currency with Currency or Integer: exact on the scaled integers, rounded once at the end.
    Int128 scaled = 0;
    switch (op) {
    case Op::Add: scaled = a.asScaled() + b.asScaled(); break;
    case Op::Sub: scaled = a.asScaled() - b.asScaled(); break;
    case Op::Mul:
        // Neither product can leave int128: |int64 * int64| < 2^126.
        scaled = (a.kind == Num::Int || b.kind == Num::Int)
                     ? Int128(a.i) * b.i
                     : divRoundHalfAway(Int128(a.i) * b.i, Variant::CurrencyScale);
        break;
    case Op::Div:
        scaled = b.kind == Num::Int ? divRoundHalfAway(a.i, b.i)
                                    : divRoundHalfAway(a.asScaled() * Variant::CurrencyScale, b.i);
        break;
    }
    if (!fitsInt64(scaled))
        return asDouble();
    return Variant::FromCurrency(qint64(scaled));
}

// Only Date takes part in arithmetic: Date ± days and Date - Date. Time and DateTime have no
// arithmetic of their own, since the database code never needs it and the units would be unclear.
Variant dateOp(Op op, const Variant &a, const Variant &b)
{
    const bool aDate = a.type() == Variant::Type::Date;
    const bool bDate = b.type() == Variant::Type::Date;
    for (const Variant *v : {&a, &b}) {
        if (isDateKind(v->type()) && v->type() != Variant::Type::Date)
            raiseConvert(v->type(), Variant::Type::Double);
    }
    if (op == Op::Mul || op == Op::Div)
        raiseConvert(Variant::Type::Date, Variant::Type::Double);
    if (aDate && bDate) {
        if (op == Op::Add)
            raiseConvert(Variant::Type::Date, Variant::Type::Integer);
        return Variant(qint64(a.toDate().toJulianDay() - b.toDate().toJulianDay()));
    }
    if (bDate && op == Op::Sub)
        raiseConvert(Variant::Type::Date, Variant::Type::Double);
    const Variant &date = aDate ? a : b;
    const Variant &other = aDate ? b : a;
    const Num days = toNum(other);
    if (days.kind != Num::Int)
        raiseConvert(other.type(), Variant::Type::Integer);
    if (op == Op::Sub && days.i == Int64Min)
        throw EVariantError(QStringLiteral("Date out of range"));
    const QDate result = date.toDate().addDays(op == Op::Sub ? -days.i : days.i);
    if (!result.isValid())
        throw EVariantError(QStringLiteral("Date out of range"));
    return Variant(result);
}

Variant arithmetic(Op op, const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull())
        return Variant::Null();
    if (isDateKind(a.type()) || isDateKind(b.type()))
        return dateOp(op, a, b);
    return numericOp(op, toNum(a), toNum(b));
}

std::partial_ordering compareDoubleInt(double d, qint64 i)
{
    if (std::isnan(d))
        return std::partial_ordering::unordered;
    if (d >= 9223372036854775808.0)
        return std::partial_ordering::greater;
    if (d < -9223372036854775808.0)
        return std::partial_ordering::less;
    // Exact: a large integer must not become equal to its nearest double.
    const double t = std::trunc(d);
    const auto ti = static_cast<qint64>(t);
    if (ti != i)
        return ti <=> i;
    return (d - t) <=> 0.0;
}

std::partial_ordering compareNums(const Num &a, const Num &b)
{
    if (a.kind == Num::Dbl && b.kind == Num::Dbl)
        return a.d <=> b.d;
    if (a.kind == Num::Dbl || b.kind == Num::Dbl) {
        const bool swapped = b.kind == Num::Dbl;
        const Num &dbl = swapped ? b : a;
        const Num &other = swapped ? a : b;
        // Currency against Double goes through the currency's double so that 0.1 == 0.1
        // whichever way it was stored.
        const std::partial_ordering r = other.kind == Num::Int ? compareDoubleInt(dbl.d, other.i)
                                                               : dbl.d <=> other.asDouble();
        return swapped ? 0 <=> r : r;
    }
    return a.asScaled() <=> b.asScaled();
}

bool isNumberLike(Variant::Type t)
{
    return t == Variant::Type::Integer || t == Variant::Type::Double || t == Variant::Type::Currency
        || t == Variant::Type::Boolean;
}

std::optional<Num> boolWordAsNum(const QString &s)
{
    const QString t = s.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return Num{Num::Int, 1, 0};
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return Num{Num::Int, 0, 0};
    return std::nullopt;
}

// The form a string takes next to a non-string; nullopt when it has none.
std::optional<Num> stringAsNumberFor(const QString &s, Variant::Type other)
{
    if (other == Variant::Type::Boolean) {
        if (const auto b = boolWordAsNum(s))
            return b;
    }
    return numFromString(s);
}

template <typename T>
std::partial_ordering compareOrdered(const T &a, const T &b)
{
    if (a == b)
        return std::partial_ordering::equivalent;
    return a < b ? std::partial_ordering::less : std::partial_ordering::greater;
}

// Values of a common form compare; anything else is unordered and, when raise is set,
// reported as the conversion that would have been needed.
std::optional<std::partial_ordering> compareValues(const Variant &a, const Variant &b, bool raise)
{
    const Variant::Type ta = a.type();
    const Variant::Type tb = b.type();
    const auto fail = [&](Variant::Type from, Variant::Type to) -> std::optional<std::partial_ordering> {
        if (raise)
            raiseConvert(from, to);
        return std::nullopt;
    };

    if (ta == Variant::Type::String && tb == Variant::Type::String)
        return a.toString().compare(b.toString()) <=> 0;

    if (isNumberLike(ta) || isNumberLike(tb)) {
        std::optional<Num> na;
        std::optional<Num> nb;
        if (isNumberLike(ta))
            na = toNum(a);
        else if (ta == Variant::Type::String)
            na = stringAsNumberFor(a.toString(), tb);
        else
            return fail(ta, tb);
        if (isNumberLike(tb))
            nb = toNum(b);
        else if (tb == Variant::Type::String)
            nb = stringAsNumberFor(b.toString(), ta);
        else
            return fail(tb, ta);
        if (!na)
            return fail(ta, Variant::Type::Double);
        if (!nb)
            return fail(tb, Variant::Type::Double);
        return compareNums(*na, *nb);
    }

    // From here on at least one side is a date, time or date-time.
    if (ta == Variant::Type::String || tb == Variant::Type::String) {
        const bool stringFirst = ta == Variant::Type::String;
        const QString s = (stringFirst ? a : b).toString();
        const Variant &dated = stringFirst ? b : a;
        Variant parsed;
        switch (dated.type()) {
        case Variant::Type::Date: parsed = Variant(parseDate(s.trimmed())); break;
        case Variant::Type::Time: parsed = Variant(parseTime(s.trimmed())); break;
        default: parsed = Variant(parseDateTime(s)); break;
        }
        if (parsed.isNull())
            return fail(Variant::Type::String, dated.type());
        return stringFirst ? compareValues(parsed, dated, raise) : compareValues(dated, parsed, raise);
    }

    if (ta == Variant::Type::Time || tb == Variant::Type::Time) {
        if (ta != tb)
            return fail(tb, ta);
        return compareOrdered(a.toTime(), b.toTime());
    }
    if (ta == Variant::Type::Date && tb == Variant::Type::Date)
        return compareOrdered(a.toDate(), b.toDate());
    return compareOrdered(a.toDateTime(), b.toDateTime());
}

// Unassigned sorts first, then Null, then every value.
int stateRank(const Variant &v) { return v.isEmpty() ? 0 : v.isNull() ? 1 : 2; }

} // namespace

Variant::Variant(bool v) : FType(Type::Boolean), FValue(v) {}
Variant::Variant(int v) : FType(Type::Integer), FValue(qint64(v)) {}
Variant::Variant(qint64 v) : FType(Type::Integer), FValue(v) {}
Variant::Variant(double v) : FType(Type::Double), FValue(v) {}
Variant::Variant(const QString &v) : FType(Type::String), FValue(v) {}
Variant::Variant(const char *v) : FType(Type::String), FValue(QString::fromUtf8(v)) {}

// An invalid QDate/QTime/QDateTime is Qt's way of saying "no value", so it becomes Null
// rather than a date that every conversion would have to special-case.
Variant::Variant(const QDate &v) : FType(v.isValid() ? Type::Date : Type::Null)
{
    if (v.isValid())
        FValue = v;
}

Variant::Variant(const QTime &v) : FType(v.isValid() ? Type::Time : Type::Null)
{
    if (v.isValid())
        FValue = v;
}

Variant::Variant(const QDateTime &v) : FType(v.isValid() ? Type::DateTime : Type::Null)
{
    if (v.isValid())
        FValue = v;
}

Variant Variant::Null()
{
    Variant v;
    v.FType = Type::Null;
    return v;
}

Variant Variant::FromCurrency(qint64 scaled)
{
    Variant v;
    v.FType = Type::Currency;
    v.FValue = scaled;
    return v;
}

Variant Variant::FromCurrency(double value)
{
    return FromCurrency(Variant(value).toCurrencyScaled());
}

QString Variant::typeName() const
{
    return typeNameOf(FType);
}

bool Variant::toBool() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Boolean: return std::get<bool>(FValue);
    case Type::Integer:
    case Type::Currency: return std::get<qint64>(FValue) != 0;
    case Type::Double: return std::get<double>(FValue) != 0;
    case Type::String: {
        const QString &s = std::get<QString>(FValue);
        if (const auto b = boolWordAsNum(s))
            return b->i != 0;
        if (const auto n = numFromString(s))
            return !n->isZero();
        break;
    }
    default:
        break;
    }
    raiseConvert(FType, Type::Boolean);
}

// Half away from zero, where Delphi's variants round to even: users expect 2.5 to give 3.
qint64 Variant::toInt64() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Boolean: return std::get<bool>(FValue) ? 1 : 0;
    case Type::Integer: return std::get<qint64>(FValue);
    case Type::Currency: {
        const qint64 c = std::get<qint64>(FValue);
        return qint64(divRoundHalfAway(c, CurrencyScale));
    }
    case Type::Double:
    case Type::String: {
        const auto dec = FType == Type::Double ? parseDecimal(shortestText(std::get<double>(FValue)))
                                               : parseDecimal(std::get<QString>(FValue));
        if (!dec)
            break;
        if (const auto v = scaledValue(*dec, 0))
            return *v;
        raiseOverflow("Integer", toString(), "64-bit integer");
    }
    default:
        break;
    }
    raiseConvert(FType, Type::Integer);
}

int Variant::toInt() const
{
    const qint64 v = toInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        raiseOverflow("Integer", QString::number(v), "32-bit integer");
    return int(v);
}

double Variant::toDouble() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Boolean: return std::get<bool>(FValue) ? 1 : 0;
    case Type::Integer: return double(std::get<qint64>(FValue));
    case Type::Currency: return double(std::get<qint64>(FValue)) / double(CurrencyScale);
    case Type::Double: return std::get<double>(FValue);
    case Type::String:
        if (const auto dec = parseDecimal(std::get<QString>(FValue))) {
            if (const auto d = doubleValue(*dec))
                return *d;
        }
        break;
    default:
        break;
    }
    raiseConvert(FType, Type::Double);
}

qint64 Variant::toCurrencyScaled() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Boolean: return std::get<bool>(FValue) ? CurrencyScale : 0;
    case Type::Currency: return std::get<qint64>(FValue);
    case Type::Integer: {
        const Int128 v = Int128(std::get<qint64>(FValue)) * CurrencyScale;
        if (!fitsInt64(v))
            raiseOverflow("Currency", toString(), "currency");
        return qint64(v);
    }
    case Type::Double:
    case Type::String: {
        const auto dec = FType == Type::Double ? parseDecimal(shortestText(std::get<double>(FValue)))
                                               : parseDecimal(std::get<QString>(FValue));
        if (!dec)
            break;
        if (const auto v = scaledValue(*dec, 4))
            return *v;
        raiseOverflow("Currency", toString(), "currency");
    }
    default:
        break;
    }
    raiseConvert(FType, Type::Currency);
}

QString Variant::toString() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Boolean: return std::get<bool>(FValue) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer: return QString::number(std::get<qint64>(FValue));
    case Type::Double: {
        const double d = std::get<double>(FValue);
        // A negative zero is an artefact of the arithmetic, not something to show a user.
        return QString::fromStdString(shortestText(d == 0 ? 0.0 : d));
    }
    case Type::Currency: {
        const qint64 c = std::get<qint64>(FValue);
        const quint64 magnitude = c < 0 ? quint64(0) - quint64(c) : quint64(c);
        QString s = QString::number(magnitude / CurrencyScale);
        if (const quint64 fraction = magnitude % CurrencyScale) {
            QString digits = QString::number(fraction).rightJustified(4, QLatin1Char('0'));
            while (digits.endsWith(QLatin1Char('0')))
                digits.chop(1);
            s += QLatin1Char('.') + digits;
        }
        return c < 0 ? QLatin1Char('-') + s : s;
    }
    case Type::String: return std::get<QString>(FValue);
    case Type::Date: return std::get<QDate>(FValue).toString(QStringLiteral("yyyy-MM-dd"));
    case Type::Time: {
        const QTime &t = std::get<QTime>(FValue);
        return t.toString(t.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
    }
    case Type::DateTime: {
        const QDateTime &dt = std::get<QDateTime>(FValue);
        return dt.toString(dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                            : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    }
    raiseConvert(FType, Type::String);
}

QDate Variant::toDate() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Date: return std::get<QDate>(FValue);
    case Type::DateTime: return std::get<QDateTime>(FValue).date();
    case Type::String: {
        const QDateTime dt = parseDateTime(std::get<QString>(FValue));
        if (dt.isValid())
            return dt.date();
        break;
    }
    default:
        break;
    }
    raiseConvert(FType, Type::Date);
}

QTime Variant::toTime() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::Time: return std::get<QTime>(FValue);
    case Type::DateTime: return std::get<QDateTime>(FValue).time();
    case Type::String: {
        const QTime t = parseTime(std::get<QString>(FValue).trimmed());
        if (t.isValid())
            return t;
        break;
    }
    default:
        break;
    }
    raiseConvert(FType, Type::Time);
}

QDateTime Variant::toDateTime() const
{
    switch (FType) {
    case Type::Empty: raiseEmpty();
    case Type::Null: raiseNull();
    case Type::DateTime: return std::get<QDateTime>(FValue);
    case Type::Date: return QDateTime(std::get<QDate>(FValue), QTime(0, 0));
    case Type::String: {
        const QDateTime dt = parseDateTime(std::get<QString>(FValue));
        if (dt.isValid())
            return dt;
        break;
    }
    default:
        break;
    }
    raiseConvert(FType, Type::DateTime);
}

Variant Variant::operator+(const Variant &r) const { return arithmetic(Op::Add, *this, r); }
Variant Variant::operator-(const Variant &r) const { return arithmetic(Op::Sub, *this, r); }
Variant Variant::operator*(const Variant &r) const { return arithmetic(Op::Mul, *this, r); }
Variant Variant::operator/(const Variant &r) const { return arithmetic(Op::Div, *this, r); }

Variant Variant::operator-() const
{
    if (isNull())
        return Null();
    if (isDateKind(FType))
        raiseConvert(FType, Type::Double);
    Num n = toNum(*this);
    if (n.kind == Num::Dbl)
        return Variant(-n.d);
    if (n.i == Int64Min)
        return Variant(-n.asDouble());
    n.i = -n.i;
    return fromNum(n);
}

bool Variant::operator==(const Variant &r) const
{
    if (isEmptyOrNull() || r.isEmptyOrNull())
        return FType == r.FType;
    // Codes and keys compare with codes and keys, texts with texts, all the time: the same kind
    // needs no common form.
    if (FType == r.FType) {
        switch (FType) {
        case Type::Integer:
        case Type::Currency:
            return std::get<qint64>(FValue) == std::get<qint64>(r.FValue);
        case Type::String:
            return std::get<QString>(FValue) == std::get<QString>(r.FValue);
        default:
            break;
        }
    }
    const auto c = compareValues(*this, r, false);
    return c && *c == 0;
}

bool Variant::operator<(const Variant &r) const
{
    if (isEmptyOrNull() || r.isEmptyOrNull())
        return stateRank(*this) < stateRank(r);
    return *compareValues(*this, r, true) < 0;
}

QString VarDebugText(const Variant &v)
{
    switch (v.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return v.typeName();
    case Variant::Type::String: return QStringLiteral("String(\"%1\")").arg(v.toString());
    default: return QStringLiteral("%1(%2)").arg(v.typeName(), v.toString());
    }
}
