#pragma once

#include <QString>
#include <firebird/Interface.h>

// The status of one call of the client library's object interface. One per thread, made once:
// a row's fetch is such a call, and a status made per call would cost an allocation a row.
// Each call takes it cleared and is checked before the next call is made.
Firebird::CheckStatusWrapper &FreshStatus();

bool Failed(Firebird::CheckStatusWrapper &status);
// Raises EIBError with the server's texts when the call failed.
void CheckStatus(Firebird::CheckStatusWrapper &status, const QString &sqlText = QString());
