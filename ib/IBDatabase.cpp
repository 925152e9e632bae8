#include "IBDatabase.h"

#include "FbStatus.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <unistd.h>

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

// The embedded engine keeps its lock files in one folder for every process that opens a
// database file directly: /tmp/firebird unless FIREBIRD_LOCK names another. That folder belongs
// to whoever made it first (the Firebird server's account, or root), and the engine refuses
// everyone else. An ordinary user therefore gets a folder of their own; a folder named in
// FIREBIRD_LOCK is kept, and root, who can use any, keeps the shared one.
void UseOwnLockFolderUnlessConfigured()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK") || geteuid() == 0)
        return;
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("firebird-%1").arg(geteuid()));
    const QByteArray path = QFile::encodeName(folder);
    // The temporary folder is everyone's: a folder of that name made by another user, or a
    // link in its place, is refused rather than used.
    struct stat info;
    if (mkdir(path.constData(), 0700) != 0 &&
        (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()))
        throw Exception(QStringLiteral("Папку блокировок встроенного сервера \"%1\" нельзя использовать: "
                                       "это не папка текущего пользователя.").arg(folder));
    qputenv("FIREBIRD_LOCK", path);
}

// The engine reads its lock folder once, when the first database opens.
void PrepareEmbeddedEngine()
{
    static std::once_flag prepared;
    std::call_once(prepared, UseOwnLockFolderUnlessConfigured);
}

void AppendConnectTimeout(std::string &dpb, int seconds)
{
    if (seconds <= 0)
        return;
    dpb += char(isc_dpb_connect_timeout);
    dpb += char(4);
    for (int shift = 0; shift < 32; shift += 8)
        dpb += char((unsigned(seconds) >> shift) & 0xFF);
}

// A server that takes the connection but stays silent is given up on by the client library
// with a plain "connection rejected" once the time-out has passed.
bool ServerDidNotAnswer(const intptr_t *status, int timeout, const QElapsedTimer &clock)
{
    return status[0] == 1 && status[1] == isc_connect_reject && timeout > 0 &&
           clock.elapsed() >= qint64(timeout) * 1000 - 250;
}

// Whatever the reason for the signal, the program closes its connections itself.
int RejectShutdownOnSignal(const int reason, const int /*mask*/, void * /*arg*/)
{
    return reason == fb_shutrsn_signal ? 1 : 0;
}

// A successful detach lets go of the attachment; one that fails is let go of all the same, and
// the status tells why.
void Detach(Firebird::IAttachment *attachment, Firebird::CheckStatusWrapper &status)
{
    attachment->detach(&status);
    if (Failed(status))
        attachment->release();
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

void TIBDatabase::LeaveSignalsToProgram()
{
    ISC_STATUS_ARRAY status;
    fb_shutdown_callback(status, RejectShutdownOnSignal, fb_shut_confirmation, nullptr);
    CheckStatus(status);
}

void TIBDatabase::Open()
{
    if (Connected())
        return;
    PrepareEmbeddedEngine();
    std::string dpb = BuildDPB(Params);
    AppendConnectTimeout(dpb, ConnectTimeout);
    const QByteArray name = DatabaseName.toUtf8();
    Firebird::IProvider *provider = Firebird::fb_get_master_interface()->getDispatcher();
    Firebird::CheckStatusWrapper &status = FreshStatus();
    QElapsedTimer clock;
    clock.start();
    Firebird::IAttachment *attachment =
        provider->attachDatabase(&status, name.constData(), unsigned(dpb.size()),
                                 reinterpret_cast<const unsigned char *>(dpb.data()));
    provider->release();
    if (Failed(status) && ServerDidNotAnswer(status.getErrors(), ConnectTimeout, clock))
        throw EIBError(QStringLiteral("Сервер базы данных не ответил за %1 с: %2").arg(ConnectTimeout).arg(DatabaseName),
                       isc_sqlcode(status.getErrors()), status.getErrors()[1]);
    CheckStatus(status);
    ISC_STATUS_ARRAY handleStatus;
    isc_db_handle handle = 0;
    fb_get_database_handle(handleStatus, &handle, attachment);
    if (handleStatus[0] == 1 && handleStatus[1] != 0) {
        Detach(attachment, FreshStatus());
        CheckStatus(handleStatus);
    }
    FAttachment = attachment;
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
    Firebird::CheckStatusWrapper &status = FreshStatus();
    // A broken connection still counts as closed: the attachment cannot be used again.
    Detach(std::exchange(FAttachment, nullptr), status);
    FHandle = 0;
    CheckStatus(status);
}

bool TIBDatabase::Alive() const
{
    return Connected() && !ConnectionError();
}

std::optional<EIBError> TIBDatabase::ConnectionError() const
{
    if (!Connected())
        return std::nullopt;
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FAttachment->ping(&status);
    if (!Failed(status))
        return std::nullopt;
    return EIBError::FromStatus(status.getErrors());
}

void TIBDatabase::AddTransaction(TIBTransaction *tr) { FTransactions.push_back(tr); }
void TIBDatabase::RemoveTransaction(TIBTransaction *tr) { RemoveItem(FTransactions, tr); }
void TIBDatabase::AddSQL(TIBSQL *sql) { FSQLs.push_back(sql); }
void TIBDatabase::RemoveSQL(TIBSQL *sql) { RemoveItem(FSQLs, sql); }
