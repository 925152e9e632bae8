#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Main.h"
#include "TestDatabase.h"

#include "DBFixture.h"

#include <QElapsedTimer>
#include <QMap>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using korvenix_test::ErrorOf;

// A loopback port whose connections the kernel accepts and nobody answers: a server that hangs.
struct SilentListener
{
    int Socket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in Address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    SilentListener()
    {
        socklen_t length = sizeof Address;
        auto *address = reinterpret_cast<sockaddr *>(&Address);
        if (bind(Socket, address, length) != 0 || listen(Socket, 8) != 0 || getsockname(Socket, address, &length) != 0)
            throw std::runtime_error("cannot listen on loopback");
    }
    ~SilentListener() { close(Socket); }
};

class DBTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        DB = &db;
    }
    void TearDown() override { DB = nullptr; }

    // Runs a statement in its own committed write transaction.
    void Write(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        db.StartTransaction();
        auto sql = db.CreateIBSQLC();
        sql->SetSQL(text);
        for (const auto &[name, value] : params)
            sql->ParamByName(name) = value;
        sql->ExecQuery();
        db.CommitTransaction();
    }

    QString LoginError(const QString &login)
    {
        try {
            db.Login(login, "anything");
        } catch (const ExceptionPos &e) {
            EXPECT_EQ(e.Parent, nullptr);
            return e.Message();
        }
        return QString();
    }

    TestDatabase copy;
    TDB db;
};

TEST_F(DBTest, ConnectOpensTheReadTransactionForTheWholeConnection)
{
    db.Connect();
    EXPECT_TRUE(db.Connected);
    EXPECT_TRUE(db.ReadTransaction().InTransaction());
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(db.Database().Params, QStringList({"user_name=SYSDBA", "password=masterkey", "lc_ctype=UTF8"}));
    db.Disconnect();
    EXPECT_FALSE(db.Connected);
    EXPECT_FALSE(db.Database().Connected());
}

TEST_F(DBTest, RelativeDatabaseNameMeansTheSettingsFolder)
{
    copy.WriteIni("[DataBase]\nDataBaseName=" + QFileInfo(copy.Path()).fileName() + "\n");
    db.Connect();
    EXPECT_EQ(db.Database().DatabaseName, copy.Path());
}

TEST_F(DBTest, FailedConnectLeavesNothingOpen)
{
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    EXPECT_THROW(db.Connect(), EIBError);
    EXPECT_FALSE(db.Connected);
    EXPECT_FALSE(db.Database().Connected());
    copy.WriteDefaultIni();
    db.Connect();
    EXPECT_TRUE(db.Connected);
}

TEST_F(DBTest, ServerThatNeverAnswersIsGivenUpOnWithinTheTimeOut)
{
    SilentListener silent;
    const QString name = QString("127.0.0.1/%1:/nowhere/base.fdb").arg(ntohs(silent.Address.sin_port));
    copy.WriteIni("[DataBase]\nDataBaseName=" + name + "\n");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ErrorOf([&] { db.Connect(); }), "Сервер базы данных не ответил за 10 с: " + name);
    // Not a speed figure: the client library's own limit would be three minutes.
    EXPECT_LT(clock.elapsed(), 60000);
    EXPECT_FALSE(db.Connected);
    EXPECT_FALSE(db.Database().Connected());
}

TEST_F(DBTest, ConnectingAConnectedObjectKeepsItsConnection)
{
    db.Connect();
    auto open = db.CreateIBSQLS();
    open->SetSQL("select USR_ID from USR");
    open->ExecQuery();
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    EXPECT_NO_THROW(db.Connect());
    EXPECT_TRUE(db.Connected);
    EXPECT_EQ(db.Database().DatabaseName, copy.Path()) << "the settings are not read again";
    EXPECT_TRUE(db.ReadTransaction().InTransaction());
    EXPECT_NO_THROW(open->Next()) << "an open cursor still reads";
    db.Login("admin", "");
}

TEST_F(DBTest, LoginFindsTheUserByLoginAndIgnoresThePassword)
{
    db.Connect();
    db.Login("admin", "");
    EXPECT_GT(db.CurrentUserId, 0);
    const int adminId = db.CurrentUserId;
    const QString adminName = db.CurrentUserName;
    EXPECT_FALSE(adminName.isEmpty());

    EXPECT_EQ(LoginError("nobody"), "Неверный логин или пароль.");
    EXPECT_EQ(LoginError("admin' or '1'='1"), "Неверный логин или пароль.");
    EXPECT_EQ(db.CurrentUserId, adminId) << "a failed login keeps the previous user";
    EXPECT_EQ(db.CurrentUserName, adminName);

    db.Login("ADMIN", "wrong");   // the column's collation decides, and no password is compared
    EXPECT_EQ(db.CurrentUserId, adminId);
}

TEST_F(DBTest, UserWithoutANameLogsInWithAnEmptyName)
{
    db.Connect();
    db.Login("admin", "");
    const int id = db.GetGenId("USR_ID");
    Write("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:ID, 'anonymous', null)", {{"ID", id}});
    db.Login("anonymous", "");
    EXPECT_EQ(db.CurrentUserId, id);
    EXPECT_EQ(db.CurrentUserName, "");
}

