#pragma once

#include "IBError.h"

#include <QString>
#include <QStringList>
#include <ibase.h>
#include <optional>
#include <vector>

class TIBTransaction;
class TIBSQL;
namespace Firebird {
class IAttachment;
}

// One attachment to a Firebird database.
// Params holds "name=value" lines ("user_name=", "password=", "lc_ctype=") that become the DPB.
// The attachment is made through the client library's object interface, which statements use
// (its fetch costs a quarter less a row than the handle calls); the handle of the same
// attachment serves the calls that have no other form here (blobs, immediate execution).
class TIBDatabase
{
public:
    TIBDatabase() = default;
    ~TIBDatabase();
    TIBDatabase(const TIBDatabase &) = delete;
    TIBDatabase &operator=(const TIBDatabase &) = delete;

    QString DatabaseName;
    QStringList Params;
    // Credentials come only from Params; the layer never asks the user for them.
    bool LoginPrompt = false;
    // Seconds a server may take to answer the connection request (0: the client library's own
    // three minutes). A server that takes the connection and never answers would otherwise
    // freeze the program that long. The embedded engine has nothing to wait for.
    int ConnectTimeout = 10;

    void Open();
    // Ends every open transaction by its default action, frees every statement handle, detaches.
    void Close();
    bool Connected() const { return FHandle != 0; }
    // Asks the server whether the attachment still stands (one round trip): a connection the
    // server cut off or that went down with the network looks open until something is sent.
    bool Alive() const;
    // The same question; the answer is the error a call on the attachment gets now, none while
    // it stands (or while nothing is attached).
    std::optional<EIBError> ConnectionError() const;
    isc_db_handle *Handle() { return &FHandle; }
    Firebird::IAttachment *Attachment() const { return FAttachment; }

    // Transactions and statements register themselves so that closing cleans up after them.
    void AddTransaction(TIBTransaction *tr);
    void RemoveTransaction(TIBTransaction *tr);
    void AddSQL(TIBSQL *sql);
    void RemoveSQL(TIBSQL *sql);

    // Builds the database parameter block from Params; unknown names raise.
    static std::string BuildDPB(const QStringList &params);

    // The client library ends the engine on SIGINT and SIGTERM, leaving every connection of a
    // program that goes on running dead. A program that handles these signals itself (closing
    // its windows and connections in order) calls this before its first connection.
    static void LeaveSignalsToProgram();

private:
    isc_db_handle FHandle = 0;
    Firebird::IAttachment *FAttachment = nullptr;
    std::vector<TIBTransaction *> FTransactions;
    std::vector<TIBSQL *> FSQLs;
};
