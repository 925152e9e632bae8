#pragma once

#include "Exception.h"
#include "Main.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include <QString>
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

} // namespace korvenix_test
