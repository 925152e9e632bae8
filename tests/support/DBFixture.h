#pragma once

#include "Exception.h"
#include "FbStatus.h"
#include "IBDatabase.h"
#include "IBSQL.h"
#include "Main.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include <QList>
#include <QString>
#include <utility>
#include <gtest/gtest.h>

namespace korvenix_test {

// The message of the system's exception a call raises, or "no error".
template <typename Call>
QString ErrorOf(Call call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

// Every row of a select on ADB with the named parameters, its columns as values, in the order
// the select gives them.
inline QList<QList<Variant>> SelectRows(TDB &ADB, const QString &AText,
                                        const QList<std::pair<QString, Variant>> &AParams = {})
{
    auto sql = ADB.CreateIBSQLS();
    TCloseGuard closer(*sql);
    sql->SetSQL(AText);
    for (const auto &[name, value] : AParams)
        sql->ParamByName(name) = value;
    QList<QList<Variant>> rows;
    for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
        QList<Variant> row;
        for (int i = 0; i < sql->FieldCount(); ++i)
            row << sql->Field(i);
        rows << row;
    }
    return rows;
}

// A connection object on a fresh copy of the template database, connected, as the global DB.
class DBFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        DB = &db;
        db.Connect();
    }
    void TearDown() override
    {
        DevMode = false;
        DB = nullptr;
    }

    TestDatabase copy;
    TDB db;
    RepoBuilder repo{db};
};

// The same, with the repository loaded and "admin" logged in; what a test leaves in the write
// transaction is rolled back.
class AdminFixture : public DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        db.Init();
        db.Login("admin", "");
    }
    void TearDown() override
    {
        db.RollbackChanges();
        DBFixture::TearDown();
    }
};

// A transaction on the connection that the connection object does not know of, as a component
// that went its own way would leave: while it is open the engine refuses to detach, so letting go
// of the connection fails.
class StrayTransaction
{
public:
    explicit StrayTransaction(TDB &ADB)
    {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        FTransaction = ADB.Database().Attachment()->startTransaction(&status, 0, nullptr);
        CheckStatus(status);
    }
    ~StrayTransaction()
    {
        // Its attachment may be gone by now; then it is only let go of.
        Firebird::CheckStatusWrapper &status = FreshStatus();
        FTransaction->rollback(&status);
        if (Failed(status))
            FTransaction->release();
    }
    StrayTransaction(const StrayTransaction &) = delete;
    StrayTransaction &operator=(const StrayTransaction &) = delete;

private:
    Firebird::ITransaction *FTransaction;
};

} // namespace korvenix_test
