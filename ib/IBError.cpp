#include "IBError.h"

#include <QStringList>

EIBError::EIBError(const QString &message, int sqlCode, qint64 ibErrorCode, const QString &sqlText)
    : Exception(message), FSQLCode(sqlCode), FIBErrorCode(ibErrorCode), FSQLText(sqlText)
{
}

EIBError EIBError::FromStatus(const ISC_STATUS *status, const QString &sqlText)
{
    const int sqlCode = isc_sqlcode(status);
    const qint64 ibCode = status[1];
    // fb_interpret walks the vector: every line of the server's explanation, not just the first.
    QStringList lines;
    const ISC_STATUS *cursor = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    if (lines.isEmpty())
        lines << QStringLiteral("Ошибка базы данных (код %1).").arg(ibCode);
    return EIBError(lines.join(QLatin1Char('\n')), sqlCode, ibCode, sqlText);
}

void CheckStatus(const ISC_STATUS *status, const QString &sqlText)
{
    if (status[0] == 1 && status[1] != 0)
        throw EIBError::FromStatus(status, sqlText);
}
