#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"

#include "DBFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
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
    void SetUp() override { DB = &db; }
    void TearDown() override { DB = nullptr; }
    QString LoginError(const QString &login) { return ErrorOf([&] { db.Login(login, "anything"); }); }

    TestDatabase copy;
    TDB db;
    RepoBuilder repo{db};
};

// A failed connect leaves nothing open; a relative name means the settings file's folder.
TEST_F(DBTest, AFailedConnectLeavesNothingOpenAndARelativeNameMeansTheSettingsFolder)
{
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    EXPECT_THROW(db.Connect(), EIBError);
    EXPECT_FALSE(db.Connected || db.Database().Connected());
    copy.WriteIni("[DataBase]\nDataBaseName=" + QFileInfo(copy.Path()).fileName() + "\n");
    db.Connect();
    EXPECT_EQ(db.Database().DatabaseName, copy.Path());
    db.Disconnect();
    EXPECT_FALSE(db.Connected || db.Database().Connected());
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
    EXPECT_FALSE(db.Connected || db.Database().Connected());
}

TEST_F(DBTest, ConnectingAConnectedObjectKeepsItsConnection)
{
    copy.WriteDefaultIni();
    db.Connect();
    auto open = db.CreateIBSQLS();
    open->SetSQL("select USR_ID from USR");
    open->ExecQuery();
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    EXPECT_NO_THROW(db.Connect());
    EXPECT_EQ(db.Database().DatabaseName, copy.Path()) << "the settings are not read again";
    EXPECT_NO_THROW(open->Next()) << "an open cursor still reads";
}

// The login is found by its column's collation, no password is compared, and a Null name is an
// empty one; a failed login keeps the previous user. Two users sharing a login: whichever row
// the database returns first wins (no order is asked for), id and name from that one row.
TEST_F(DBTest, LoginFindsTheUserByLoginAndIgnoresThePassword)
{
    copy.WriteDefaultIni();
    db.Connect();
    db.Login("ADMIN", "wrong");
    const int admin = db.CurrentUserId;
    EXPECT_EQ(db.CurrentUserName, "Администратор");
    EXPECT_EQ(LoginError("nobody"), "Неверный логин или пароль.");
    EXPECT_EQ(LoginError("admin' or '1'='1"), "Неверный логин или пароль.");
    EXPECT_EQ(db.CurrentUserId, admin);
    EXPECT_EQ(db.CurrentUserName, "Администратор");
    const int anonymous = repo.AddUser("anonymous");
    db.Login("anonymous", "");
    EXPECT_EQ(db.CurrentUserId, anonymous);
    EXPECT_EQ(db.CurrentUserName, "");

    repo.Exec("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'twin', 'Первый')");
    repo.Exec("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'twin', 'Второй')");
    db.Login("twin", "");
    EXPECT_EQ(repo.Scalar("select USR_NAME from USR where USR_ID = :ID", {{"ID", db.CurrentUserId}}), Variant(db.CurrentUserName));
    EXPECT_EQ(repo.Scalar("select USR_LOGIN from USR where USR_ID = :ID", {{"ID", db.CurrentUserId}}), Variant("twin"));
}

TEST_F(DBTest, GeneratorValuesFollowEachOtherAndOnlyPlainNamesAreAsked)
{
    copy.WriteDefaultIni();
    db.Connect();
    const int a = db.GetGenId("OBJ_ID");
    EXPECT_EQ(db.GetGenId("OBJ_ID"), a + 1);
    EXPECT_THROW(db.GetGenId("OBJ_ID, 1) from RDB$DATABASE union select 1"), ExceptionPos);
    EXPECT_THROW(db.GetGenId("NO_SUCH_GENERATOR"), EIBError);
}

// The caller brackets the write transaction: what it rolls back, or leaves open when the
// connection goes, is not written; what it commits the read transaction sees at once.
TEST_F(DBTest, WriteTransactionIsBracketedByTheCaller)
{
    copy.WriteDefaultIni();
    db.Connect();
    const auto insert = [&](const QString &login) {
        db.StartTransaction();
        auto sql = db.CreateIBSQLC();
        sql->SetSQL("insert into USR (USR_ID, USR_LOGIN) values (next value for USR_ID, :L)");
        sql->ParamByName("L") = login;
        sql->ExecQuery();
    };
    insert("temp");
    db.RollbackChanges();
    EXPECT_EQ(LoginError("temp"), "Неверный логин или пароль.");
    db.RollbackChanges();   // nothing to roll back: harmless in an error path
    insert("lost");
    db.Disconnect();
    db.Connect();
    EXPECT_EQ(LoginError("lost"), "Неверный логин или пароль.");
    insert("temp");
    db.CommitTransaction();
    EXPECT_EQ(LoginError("temp"), "no error");
}

} // namespace
