#pragma once

#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <memory>

// An embedded connection to a fresh database copy, with a read and a write transaction
// set up the way the system uses them.
class IBFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.DatabaseName = copy.Path();
        db.Params = {"user_name=SYSDBA", "password=masterkey", "lc_ctype=UTF8"};
        db.Open();
        read.Params = {"read", "read_committed", "rec_version"};
        write.Params = {"nowait", "read_committed", "rec_version"};
        read.StartTransaction();
    }

    // Runs DDL in its own committed transaction.
    void Ddl(const QString &text)
    {
        TIBTransaction tr(&db);
        tr.StartTransaction();
        TIBSQL sql(&db, &tr);
        sql.SetSQL(text);
        try {
            sql.ExecImmediate();
        } catch (const EIBError &e) {
            ADD_FAILURE() << e.what() << "\n" << text.toStdString();
            throw;
        }
        tr.Commit();
    }

    TestDatabase copy;
    TIBDatabase db;
    TIBTransaction read{&db};
    TIBTransaction write{&db};
};
