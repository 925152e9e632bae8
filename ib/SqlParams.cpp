#include "SqlParams.h"

namespace {

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Index just past a quoted run that starts at `from` with `quote`; a doubled quote stays inside.
qsizetype SkipQuoted(const QString &s, qsizetype from, QChar quote)
{
    qsizetype i = from + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return s.size();
}

qsizetype SkipLineComment(const QString &s, qsizetype from)
{
    const qsizetype end = s.indexOf(QLatin1Char('\n'), from);
    return end < 0 ? s.size() : end + 1;
}

qsizetype SkipBlockComment(const QString &s, qsizetype from)
{
    const qsizetype end = s.indexOf(QLatin1String("*/"), from + 2);
    return end < 0 ? s.size() : end + 2;
}

} // namespace

TParsedSQL ParseSQLParams(const QString &sql)
{
    TParsedSQL result;
    result.Text.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
        qsizetype skipTo = -1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            skipTo = SkipQuoted(sql, i, c);
        else if (c == QLatin1Char('-') && next == QLatin1Char('-'))
            skipTo = SkipLineComment(sql, i);
        else if (c == QLatin1Char('/') && next == QLatin1Char('*'))
            skipTo = SkipBlockComment(sql, i);
        if (skipTo >= 0) {
            result.Text += QStringView(sql).mid(i, skipTo - i);
            i = skipTo;
            continue;
        }
        if (c == QLatin1Char(':') && IsNameChar(next)) {
            qsizetype end = i + 1;
            while (end < sql.size() && IsNameChar(sql[end]))
                ++end;
            result.Names << sql.mid(i + 1, end - i - 1).toUpper();
            result.Text += QLatin1Char('?');
            i = end;
            continue;
        }
        result.Text += c;
        ++i;
    }
    return result;
}
