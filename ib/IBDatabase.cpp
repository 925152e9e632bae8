#include "IBDatabase.h"

#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"

#include <algorithm>

namespace {

char DpbCode(const QString &name)
{
    if (name == QLatin1String("user_name"))
        return isc_dpb_user_name;
    if (name == QLatin1String("password"))
        return isc_dpb_password;
    if (name == QLatin1String("lc_ctype"))
        return isc_dpb_lc_ctype;
    if (name == QLatin1String("sql_role_name"))
        return isc_dpb_sql_role_name;
    throw Exception(QStringLiteral("Неизвестный параметр подключения \"%1\".").arg(name));
}

template <typename T>
void RemoveItem(std::vector<T *> &list, T *item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

TIBDatabase::~TIBDatabase()
{
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; the handles are gone either way.
    }
    for (TIBTransaction *tr : std::vector<TIBTransaction *>(FTransactions))
        tr->SetDefaultDatabase(nullptr);
    for (TIBSQL *sql : std::vector<TIBSQL *>(FSQLs))
        sql->DetachDatabase();
}

std::string TIBDatabase::BuildDPB(const QStringList &params)
{
    std::string dpb(1, char(isc_dpb_version1));
    for (const QString &line : params) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
        if (name.isEmpty())
            continue;
        const QByteArray value = eq < 0 ? QByteArray() : line.mid(eq + 1).toUtf8();
        if (value.size() > 255)
            throw Exception(QStringLiteral("Слишком длинное значение параметра подключения \"%1\".").arg(name));
        dpb += DpbCode(name);
        dpb += char(value.size());
        dpb.append(value.constData(), size_t(value.size()));
    }
    return dpb;
}

void TIBDatabase::Open()
{
    if (Connected())
        return;
    const std::string dpb = BuildDPB(Params);
    const QByteArray name = DatabaseName.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    isc_attach_database(status, short(name.size()), name.constData(), &handle, short(dpb.size()), dpb.data());
    CheckStatus(status);
    FHandle = handle;
}

void TIBDatabase::Close()
{
    if (!Connected())
        return;
    for (TIBSQL *sql : std::vector<TIBSQL *>(FSQLs))
        sql->FreeHandle();
    for (TIBTransaction *tr : std::vector<TIBTransaction *>(FTransactions)) {
        try {
            tr->EndByDefaultAction();
        } catch (const EIBError &) {
            // The attachment goes away next; the server ends what is left.
        }
    }
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &FHandle);
    // A broken connection still counts as closed: the handle cannot be used again.
    FHandle = 0;
    CheckStatus(status);
}

void TIBDatabase::AddTransaction(TIBTransaction *tr) { FTransactions.push_back(tr); }
void TIBDatabase::RemoveTransaction(TIBTransaction *tr) { RemoveItem(FTransactions, tr); }
void TIBDatabase::AddSQL(TIBSQL *sql) { FSQLs.push_back(sql); }
void TIBDatabase::RemoveSQL(TIBSQL *sql) { RemoveItem(FSQLs, sql); }
