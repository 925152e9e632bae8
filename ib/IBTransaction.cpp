#include "IBTransaction.h"

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
        throw Exception(QStringLiteral("База данных не подключена."));
    std::string tpb = BuildTPB(Params);
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = 0;
    isc_start_transaction(status, &handle, 1, FDatabase->Handle(), unsigned(tpb.size()), tpb.data());
    CheckStatus(status);
    FHandle = handle;
}

void TIBTransaction::Commit()
{
    if (!InTransaction())
        throw Exception(QStringLiteral("Транзакция не запущена."));
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &FHandle);
    // A failed commit leaves the transaction open so the caller can still roll it back.
    CheckStatus(status);
    ForgetCursors();
}

void TIBTransaction::Rollback()
{
    if (!InTransaction())
        throw Exception(QStringLiteral("Транзакция не запущена."));
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &FHandle);
    ForgetCursors();
    if (status[0] == 1 && status[1] != 0) {
        // The transaction is unusable after a failed rollback; drop the handle.
        FHandle = 0;
        CheckStatus(status);
    }
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
