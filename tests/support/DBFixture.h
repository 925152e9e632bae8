#pragma once

#include "Exception.h"
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

} // namespace korvenix_test
