#include "IBTransaction.h"

#include "FbStatus.h"
#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"

#include <algorithm>
#include <utility>

namespace {

char TpbCode(const QString &keyword)
{
    static const std::pair<const char *, char> codes[] = {
        {"read", isc_tpb_read},
        {"write", isc_tpb_write},
        {"read_committed", isc_tpb_read_committed},
        {"rec_version", isc_tpb_rec_version},
        {"no_rec_version", isc_tpb_no_rec_version},
        {"nowait", isc_tpb_nowait},
        {"wait", isc_tpb_wait},
        {"concurrency", isc_tpb_concurrency},
        {"consistency", isc_tpb_consistency},
    };
    for (const auto &[name, code] : codes)
        if (keyword == QLatin1String(name))
            return code;
    throw Exception(QStringLiteral("Неизвестный параметр транзакции \"%1\".").arg(keyword));
}

// A successful rollback lets go of the transaction; one that fails leaves it unusable, so it is
// let go of all the same, and the status tells why.
void RollbackOrDrop(Firebird::ITransaction *transaction, Firebird::CheckStatusWrapper &status)
{
    transaction->rollback(&status);
    if (Failed(status))
        transaction->release();
}

} // namespace

TIBTransaction::TIBTransaction(TIBDatabase *db)
{
    SetDefaultDatabase(db);
}

TIBTransaction::~TIBTransaction()
{
    try {
        EndByDefaultAction();
    } catch (...) {
        // Nothing to report from a destructor; the server rolls back a lost transaction.
    }
    SetDefaultDatabase(nullptr);
}

void TIBTransaction::SetDefaultDatabase(TIBDatabase *db)
{
    if (FDatabase == db)
        return;
    if (FDatabase)
        FDatabase->RemoveTransaction(this);
    FDatabase = db;
    if (FDatabase)
        FDatabase->AddTransaction(this);
}

std::string TIBTransaction::BuildTPB(const QStringList &params)
{
    std::string tpb(1, char(isc_tpb_version3));
    for (const QString &keyword : params) {
        const QString k = keyword.trimmed().toLower();
        if (!k.isEmpty())
            tpb += TpbCode(k);
    }
    return tpb;
}

void TIBTransaction::StartTransaction()
{
    if (InTransaction())
        throw Exception(QStringLiteral("Транзакция уже запущена."));
    if (!FDatabase || !FDatabase->Connected())
        throw ENotConnected();
    std::string tpb = BuildTPB(Params);
    Firebird::CheckStatusWrapper &status = FreshStatus();
    Firebird::ITransaction *transaction = FDatabase->Attachment()->startTransaction(
        &status, unsigned(tpb.size()), reinterpret_cast<const unsigned char *>(tpb.data()));
    CheckStatus(status);
    ISC_STATUS_ARRAY handleStatus;
    isc_tr_handle handle = 0;
    fb_get_transaction_handle(handleStatus, &handle, transaction);
    if (handleStatus[0] == 1 && handleStatus[1] != 0) {
        RollbackOrDrop(transaction, FreshStatus());
        CheckStatus(handleStatus);
    }
    FTransaction = transaction;
    FHandle = handle;
    ++FNumber;
}

void TIBTransaction::Commit()
{
    if (!InTransaction())
        throw Exception(QStringLiteral("Транзакция не запущена."));
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FTransaction->commit(&status);
    // A failed commit leaves the transaction open so the caller can still roll it back.
    CheckStatus(status);
    Ended();
}

void TIBTransaction::Rollback()
{
    if (!InTransaction())
        throw Exception(QStringLiteral("Транзакция не запущена."));
    Firebird::CheckStatusWrapper &status = FreshStatus();
    RollbackOrDrop(FTransaction, status);
    Ended();
    CheckStatus(status);
}

void TIBTransaction::Ended()
{
    FTransaction = nullptr;
    FHandle = 0;
    ForgetCursors();
}

void TIBTransaction::EndByDefaultAction()
{
    if (!InTransaction())
        return;
    if (DefaultAction == TTransactionAction::taCommit)
        Commit();
    else
        Rollback();
}

void TIBTransaction::AddSQL(TIBSQL *sql)
{
    if (std::find(FSQLs.begin(), FSQLs.end(), sql) == FSQLs.end())
        FSQLs.push_back(sql);
}

void TIBTransaction::RemoveSQL(TIBSQL *sql)
{
    FSQLs.erase(std::remove(FSQLs.begin(), FSQLs.end(), sql), FSQLs.end());
}

void TIBTransaction::ForgetCursors()
{
    // The server has closed their cursors with the transaction.
    for (TIBSQL *sql : std::exchange(FSQLs, {}))
        sql->CursorLost();
}
