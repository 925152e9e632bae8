#include "XSqlda.h"

#include "FbStatus.h"
#include "IBError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <cstdlib>
#include <cstring>

namespace {

constexpr qint64 JulianDayOfIscDateZero = 2400001; // 1858-11-17
constexpr int IscTimeUnitsPerMs = 10;               // ISC_TIME counts 1/10000 s

qint64 PowerOf10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Rescales a currency value (4 decimals) to `decimals` decimals, rounding half away from zero.
qint64 RescaleCurrency(qint64 scaled, int decimals)
{
    if (decimals >= 4)
        return scaled * PowerOf10(decimals - 4);
    const qint64 divisor = PowerOf10(4 - decimals);
    const qint64 q = scaled / divisor;
    const qint64 r = scaled % divisor;
    if (2 * std::abs(r) >= divisor)
        return scaled < 0 ? q - 1 : q + 1;
    return q;
}

// Rounds the number as it reads in its shortest decimal form, so that -1.005 goes to -1.01
// the way a user who typed it expects, not to the -1.00 its binary approximation suggests.
qint64 RoundDecimal(double value, int decimals)
{
    if (!std::isfinite(value) || std::fabs(value) * double(PowerOf10(decimals)) >= 9.2e18)
        throw EVariantError(QStringLiteral("Число %1 не помещается в поле.").arg(value));
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (ec != std::errc())
        throw EVariantError(QStringLiteral("Число %1 не помещается в поле.").arg(value));
    const std::string_view digits(text, size_t(end - text));
    const bool negative = digits.front() == '-';
    const size_t point = digits.find('.');
    const std::string_view whole = digits.substr(negative ? 1 : 0, point == std::string_view::npos
                                                                         ? std::string_view::npos
                                                                         : point - (negative ? 1 : 0));
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    qint64 result = 0;
    for (char c : whole)
        result = result * 10 + (c - '0');
    for (int i = 0; i < decimals; ++i)
        result = result * 10 + (size_t(i) < fraction.size() ? fraction[size_t(i)] - '0' : 0);
    if (size_t(decimals) < fraction.size() && fraction[size_t(decimals)] >= '5')
        ++result;
    return negative ? -result : result;
}

qint64 ScaledInteger(const Variant &value, int decimals)
{
    switch (value.type()) {
    case Variant::Type::Integer:
        return value.toInt64() * PowerOf10(decimals);
    case Variant::Type::Boolean:
        return (value.toBool() ? 1 : 0) * PowerOf10(decimals);
    case Variant::Type::Double:
        return RoundDecimal(value.toDouble(), decimals);
    default:
        return RescaleCurrency(value.toCurrencyScaled(), decimals);
    }
}

ISC_DATE ToIscDate(const QDate &d)
{
    return ISC_DATE(d.toJulianDay() - JulianDayOfIscDateZero);
}

ISC_TIME ToIscTime(const QTime &t)
{
    return ISC_TIME(t.msecsSinceStartOfDay()) * IscTimeUnitsPerMs;
}

QDate FromIscDate(ISC_DATE d)
{
    return QDate::fromJulianDay(qint64(d) + JulianDayOfIscDateZero);
}

QTime FromIscTime(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / IscTimeUnitsPerMs));
}

template <typename T>
T Read(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void Write(char *p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

Variant ScaledValue(qint64 raw, int scale)
{
    if (scale == 0)
        return Variant(raw);
    if (scale >= -4)
        return Variant::FromCurrency(raw * PowerOf10(4 + scale));
    return Variant(double(raw) / double(PowerOf10(-scale)));
}

// Blob handles live only inside these helpers; an exception never leaks one.
class TBlob
{
public:
    ~TBlob()
    {
        if (FHandle) {
            ISC_STATUS_ARRAY status;
            isc_cancel_blob(status, &FHandle);
        }
    }
    isc_blob_handle FHandle = 0;
    void Close()
    {
        ISC_STATUS_ARRAY status;
        isc_close_blob(status, &FHandle);
        CheckStatus(status);
        FHandle = 0;
    }
};

QString ReadTextBlob(ISC_QUAD id, isc_db_handle *db, isc_tr_handle *tr)
{
    ISC_STATUS_ARRAY status;
    TBlob blob;
    isc_open_blob2(status, db, tr, &blob.FHandle, &id, 0, nullptr);
    CheckStatus(status);
    QByteArray bytes;
    char segment[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &blob.FHandle, &got, sizeof segment, segment);
        if (rc == isc_segstr_eof)
            break;
        if (rc != 0 && rc != isc_segment)
            CheckStatus(status);
        bytes.append(segment, got);
    }
    blob.Close();
    return QString::fromUtf8(bytes);
}

ISC_QUAD WriteTextBlob(const QString &text, isc_db_handle *db, isc_tr_handle *tr)
{
    ISC_STATUS_ARRAY status;
    TBlob blob;
    ISC_QUAD id{};
    isc_create_blob2(status, db, tr, &blob.FHandle, &id, 0, nullptr);
    CheckStatus(status);
    const QByteArray bytes = text.toUtf8();
    constexpr qsizetype SegmentSize = 32000;
    for (qsizetype at = 0; at < bytes.size(); at += SegmentSize) {
        const auto len = static_cast<unsigned short>(std::min(SegmentSize, bytes.size() - at));
        isc_put_segment(status, &blob.FHandle, len, bytes.constData() + at);
        CheckStatus(status);
    }
    blob.Close();
    return id;
}

} // namespace

