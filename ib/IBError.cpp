#include "IBError.h"

#include <QStringList>
#include <algorithm>

namespace {

// The engine codes of a status vector and the text arguments of its first code.
void ReadCodes(const ISC_STATUS *status, QList<qint64> &ACodes, QStringList &AArguments)
{
    const ISC_STATUS *p = status;
    while (*p != isc_arg_end && *p != isc_arg_warning) {
        const ISC_STATUS kind = *p++;
        switch (kind) {
        case isc_arg_gds:
            ACodes << qint64(*p++);
            break;
        case isc_arg_cstring: {
            const auto length = qsizetype(*p++);
            const auto *text = reinterpret_cast<const char *>(*p++);
            if (ACodes.size() == 1)
                AArguments << QString::fromUtf8(text, length);
            break;
        }
        case isc_arg_string: {
            const auto *text = reinterpret_cast<const char *>(*p++);
            if (ACodes.size() == 1)
                AArguments << QString::fromUtf8(text);
            break;
        }
        default:
            ++p;   // a number, an interpreted text, a SQL state: one slot
            break;
        }
    }
}

} // namespace

EIBError::EIBError(const QString &message, int sqlCode, qint64 ibErrorCode, const QString &sqlText)
    : Exception(message), FSQLCode(sqlCode), FIBErrorCode(ibErrorCode), FSQLText(sqlText), FCodes{ibErrorCode}
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
    EIBError error(lines.join(QLatin1Char('\n')), sqlCode, ibCode, sqlText);
    error.FCodes.clear();
    ReadCodes(status, error.FCodes, error.FArguments);
    return error;
}

bool EIBError::ConnectionLost() const
{
    // Not the general "unable to complete network request": with "failed to establish a
    // connection" it only says that a login found no server.
    return HasAnyCode({isc_net_read_err, isc_net_write_err, isc_lost_db_connection, isc_conn_lost, isc_att_shutdown,
                       isc_bad_db_handle});
}

bool EIBError::ServerUnreachable() const
{
    // "Failed to establish a connection", "failed to locate host machine": only a connection
    // request says these.
    return HasAnyCode({isc_net_connect_err, isc_net_lookup_err});
}

bool EIBError::UpdateConflict() const
{
    return HasAnyCode({isc_deadlock, isc_update_conflict, isc_lock_conflict, isc_lock_timeout,
                       isc_concurrent_transaction});
}

bool EIBError::HasAnyCode(std::initializer_list<qint64> codes) const
{
    return std::any_of(codes.begin(), codes.end(), [this](qint64 code) { return HasCode(code); });
}

bool EIBError::ForeignKeyReferenced() const
{
    return HasCode(isc_foreign_key) && HasCode(isc_foreign_key_references_present);
}

bool EIBError::ValueTooLong() const
{
    return HasCode(isc_string_truncation);
}

void CheckStatus(const ISC_STATUS *status, const QString &sqlText)
{
    if (status[0] == 1 && status[1] != 0)
        throw EIBError::FromStatus(status, sqlText);
}
