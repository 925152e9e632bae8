#include "Func.h"

#include <QSet>
#include <algorithm>
#include <cstdio>

ExceptionPos ExceptionPos::Fmt(const QString &format, const QList<Variant> &args, QObject *parent)
{
    return ExceptionPos(Format(format, args), parent);
}

namespace {

// Reads an argument index written as "%N:" at `at` (just after the percent sign); moves `at`
// past it. Returns -1, leaving `at` alone, when there is none.
qsizetype ArgumentIndex(const QString &format, qsizetype &at)
{
    qsizetype end = at;
    while (end < format.size() && format[end].isDigit() && format[end].unicode() < 128)
        ++end;
    if (end == at || end >= format.size() || format[end] != QLatin1Char(':'))
        return -1;
    const qsizetype index = format.mid(at, end - at).toLongLong();
    at = end + 1;
    return index;
}

} // namespace

QString Format(const QString &format, const QList<Variant> &args)
{
    QString result;
    result.reserve(format.size() + 16 * args.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            result += c;
            continue;
        }
        ++i;
        if (format[i] == QLatin1Char('%')) {
            result += format[i];
            continue;
        }
        const qsizetype index = ArgumentIndex(format, i);
        if (index >= 0)
            next = index;
        if (i >= format.size())
            throw Exception(QStringLiteral("Format: неполный формат в \"%1\".").arg(format));
        const QChar spec = format[i];
        if (next >= args.size())
            throw Exception(QStringLiteral("Format: не хватает аргументов для \"%1\".").arg(format));
        const Variant &arg = args[next++];
        if (spec == QLatin1Char('d'))
            result += QString::number(arg.toInt64());
        else if (spec == QLatin1Char('g'))
            result += Variant(arg.toDouble()).toString();
        else if (spec == QLatin1Char('s'))
            result += arg.isNull() ? QString() : arg.toString();
        else
            throw Exception(QStringLiteral("Format: неизвестный формат \"%%1\".").arg(spec));
    }
    return result;
}

