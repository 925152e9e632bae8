#pragma once

#include "Exception.h"

#include <QList>
#include <QStringList>
#include <ibase.h>
#include <initializer_list>

// A failed database call: carries the server's own texts as the message.
class EIBError : public Exception
{
public:
    EIBError(const QString &message, int sqlCode, qint64 ibErrorCode, const QString &sqlText = QString());

    // Builds the error from a status vector that reports a failure.
    static EIBError FromStatus(const ISC_STATUS *status, const QString &sqlText = QString());

    int SQLCode() const { return FSQLCode; }
    qint64 IBErrorCode() const { return FIBErrorCode; }
    const QString &SQLText() const { return FSQLText; }

    // Whether the engine gave the code anywhere in its status vector (the first is IBErrorCode).
    bool HasCode(qint64 code) const { return FCodes.contains(code); }
    // The texts the engine put into its first line (a foreign key's: the constraint, the table).
    const QStringList &Arguments() const { return FArguments; }

    // The connection to the database is gone (the server went away, the attachment was cut off):
    // nothing more can be done on it.
    bool ConnectionLost() const;
    // A connection request found no server: nothing listens at the address, or no such host.
    bool ServerUnreachable() const;
    // Another transaction holds the row or changed it meanwhile.
    bool UpdateConflict() const;
    // A row cannot go (or change its key) while rows of another table still refer to it.
    bool ForeignKeyReferenced() const;
    // A text is longer than the column (or the value it is compared with) holds.
    bool ValueTooLong() const;

private:
    bool HasAnyCode(std::initializer_list<qint64> codes) const;

    int FSQLCode;
    qint64 FIBErrorCode;
    QString FSQLText;
    QList<qint64> FCodes;
    QStringList FArguments;
};

// A statement or transaction asked to run while its connection is closed (never opened, or
// let go of after it was lost).
class ENotConnected : public Exception
{
public:
    ENotConnected() : Exception(QStringLiteral("База данных не подключена.")) {}
};

// Raises EIBError when the status vector reports an error.
void CheckStatus(const ISC_STATUS *status, const QString &sqlText = QString());
