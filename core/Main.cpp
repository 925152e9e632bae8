#include "Main.h"

#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

TDB *DB = nullptr;
bool DevMode = false;
bool ShowDebMsg = false;

namespace {

QString &NamedIniFile()
{
    static QString name;
    return name;
}

QString ExecutableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

} // namespace

TDB::TDB()
    : ObjList(std::make_unique<TObjList>()),
      ibdb(std::make_unique<TIBDatabase>()),
      ibtrs(std::make_unique<TIBTransaction>(ibdb.get())),
      ibtrc(std::make_unique<TIBTransaction>(ibdb.get())),
      IBSQLS(std::make_unique<TIBSQL>(ibdb.get(), ibtrs.get()))
{
    ibdb->LoginPrompt = false;
    ibtrs->Params = {QStringLiteral("read"), QStringLiteral("read_committed"), QStringLiteral("rec_version")};
    ibtrs->DefaultAction = TTransactionAction::taRollback;
    ibtrc->Params = {QStringLiteral("nowait"), QStringLiteral("read_committed"), QStringLiteral("rec_version")};
    ibtrc->DefaultAction = TTransactionAction::taRollback;
    SetApplicationExceptionHandler([this](const std::exception &e) { ApplicationException(e); });
    FillNameTables();
}

TDB::~TDB()
{
    SetApplicationExceptionHandler(nullptr);
    ObjList.reset();
    // Statements and transactions unregister from the connection as they go.
    IBSQLS.reset();
    ibtrc.reset();
    ibtrs.reset();
    ibdb.reset();
}

QString TDB::IniFileName()
{
    if (!NamedIniFile().isEmpty())
        return NamedIniFile();
    return QDir(ExecutableDir()).filePath(QStringLiteral("tessar.ini"));
}

void TDB::SetIniFileName(const QString &fileName)
{
    NamedIniFile() = fileName;
}

void TDB::ResolveDatabaseName()
{
    // A server name ("host:path", "host/port:path") goes as written; a relative file path
    // means the folder of the settings file, so the program works from any current directory.
    const QString name = ibdb->DatabaseName;
    if (name.contains(QLatin1Char(':')) || QFileInfo(name).isAbsolute())
        return;
    ibdb->DatabaseName = QFileInfo(IniFileName()).dir().filePath(name);
}

void TDB::Connect()
{
    // Reconnecting would cut the read transaction from under every open statement; a connected
    // object stays as it is, unless its connection has died under it.
    if (Connected && ibdb->Alive())
        return;
    Disconnect();
    LoadDBParams(*ibdb, IniFileName(), QStringLiteral("base.fdb"), QStringLiteral("UTF8"));
    ResolveDatabaseName();
    ibdb->Open();
    try {
        ibtrs->StartTransaction();
    } catch (...) {
        ibdb->Close();
        throw;
    }
    Connected = true;
}

void TDB::Disconnect()
{
    Connected = false;
    try {
        ibdb->Close();
    } catch (const EIBError &e) {
        // A connection that is gone is closed all the same: nothing of it is left to undo.
        if (!e.ConnectionLost())
            throw;
    }
}

void TDB::DisconnectQuietly()
{
    try {
        Disconnect();
    } catch (const std::exception &) {
        // The connection counts as closed all the same (nothing of it can be used again), and the
        // error that brought the caller here is the one to tell.
    }
}

void TDB::Init()
{
    DB->ObjList->Load();
    DB->Inited = true;
}

void TDB::Deinit()
{
    ObjList->Clear();
    Inited = false;
}

void TDB::Login(const QString &ALog, const QString & /*APas: no password is compared*/)
{
    IBSQLS->SetSQL(QStringLiteral("select USR_ID, USR_LOGIN, USR_NAME from USR where USR_LOGIN = :USR_LOGIN"));
    IBSQLS->ParamByName(QStringLiteral("USR_LOGIN")) = Variant(ALog);
    TCloseGuard closer(*IBSQLS);
    if (!LoginRowFound())
        throw ExceptionPos(QStringLiteral("Неверный логин или пароль."));
    // Both values are read before either is kept, so that a failed read leaves the previous user whole.
    const int userId = VarAsInteger(IBSQLS->FieldByName(QStringLiteral("USR_ID")));
    const Variant userName = IBSQLS->FieldByName(QStringLiteral("USR_NAME"));
    const QString name = userName.isNull() ? QString() : userName.toString();
    CurrentUserId = userId;
    CurrentUserName = name;
}

bool TDB::LoginRowFound()
{
    try {
        IBSQLS->ExecQuery();
    } catch (const EIBError &e) {
        // A name longer than the column holds is nobody's; the engine refuses to compare it.
        if (e.ValueTooLong())
            return false;
        throw;
    }
    return !IBSQLS->Eof();
}

