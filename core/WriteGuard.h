#pragma once

#include "IBTransaction.h"
#include "Main.h"

// One write transaction around a writer: started on construction and rolled back on destruction
// when it is still open, so that an error anywhere in between leaves nothing written. It is
// ended either by Commit or by whatever the writer commits through (a record editor's Commit).
//   TWriteGuard guard(*DB); ...writes...; guard.Commit();
class TWriteGuard
{
public:
    explicit TWriteGuard(TDB &ADB) : FDB(ADB) { FDB.StartTransaction(); }
    ~TWriteGuard()
    {
        if (!Active())
            return;
        // The error that brought us here is the one to show; a failing rollback adds nothing.
        try {
            FDB.RollbackChanges();
        } catch (...) {
        }
    }
    TWriteGuard(const TWriteGuard &) = delete;
    TWriteGuard &operator=(const TWriteGuard &) = delete;

    void Commit() { FDB.CommitTransaction(); }
    // Still open: nothing of it is committed yet.
    bool Active() const { return FDB.WriteTransaction().InTransaction(); }

private:
    TDB &FDB;
};
