#pragma once

#include "Main.h"

// One write transaction around a writer: started on construction, rolled back on destruction
// unless Commit ran, so that an error anywhere in between leaves nothing written.
//   TWriteGuard guard(*DB); ...writes...; guard.Commit();
class TWriteGuard
{
public:
    explicit TWriteGuard(TDB &ADB) : FDB(ADB) { FDB.StartTransaction(); }
    ~TWriteGuard()
    {
        if (FCommitted)
            return;
        // The error that brought us here is the one to show; a failing rollback adds nothing.
        try {
            FDB.RollbackChanges();
        } catch (...) {
        }
    }
    TWriteGuard(const TWriteGuard &) = delete;
    TWriteGuard &operator=(const TWriteGuard &) = delete;

    void Commit()
    {
        FDB.CommitTransaction();
        FCommitted = true;
    }

private:
    TDB &FDB;
    bool FCommitted = false;
};
