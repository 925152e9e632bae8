// The same connection, login, key values and writes as on the embedded engine, through a
// Firebird server on loopback ("host/port:path"). scripts/test.sh starts the server.
#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Main.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (server.Host.isEmpty())
            GTEST_SKIP() << "no Firebird server: scripts/test.sh starts one";
        copy = std::make_unique<TestDatabase>(server.Dir);
        WriteIni(server.User, server.Password);
        DB = &db;
    }
    void TearDown() override
    {
        if (db.Connected)
            db.Disconnect();
        DB = nullptr;
    }

    void WriteIni(const QString &user, const QString &password)
    {
        // The settings file lives in a folder of the test's own; the database on the server.
        ini = std::make_unique<TestDatabase>();
        ini->WriteIni(QString("[DataBase]\nDataBaseName=%1\nuser_name=%2\npassword=%3\n")
                          .arg(server.Host + ":" + copy->Path(), user, password));
    }

    TestServer server = TestServer::FromEnvironment();
    std::unique_ptr<TestDatabase> copy;
    std::unique_ptr<TestDatabase> ini;
    TDB db;
};

TEST_F(ServerTest, ConnectsLogsInAndDrawsKeys)
{
    db.Connect();
    EXPECT_TRUE(db.Connected);
    db.Login("admin", "");
    EXPECT_GT(db.CurrentUserId, 0);
    const int a = db.GetGenId("USR_ID");
    EXPECT_EQ(db.GetGenId("USR_ID"), a + 1);
}

TEST_F(ServerTest, WriteTransactionCommitIsSeenByTheReadTransaction)
{
    db.Connect();
    const int id = db.GetGenId("USR_ID");
    db.StartTransaction();
    auto insert = db.CreateIBSQLC();
    insert->SetSQL("insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (:USR_ID, :USR_LOGIN, :USR_NAME)");
    insert->ParamByName("USR_ID") = id;
    insert->ParamByName("USR_LOGIN") = "сервер";
    insert->ParamByName("USR_NAME") = "Пользователь сервера";
    insert->ExecQuery();
    EXPECT_THROW(db.Login("сервер", ""), ExceptionPos) << "not visible before the commit";
    db.CommitTransaction();
    db.Login("сервер", "");
    EXPECT_EQ(db.CurrentUserId, id);
    EXPECT_EQ(db.CurrentUserName, "Пользователь сервера");
}

TEST_F(ServerTest, WrongPasswordIsRefusedAndNothingStaysOpen)
{
    WriteIni(server.User, server.Password + "-wrong");
    try {
        db.Connect();
        FAIL() << "the server must refuse the password";
    } catch (const EIBError &e) {
        EXPECT_FALSE(e.Message().isEmpty());
    }
    EXPECT_FALSE(db.Connected);
    EXPECT_FALSE(db.Database().Connected());
}

// An administrator cuts the program's attachment off while a select is open: letting go of the
// cursor fails, and running the statement again says that the connection is gone (not that its
// cursor is still open, which the client library would say of a cursor it still counts as open).
TEST_F(ServerTest, AStatementRunAgainAfterItsConnectionWasCutOffSaysTheConnectionIsGone)
{
    db.Connect();
    auto select = db.CreateIBSQLS();
    select->SetSQL("select USR_ID from USR");
    select->ExecQuery();
    ASSERT_TRUE(select->Open());
    {
        TDB other;
        other.Connect();
        RepoBuilder(other).Exec("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = :ID",
                                {{"ID", RepoBuilder(db).Scalar("select current_connection from RDB$DATABASE")}});
        other.Disconnect();
    }
    for (int run = 1; run <= 2; ++run) {
        try {
            select->ExecQuery();
            FAIL() << "the attachment is gone";
        } catch (const EIBError &e) {
            EXPECT_TRUE(e.ConnectionLost()) << "run " << run << ": " << e.what();
        }
        EXPECT_FALSE(select->Open());
    }
    db.Disconnect();
    db.Connect();
    select->ExecQuery();
    EXPECT_FALSE(select->Eof()) << "the statement works on the new connection";
}

TEST(ServerUnreachable, ConnectFailsWithTheClientsMessage)
{
    TestDatabase ini;
    // Port 1 on loopback: nothing listens there, the refusal comes at once.
    ini.WriteIni("[DataBase]\nDataBaseName=127.0.0.1/1:/nowhere/base.fdb\n");
    TDB db;
    try {
        db.Connect();
        FAIL() << "nothing listens on that port";
    } catch (const EIBError &e) {
        EXPECT_TRUE(e.Message().contains("127.0.0.1")) << e.what();
        EXPECT_EQ(db.ErrorText(e), "Не удалось связаться с сервером базы данных: 127.0.0.1/1:/nowhere/base.fdb\n" +
                                       e.Message())
            << "no server found at login is no connection lost";
    }
    EXPECT_FALSE(db.Connected);
}

} // namespace
