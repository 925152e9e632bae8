#pragma once

#include "Exception.h"

#include <ibase.h>

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

private:
    int FSQLCode;
    qint64 FIBErrorCode;
    QString FSQLText;
};

// Raises EIBError when the status vector reports an error.
void CheckStatus(const ISC_STATUS *status, const QString &sqlText = QString());