TEST_F(DBTest, LoginSharedByTwoUsersTakesTheFirstRow)
{
    db.Connect();
    const int first = db.GetGenId("USR_ID");
    const int second = db.GetGenId("USR_ID");
    Write("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:ID, 'twin', 'Первый')", {{"ID", first}});
    Write("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:ID, 'twin', 'Второй')", {{"ID", second}});
    db.Login("twin", "");
    // Whichever row the database returns first wins (no order is asked for), id and name from one row.
    const QMap<int, QString> users{{first, "Первый"}, {second, "Второй"}};
    ASSERT_TRUE(users.contains(db.CurrentUserId)) << db.CurrentUserId;
    EXPECT_EQ(db.CurrentUserName, users[db.CurrentUserId]);
}

TEST_F(DBTest, GeneratorValuesFollowEachOther)
{
    db.Connect();
    const int a = db.GetGenId("OBJ_ID");
    const int b = db.GetGenId("OBJ_ID");
    EXPECT_EQ(b, a + 1);
    EXPECT_THROW(db.GetGenId("OBJ_ID, 1) from RDB$DATABASE union select 1"), ExceptionPos);
    EXPECT_THROW(db.GetGenId("NO_SUCH_GENERATOR"), EIBError);
}

TEST_F(DBTest, WriteTransactionIsBracketedByTheCaller)
{
    db.Connect();
    const int id = db.GetGenId("USR_ID");
    db.StartTransaction();
    auto sql = db.CreateIBSQLC();
    sql->SetSQL("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:USR_ID, 'temp', 'Временный')");
    sql->ParamByName("USR_ID") = id;
    sql->ExecQuery();
    db.RollbackChanges();
    EXPECT_EQ(LoginError("temp"), "Неверный логин или пароль.");
    db.RollbackChanges();   // nothing to roll back: harmless in an error path

    Write("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:USR_ID, 'temp', 'Временный')", {{"USR_ID", id}});
    db.Login("temp", "");
    EXPECT_EQ(db.CurrentUserId, id) << "the read transaction sees the commit at once";
}

TEST_F(DBTest, StatementsAreBoundToTheirTransactions)
{
    db.Connect();
    EXPECT_EQ(db.CreateIBSQLS()->Transaction(), &db.ReadTransaction());
    EXPECT_EQ(db.CreateIBSQLC()->Transaction(), &db.WriteTransaction());
    EXPECT_EQ(db.ReadTransaction().Params, QStringList({"read", "read_committed", "rec_version"}));
    EXPECT_EQ(db.WriteTransaction().Params, QStringList({"nowait", "read_committed", "rec_version"}));
}

TEST_F(DBTest, DisconnectWithAnOpenWriteRollsItBack)
{
    db.Connect();
    const int id = db.GetGenId("USR_ID");
    db.StartTransaction();
    auto sql = db.CreateIBSQLC();
    sql->SetSQL("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:USR_ID, 'lost', 'x')");
    sql->ParamByName("USR_ID") = id;
    sql->ExecQuery();
    db.Disconnect();
    db.Connect();
    EXPECT_EQ(LoginError("lost"), "Неверный логин или пароль.");
}

TEST(DebugMsg, ShownOnlyWhileSwitchedOn)
{
    struct Hooks : TUserHooks
    {
        QStringList shown;
        int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons, QObject *) override
        {
            EXPECT_EQ(type, TMsgDlgType::mtInformation);
            shown << msg;
            return mrOk;
        }
    } hooks;
    SetUserHooks(&hooks);
    ShowDebMsg = false;
    DebugMsgFmt("Запрос \"%s\"\r\r%s", {"A", "select 1"});
    ShowDebMsg = true;
    DebugMsgFmt("Запрос \"%s\"\r\r%s", {"A", "select 1"});
    DebugMsg("plain");
    ShowDebMsg = false;
    SetUserHooks(nullptr);
    EXPECT_EQ(hooks.shown, QStringList({"Запрос \"A\"\r\rselect 1", "plain"}));
}

TEST(TDBLifetime, TheConnectionObjectInstallsTheApplicationHandler)
{
    struct Hooks : TUserHooks
    {
        QObject *parent = nullptr;
        QString msg;
        int MsgDlg(const QString &m, TMsgDlgType, TMsgDlgButtons, QObject *p) override
        {
            msg = m;
            parent = p;
            return mrOk;
        }
    } hooks;
    SetUserHooks(&hooks);
    QObject edit;
    {
        TDB db;
        HandleApplicationException(ExceptionPos("Ошибка поля", &edit));
        EXPECT_EQ(hooks.msg, "Ошибка поля");
        EXPECT_EQ(hooks.parent, &edit) << "the box goes over the exception's control";
        HandleApplicationException(std::runtime_error("other"));
        EXPECT_EQ(hooks.parent, nullptr);
    }
    SetUserHooks(nullptr);
}

} // namespace
