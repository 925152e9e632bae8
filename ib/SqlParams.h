#pragma once

#include <QString>
#include <QStringList>

// A statement text with its ":NAME" parameters replaced by positional markers.
struct TParsedSQL
{
    QString Text;          // the text sent to the server, '?' in place of each parameter
    QStringList Names;     // parameter name (upper case) for each '?', in order; a name may repeat
};

// Finds ":NAME" and ":0" parameters, leaving string literals, quoted identifiers
// and both comment forms untouched.
TParsedSQL ParseSQLParams(const QString &sql);
