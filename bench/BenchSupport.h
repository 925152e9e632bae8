#pragma once

// What the benchmark programs share: the median of their rounds and a statement run on its own.

#include "IBSQL.h"
#include "Main.h"

#include <algorithm>
#include <vector>

namespace bench {

// The middle value (the upper one of an even count): one slow round does not move it.
inline double Median(std::vector<double> AValues)
{
    std::sort(AValues.begin(), AValues.end());
    return AValues[AValues.size() / 2];
}

// Runs one statement in a write transaction of its own and commits it.
inline void Exec(TDB &ADB, const QString &AText)
{
    ADB.StartTransaction();
    auto sql = ADB.CreateIBSQLC();
    sql->SetSQL(AText);
    sql->ExecImmediate();
    ADB.CommitTransaction();
}

} // namespace bench
