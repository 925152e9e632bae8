#pragma once

#include <QStringList>
#include <ibase.h>
#include <vector>

class TIBDatabase;
class TIBSQL;
namespace Firebird {
class ITransaction;
}

enum class TTransactionAction { taRollback, taCommit };

// A transaction on one database. Params holds keywords ("read", "read_committed",
// "rec_version", "nowait" ...) that become the TPB.
class TIBTransaction
{
public:
    explicit TIBTransaction(TIBDatabase *db = nullptr);
    ~TIBTransaction();
    TIBTransaction(const TIBTransaction &) = delete;
    TIBTransaction &operator=(const TIBTransaction &) = delete;

    QStringList Params;
    TTransactionAction DefaultAction = TTransactionAction::taRollback;

    TIBDatabase *DefaultDatabase() const { return FDatabase; }
    void SetDefaultDatabase(TIBDatabase *db);

    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return FHandle != 0; }
    // Each start gets the next number (1, 2 ...), so a writer can tell whether what it wrote
    // earlier is still in the open transaction.
    quint64 Number() const { return FNumber; }
    isc_tr_handle *Handle() { return &FHandle; }
    Firebird::ITransaction *Transaction() const { return FTransaction; }   // the same, for statements

    // Ends an open transaction the way DefaultAction says (used when the connection closes).
    void EndByDefaultAction();

    // Statements with an open cursor in this transaction, closed when it ends.
    void AddSQL(TIBSQL *sql);
    void RemoveSQL(TIBSQL *sql);

    static std::string BuildTPB(const QStringList &params);

private:
    void Ended();
    void ForgetCursors();

    TIBDatabase *FDatabase = nullptr;
    isc_tr_handle FHandle = 0;
    Firebird::ITransaction *FTransaction = nullptr;
    std::vector<TIBSQL *> FSQLs;
    quint64 FNumber = 0;
};