TXSqlda::TXSqlda() = default;

TXSqlda::~TXSqlda()
{
    Describe(nullptr);
}

void TXSqlda::Describe(Firebird::IMessageMetadata *metadata)
{
    if (FMetadata)
        FMetadata->release();
    if (FSent)
        FSent->release();
    FMetadata = metadata;
    FSent = nullptr;
    FSentShape.clear();
    int n = 0;
    if (metadata) {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        n = int(metadata->getCount(&status));
        CheckStatus(status);
    }
    FVars.assign(size_t(n), XSQLVAR{});
    FNames.assign(size_t(n), QString());
    FDescribedTypes.resize(size_t(n));
    FDescribedLengths.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        const auto u = unsigned(i);
        XSQLVAR &v = Var(i);
        v.sqltype = short(metadata->getType(&status, u) | (metadata->isNullable(&status, u) ? 1 : 0));
        v.sqlsubtype = short(metadata->getSubType(&status, u));
        v.sqlscale = short(metadata->getScale(&status, u));
        v.sqllen = short(metadata->getLength(&status, u));
        FNames[size_t(i)] = QString::fromUtf8(metadata->getAlias(&status, u));
        CheckStatus(status);
        FDescribedTypes[size_t(i)] = short(v.sqltype & ~1);
        FDescribedLengths[size_t(i)] = v.sqllen;
    }
    FBuffers.assign(size_t(n), {});
    FIndicators.assign(size_t(n), -1);
    FMessage.clear();
}

void TXSqlda::BindBuffer(int i, int bytes)
{
    auto &buffer = FBuffers[size_t(i)];
    if (buffer.size() < size_t(bytes))
        buffer.resize(size_t(bytes));
    XSQLVAR &v = Var(i);
    v.sqldata = buffer.data();
    v.sqlind = &FIndicators[size_t(i)];
}

void TXSqlda::BindOutput()
{
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FMessage.assign(FMetadata ? FMetadata->getMessageLength(&status) : 0, 0);
    for (int i = 0; i < Count(); ++i) {
        XSQLVAR &v = Var(i);
        v.sqldata = reinterpret_cast<char *>(FMessage.data() + FMetadata->getOffset(&status, unsigned(i)));
        v.sqlind = reinterpret_cast<short *>(FMessage.data() + FMetadata->getNullOffset(&status, unsigned(i)));
    }
    CheckStatus(status);
}

bool TXSqlda::SentShapeHolds() const
{
    if (!FSent)
        return false;
    for (int i = 0; i < Count(); ++i) {
        const XSQLVAR &v = Var(i), &sent = FSentShape[size_t(i)];
        if (v.sqltype != sent.sqltype || v.sqllen != sent.sqllen || v.sqlscale != sent.sqlscale)
            return false;
    }
    return true;
}

Firebird::IMessageMetadata *TXSqlda::InputMessage()
{
    if (!SentShapeHolds()) {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        Firebird::IMetadataBuilder *builder = FMetadata->getBuilder(&status);
        CheckStatus(status);
        for (int i = 0; i < Count(); ++i) {
            const XSQLVAR &v = Var(i);
            builder->setType(&status, unsigned(i), unsigned(v.sqltype));
            builder->setLength(&status, unsigned(i), unsigned(v.sqllen));
            builder->setScale(&status, unsigned(i), v.sqlscale);
        }
        Firebird::IMessageMetadata *sent = Failed(status) ? nullptr : builder->getMetadata(&status);
        builder->release();
        CheckStatus(status);
        if (FSent)
            FSent->release();
        FSent = sent;
        FSentShape = FVars;
    }
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FMessage.assign(FSent->getMessageLength(&status), 0);
    for (int i = 0; i < Count(); ++i) {
        const XSQLVAR &v = Var(i);
        unsigned char *data = FMessage.data() + FSent->getOffset(&status, unsigned(i));
        const short null = *v.sqlind < 0 ? -1 : 0;
        std::memcpy(FMessage.data() + FSent->getNullOffset(&status, unsigned(i)), &null, sizeof null);
        if (null == 0) {
            const bool varying = (v.sqltype & ~1) == SQL_VARYING;
            std::memcpy(data, v.sqldata, varying ? size_t(2 + Read<unsigned short>(v.sqldata)) : size_t(v.sqllen));
        }
    }
    CheckStatus(status);
    return FSent;
}