namespace {

// The words the database refuses as unquoted names (Firebird 3; each one was tried as a
// column name against the engine).
const QSet<QString> &ReservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char *word :
             {"ADD", "ADMIN", "ALL", "ALTER", "AND", "ANY", "AS", "AT", "AVG", "BEGIN", "BETWEEN", "BIGINT",
              "BIT_LENGTH", "BLOB", "BOOLEAN", "BOTH", "BY", "CASE", "CAST", "CHAR", "CHARACTER",
              "CHARACTER_LENGTH", "CHAR_LENGTH", "CHECK", "CLOSE", "COLLATE", "COLUMN", "COMMIT", "CONNECT",
              "CONSTRAINT", "CORR", "COUNT", "COVAR_POP", "COVAR_SAMP", "CREATE", "CROSS", "CURRENT",
              "CURRENT_CONNECTION", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
              "CURRENT_TRANSACTION", "CURRENT_USER", "CURSOR", "DATE", "DAY", "DEC", "DECIMAL", "DECLARE",
              "DEFAULT", "DELETE", "DELETING", "DETERMINISTIC", "DISCONNECT", "DISTINCT", "DOUBLE", "DROP",
              "ELSE", "END", "ESCAPE", "EXECUTE", "EXISTS", "EXTERNAL", "EXTRACT", "FALSE", "FETCH", "FILTER",
              "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION", "GDSCODE", "GLOBAL", "GRANT", "GROUP",
              "HAVING", "HOUR", "IN", "INDEX", "INNER", "INSENSITIVE", "INSERT", "INSERTING", "INT", "INTEGER",
              "INTO", "IS", "JOIN", "LEADING", "LEFT", "LIKE", "LOCALTIME", "LOCALTIMESTAMP", "LONG", "LOWER",
              "MAX", "MERGE", "MIN", "MINUTE", "MONTH", "NATIONAL", "NATURAL", "NCHAR", "NO", "NOT", "NULL",
              "NUMERIC", "OCTET_LENGTH", "OF", "OFFSET", "ON", "ONLY", "OPEN", "OR", "ORDER", "OUTER", "OVER",
              "PARAMETER", "PLAN", "POSITION", "POST_EVENT", "PRECISION", "PRIMARY", "PROCEDURE",
              "REAL", "RECORD_VERSION", "RECREATE", "RECURSIVE",
              "REFERENCES", "REGR_AVGX", "REGR_AVGY", "REGR_COUNT", "REGR_INTERCEPT", "REGR_R2",
              "REGR_SLOPE", "REGR_SXX", "REGR_SXY", "REGR_SYY", "RELEASE", "RETURN", "RETURNING_VALUES",
              "RETURNS", "REVOKE", "RIGHT", "ROLLBACK", "ROW", "ROWS", "ROW_COUNT", "SAVEPOINT", "SCROLL",
              "SECOND", "SELECT", "SENSITIVE", "SET", "SIMILAR", "SMALLINT", "SOME", "SQLCODE", "SQLSTATE",
              "START", "STDDEV_POP", "STDDEV_SAMP", "SUM", "TABLE", "THEN", "TIME", "TIMESTAMP", "TO",
              "TRAILING", "TRIGGER", "TRIM", "TRUE", "UNION", "UNIQUE", "UNKNOWN", "UPDATE", "UPDATING",
              "UPPER", "USER", "USING", "VALUE", "VALUES", "VARCHAR", "VARIABLE", "VARYING", "VAR_POP",
              "VAR_SAMP", "VIEW", "WHEN", "WHERE", "WHILE", "WITH", "YEAR"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

bool IsAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool IsIdentifierChar(QChar c)
{
    return IsAsciiLetter(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') ||
           c == QLatin1Char('$');
}

// The beginnings of the names the database keeps for its own tables, columns and the like.
const char *const SystemPrefixes[] = {"RDB$", "MON$", "SEC$"};

} // namespace

QString IdentifierFault(const QString &AName)
{
    if (AName.isEmpty())
        return QStringLiteral("имя не указано");
    if (!IsAsciiLetter(AName[0]) || !std::all_of(AName.begin(), AName.end(), IsIdentifierChar))
        return Format(QStringLiteral("имя \"%s\" должно начинаться с латинской буквы и состоять из латинских букв, "
                                     "цифр и знаков \"_\" и \"$\""),
                      {AName});
    for (const char *prefix : SystemPrefixes)
        if (AName.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return Format(QStringLiteral("имя \"%s\" начинается с \"%s\", как системные имена базы данных"),
                          {AName, QString::fromLatin1(prefix)});
    if (AName.size() > MaxIdentifierLength)
        return Format(QStringLiteral("длина имени \"%s\" - %d, а допускается не больше %d"),
                      {AName, int(AName.size()), MaxIdentifierLength});
    if (ReservedWords().contains(AName.toUpper()))
        return Format(QStringLiteral("\"%s\" - зарезервированное слово базы данных"), {AName});
    return QString();
}

bool IsPlainIdentifier(const QString &AName)
{
    return IdentifierFault(AName).isEmpty();
}

void VarCheckNotNull(const Variant &v)
{
    if (v.isEmpty())
        throw EVariantError(QStringLiteral("Variant is empty"));
    if (v.isNull())
        throw EVariantError(QStringLiteral("Variant is null"));
}

int VarAsInteger(const Variant &v)
{
    VarCheckNotNull(v);
    return v.toInt();
}

bool VarAsBoolean(const Variant &v)
{
    VarCheckNotNull(v);
    return v.toBool();
}

int CountSubStr(const QString &what, const QString &text)
{
    if (what.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + 1))
        ++count;
    return count;
}

namespace {

TUserHooks *Hooks = nullptr;

TApplicationExceptionHandler &ApplicationHandler()
{
    static TApplicationExceptionHandler handler;
    return handler;
}

} // namespace

void SetUserHooks(TUserHooks *hooks)
{
    Hooks = hooks;
}

int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent)
{
    if (Hooks)
        return Hooks->MsgDlg(msg, type, buttons, parent);
    std::fprintf(stderr, "%s\n", msg.toUtf8().constData());
    return (buttons & mbOK) ? mrOk : mrNone;
}

void SetApplicationExceptionHandler(TApplicationExceptionHandler handler)
{
    ApplicationHandler() = std::move(handler);
}

namespace {

void ShowPlainly(const std::exception &e)
{
    const auto *pos = dynamic_cast<const ExceptionPos *>(&e);
    MsgDlg(QString::fromUtf8(e.what()), TMsgDlgType::mtError, mbOK, pos ? pos->Parent.data() : nullptr);
}

} // namespace

void HandleApplicationException(const std::exception &e) noexcept
{
    if (dynamic_cast<const EAbort *>(&e))
        return;
    // Whatever fails while an error is being reported must not unwind through the event loop:
    // the error is shown plainly instead, and a failure of that too is dropped.
    try {
        if (ApplicationHandler())
            ApplicationHandler()(e);
        else
            ShowPlainly(e);
    } catch (...) {
        try {
            ShowPlainly(e);
        } catch (...) {
        }
    }
}
