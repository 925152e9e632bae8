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

// A failed connect leaves nothing open; a relative name means the settings file's folder; a
// connect on a connected object keeps the connection, its cursors and its settings.
TEST_F(DBTest, ConnectFailuresLeaveNothingOpenLoginFindsTheUserAndTheCallerBracketsTheWrites)
{
    const QString missing = "[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n";
    copy.WriteIni(missing);
    EXPECT_THROW(db.Connect(), EIBError);
    EXPECT_FALSE(db.Connected || db.Database().Connected());
    copy.WriteIni("[DataBase]\nDataBaseName=" + QFileInfo(copy.Path()).fileName() + "\n");
    db.Connect();
    EXPECT_EQ(db.Database().DatabaseName, copy.Path());
    auto open = db.CreateIBSQLS();
    open->SetSQL("select USR_ID from USR");
    open->ExecQuery();
    copy.WriteIni(missing);
    EXPECT_NO_THROW(db.Connect());
    EXPECT_EQ(db.Database().DatabaseName, copy.Path()) << "the settings are not read again";
    EXPECT_NO_THROW(open->Next()) << "an open cursor still reads";
    db.Disconnect();
    EXPECT_FALSE(db.Connected || db.Database().Connected());

    // A server that never answers (a loopback port whose connections the kernel accepts and
    // nobody answers) is given up on within the time-out.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    auto *any = reinterpret_cast<sockaddr *>(&address);
    ASSERT_TRUE(bind(listener, any, length) == 0 && listen(listener, 8) == 0 && getsockname(listener, any, &length) == 0);
    const QString name = QString("127.0.0.1/%1:/nowhere/base.fdb").arg(ntohs(address.sin_port));
    copy.WriteIni("[DataBase]\nDataBaseName=" + name + "\n");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ErrorOf([&] { db.Connect(); }), "Сервер базы данных не ответил за 10 с: " + name);
    // Not a speed figure: the client library's own limit would be three minutes.
    EXPECT_LT(clock.elapsed(), 60000);
    EXPECT_FALSE(db.Connected || db.Database().Connected());
    close(listener);

    // The login is found by its column's collation, no password is compared, and a Null name is an
    // empty one; a failed login keeps the previous user. Two users sharing a login: whichever row
    // the database returns first wins (no order is asked for), id and name from that one row.
    copy.WriteDefaultIni();
    db.Connect();
    db.Login("ADMIN", "wrong");
    const int admin = db.CurrentUserId;
    EXPECT_EQ(db.CurrentUserName, "Администратор");
    EXPECT_EQ(LoginError("nobody"), "Неверный логин или пароль.");
    EXPECT_EQ(LoginError("admin' or '1'='1"), "Неверный логин или пароль.");
    EXPECT_EQ(db.CurrentUserId, admin) << "a failed login keeps the previous user";
    const int anonymous = repo.AddUser("anonymous");
    db.Login("anonymous", "");
    EXPECT_EQ(db.CurrentUserId, anonymous);
    EXPECT_EQ(db.CurrentUserName, "");

    repo.Exec("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'twin', 'Первый')");
    repo.Exec("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'twin', 'Второй')");
    db.Login("twin", "");
    EXPECT_EQ(repo.Scalar("select USR_LOGIN || ':' || USR_NAME from USR where USR_ID = :ID", {{"ID", db.CurrentUserId}}),
              Variant("twin:" + db.CurrentUserName));

    // A name longer than the column holds (50 characters) is nobody's, whatever its letters take.
    const QString longest(50, QChar(0x0436));
    const int fifty = repo.AddUser(longest);
    for (const QString &name : {QString(51, 'a'), longest + "ж", QString(300, QChar(0x0436))})
        EXPECT_EQ(LoginError(name), "Неверный логин или пароль.") << name.size();
    db.Login(longest, "");
    EXPECT_EQ(db.CurrentUserId, fifty);

    // The caller brackets the write transaction: what it rolls back, or leaves open when the
    // connection goes, is not written; what it commits the read transaction sees at once. Keys come
    // from a sequence asked for by a plain name only.
    const int a = db.GetGenId("OBJ_ID");
    EXPECT_EQ(db.GetGenId("OBJ_ID"), a + 1);
    EXPECT_THROW(db.GetGenId("OBJ_ID, 1) from RDB$DATABASE union select 1"), ExceptionPos);
    EXPECT_THROW(db.GetGenId("NO_SUCH_GENERATOR"), EIBError);
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