void TXSqlda::SetInput(int i, const Variant &value, isc_db_handle *db, isc_tr_handle *tr)
{
    XSQLVAR &v = Var(i);
    const short described = FDescribedTypes[size_t(i)];
    v.sqllen = FDescribedLengths[size_t(i)];
    if (value.isEmptyOrNull()) {
        v.sqltype = short((described == SQL_NULL ? SQL_VARYING : described) | 1);
        BindBuffer(i, v.sqllen + 2);
        FIndicators[size_t(i)] = -1;
        return;
    }
    FIndicators[size_t(i)] = 0;
    switch (described) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        // Sent as a 64-bit integer of the same scale; the server checks the range.
        v.sqltype = SQL_INT64 | 1;
        v.sqllen = sizeof(ISC_INT64);
        BindBuffer(i, v.sqllen);
        Write<ISC_INT64>(v.sqldata, ScaledInteger(value, -v.sqlscale));
        return;
    }
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        v.sqltype = SQL_DOUBLE | 1;
        v.sqllen = sizeof(double);
        BindBuffer(i, v.sqllen);
        Write<double>(v.sqldata, value.toDouble());
        return;
    case SQL_TYPE_DATE:
        v.sqltype = SQL_TYPE_DATE | 1;
        BindBuffer(i, sizeof(ISC_DATE));
        Write<ISC_DATE>(v.sqldata, ToIscDate(value.toDate()));
        return;
    case SQL_TYPE_TIME:
        v.sqltype = SQL_TYPE_TIME | 1;
        BindBuffer(i, sizeof(ISC_TIME));
        Write<ISC_TIME>(v.sqldata, ToIscTime(value.toTime()));
        return;
    case SQL_TIMESTAMP: {
        const QDateTime dt = value.toDateTime();
        v.sqltype = SQL_TIMESTAMP | 1;
        BindBuffer(i, sizeof(ISC_TIMESTAMP));
        Write<ISC_TIMESTAMP>(v.sqldata, ISC_TIMESTAMP{ToIscDate(dt.date()), ToIscTime(dt.time())});
        return;
    }
    case SQL_BOOLEAN:
        v.sqltype = SQL_BOOLEAN | 1;
        BindBuffer(i, 1);
        v.sqldata[0] = value.toBool() ? 1 : 0;
        return;
    case SQL_BLOB:
        v.sqltype = SQL_BLOB | 1;
        BindBuffer(i, sizeof(ISC_QUAD));
        Write<ISC_QUAD>(v.sqldata, WriteTextBlob(value.toString(), db, tr));
        return;
    default: {
        // Text, and parameters whose type the server leaves open: sent as varying text.
        const QByteArray bytes = value.toString().toUtf8();
        if (bytes.size() > 32765)
            throw EVariantError(QStringLiteral("Слишком длинная строка для параметра (%1 байт).").arg(bytes.size()));
        v.sqltype = SQL_VARYING | 1;
        // At least the described size, so that texts of other lengths send the same layout.
        v.sqllen = short(std::max<qsizetype>(FDescribedLengths[size_t(i)], bytes.size()));
        BindBuffer(i, int(bytes.size()) + 2);
        Write<short>(v.sqldata, short(bytes.size()));
        std::memcpy(v.sqldata + 2, bytes.constData(), size_t(bytes.size()));
        return;
    }
    }
}

Variant TXSqlda::Value(int i, isc_db_handle *db, isc_tr_handle *tr) const
{
    if (IsNull(i))
        return Variant::Null();
    const XSQLVAR &v = Var(i);
    const char *p = v.sqldata;
    switch (FDescribedTypes[size_t(i)]) {
    case SQL_TEXT: {
        qsizetype len = v.sqllen;
        while (len > 0 && p[len - 1] == ' ')
            --len;
        return Variant(QString::fromUtf8(p, len));
    }
    case SQL_VARYING:
        return Variant(QString::fromUtf8(p + 2, Read<short>(p)));
    case SQL_SHORT:
        return ScaledValue(Read<short>(p), v.sqlscale);
    case SQL_LONG:
        return ScaledValue(Read<ISC_LONG>(p), v.sqlscale);
    case SQL_INT64:
        return ScaledValue(Read<ISC_INT64>(p), v.sqlscale);
    case SQL_FLOAT:
        return Variant(double(Read<float>(p)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Variant(Read<double>(p));
    case SQL_TYPE_DATE:
        return Variant(FromIscDate(Read<ISC_DATE>(p)));
    case SQL_TYPE_TIME:
        return Variant(FromIscTime(Read<ISC_TIME>(p)));
    case SQL_TIMESTAMP: {
        const auto ts = Read<ISC_TIMESTAMP>(p);
        return Variant(QDateTime(FromIscDate(ts.timestamp_date), FromIscTime(ts.timestamp_time)));
    }
    case SQL_BOOLEAN:
        return Variant(p[0] != 0);
    case SQL_BLOB:
        return Variant(ReadTextBlob(Read<ISC_QUAD>(p), db, tr));
    default:
        throw EVariantError(QStringLiteral("Тип столбца \"%1\" (%2) не поддерживается.")
                                .arg(Name(i))
                                .arg(FDescribedTypes[size_t(i)]));
    }
}