void TDB::StartTransaction()
{
    ibtrc->StartTransaction();
}

void TDB::CommitTransaction()
{
    ibtrc->Commit();
}

void TDB::WakeGarbageCollector()
{
    // The engine's background collector takes up the rows a committed transaction deleted only
    // once a later transaction has started. Left to the next write, it works on them while that
    // write's own statements need the same pages, and the two take turns at them: a save of a
    // tree that deletes the 400 rows the last save wrote took twice as long. An empty transaction
    // started now hands the rows over while the user goes on working.
    ibtrc->StartTransaction();
    ibtrc->Commit();
}

void TDB::RollbackChanges()
{
    // Callers roll back in their error paths, also when the start itself failed.
    if (ibtrc->InTransaction())
        ibtrc->Rollback();
}

std::unique_ptr<TIBSQL> TDB::CreateIBSQLS()
{
    return std::make_unique<TIBSQL>(ibdb.get(), ibtrs.get());
}

std::unique_ptr<TIBSQL> TDB::CreateIBSQLC()
{
    return std::make_unique<TIBSQL>(ibdb.get(), ibtrc.get());
}

QString TDB::GenIdSQL(const QString &AGenName)
{
    // The name becomes part of the statement text, so it must be a plain identifier.
    if (!IsPlainIdentifier(AGenName))
        throw ExceptionPos(Format(QStringLiteral("Недопустимое имя генератора \"%s\"."), {AGenName}));
    return Format(QStringLiteral("select gen_id(%s, 1) from RDB$DATABASE"), {AGenName});
}

int TDB::GetGenId(const QString &AGenName)
{
    IBSQLS->SetSQL(GenIdSQL(AGenName));
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    return VarAsInteger(IBSQLS->Field(0));
}

QString TDB::ReferringObjCapt(const EIBError &e) const
{
    // The engine names the constraint and the table whose rows refer to the row.
    const QString table = e.Arguments().value(1);
    for (const TObj *obj : *ObjList)
        if (obj->Table().compare(table, Qt::CaseInsensitive) == 0)
            return obj->Capt();
    return table;
}

QString TDB::LostConnectionLine()
{
    return QStringLiteral("Соединение с сервером базы данных потеряно. Войдите в программу заново: "
                          "\"Файл\" → \"Авторизация\".");
}

QString TDB::Explanation(const EIBError &e) const
{
    if (e.ConnectionLost())
        return LostConnectionLine();
    if (e.ServerUnreachable())
        return Format(QStringLiteral("Не удалось связаться с сервером базы данных: %s"), {ibdb->DatabaseName});
    if (e.UpdateConflict())
        return QStringLiteral("Эту запись или итог по ней сейчас изменяет другой пользователь. Повторите %1 чуть позже.")
            .arg(dynamic_cast<const EDeleteRefused *>(&e) ? QStringLiteral("удаление") : QStringLiteral("сохранение"));
    if (e.ForeignKeyReferenced())
        return Format(QStringLiteral("Запись нельзя удалить: на неё ссылаются записи объекта \"%s\". "
                                     "Сначала удалите или измените их."),
                      {ReferringObjCapt(e)});
    return QString();
}

QString TDB::ErrorText(const std::exception &e) const
{
    const QString text = QString::fromUtf8(e.what());
    QString line;
    if (const auto *refusal = dynamic_cast<const EIBError *>(&e))
        line = Explanation(*refusal);
    else if (dynamic_cast<const ENotConnected *>(&e))
        line = LostConnectionLine();   // what is left open after a lost connection finds it closed
    return line.isEmpty() ? text : line + QLatin1Char('\n') + text;
}

void TDB::ApplicationException(const std::exception &e)
{
    // A connection that is gone is let go of at once, so that the next login starts afresh; the
    // windows and the repository stay until that login takes them down.
    if (const auto *refusal = dynamic_cast<const EIBError *>(&e); refusal && refusal->ConnectionLost())
        DisconnectQuietly();
    const auto *pos = dynamic_cast<const ExceptionPos *>(&e);
    MsgDlg(ErrorText(e), TMsgDlgType::mtError, mbOK, pos ? pos->Parent.data() : nullptr);
}

void DebugMsg(const QString &S)
{
    if (ShowDebMsg)
        MsgDlg(S, TMsgDlgType::mtInformation, mbOK, nullptr);
}

void DebugMsgFmt(const QString &format, const QList<Variant> &args)
{
    if (ShowDebMsg)
        DebugMsg(Format(format, args));
}
