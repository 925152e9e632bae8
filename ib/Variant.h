#pragma once

#include "Exception.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <variant>

// The one value type of the system: a field value, a parameter, a result column.
// Unassigned (empty) and Null are distinct states; Null means "no value".
class Variant
{
public:
    enum class Type { Empty, Null, Boolean, Integer, Double, Currency, String, Date, Time, DateTime };

    // Currency is a fixed-point number: the integer holds the value times 10^4.
    static constexpr qint64 CurrencyScale = 10000;

    Variant() = default;                       // Unassigned
    Variant(bool v);
    Variant(int v);
    Variant(qint64 v);
    Variant(double v);
    Variant(const QString &v);
    Variant(const char *v);                    // UTF-8
    Variant(const QDate &v);
    Variant(const QTime &v);
    Variant(const QDateTime &v);

    static Variant Null();
    static Variant Unassigned() { return Variant(); }
    static Variant FromCurrency(qint64 scaled);        // scaled by 10^4
    static Variant FromCurrency(double value);         // rounded half away from zero to 4 decimals

    Type type() const { return FType; }
    bool isEmpty() const { return FType == Type::Empty; }
    bool isNull() const { return FType == Type::Null; }
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }
    bool isNumeric() const { return FType == Type::Integer || FType == Type::Double || FType == Type::Currency; }
    QString typeName() const;

    // Conversions. Each raises EVariantError "Variant is null" / "Variant is empty"
    // on those states and a conversion error when the value has no such form.
    bool toBool() const;          // numbers: non-zero; strings: "true"/"false" or a number
    qint64 toInt64() const;       // doubles and currency round half away from zero; strings are parsed
    int toInt() const;            // toInt64, range-checked
    double toDouble() const;
    qint64 toCurrencyScaled() const;  // value times 10^4, rounded half away from zero
    QString toString() const;     // '.' as decimal separator, shortest form; dates ISO (yyyy-MM-dd)
    QDate toDate() const;
    QTime toTime() const;
    QDateTime toDateTime() const;

    // Arithmetic as variants do it: a Null operand gives Null; Unassigned counts as 0;
    // Integer op Integer stays Integer (except '/'), Currency stays Currency unless a
    // Double takes part; strings are converted to numbers; division by zero raises EZeroDivide.
    Variant operator+(const Variant &r) const;
    Variant operator-(const Variant &r) const;
    Variant operator*(const Variant &r) const;
    Variant operator/(const Variant &r) const;
    Variant operator-() const;

    // Equality: Null equals only Null, Unassigned only Unassigned; numbers compare by value
    // across Integer, Double and Currency; strings exactly; dates by value.
    bool operator==(const Variant &r) const;
    bool operator!=(const Variant &r) const { return !(*this == r); }
    // Ordering: Null and Unassigned sort before any value; otherwise as equality.
    bool operator<(const Variant &r) const;

private:
    Type FType = Type::Empty;
    std::variant<std::monostate, bool, qint64, double, QString, QDate, QTime, QDateTime> FValue;
};

// Readable form for test failure messages.
QString VarDebugText(const Variant &v);
