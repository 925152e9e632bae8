#pragma once

#include <QString>
#include <QStringList>
#include <ibase.h>
#include <vector>

class TIBTransaction;
class TIBSQL;

// One attachment to a Firebird database.
// Params holds "name=value" lines ("user_name=", "password=", "lc_ctype=") that become the DPB.
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

    void Open();
    // Ends every open transaction by its default action, frees every statement handle, detaches.
    void Close();
    bool Connected() const { return FHandle != 0; }
    isc_db_handle *Handle() { return &FHandle; }

    // Transactions and statements register themselves so that closing cleans up after them.
    void AddTransaction(TIBTransaction *tr);
    void RemoveTransaction(TIBTransaction *tr);
    void AddSQL(TIBSQL *sql);
    void RemoveSQL(TIBSQL *sql);

    // Builds the database parameter block from Params; unknown names raise.
    static std::string BuildDPB(const QStringList &params);

private:
    isc_db_handle FHandle = 0;
    std::vector<TIBTransaction *> FTransactions;
    std::vector<TIBSQL *> FSQLs;
};
