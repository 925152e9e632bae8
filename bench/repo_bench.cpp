// Builds repositories of 500 and of 2,000 objects (20 fields and 2 links each) in a fresh
// database and measures a whole login: Connect + Init (the repository load) + Login. Prints the
// median of several runs, the statements one login runs, the statement handles the load leaves
// behind, and the peak memory, each beside its target.
#include "IBSQL.h"
#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"
#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using bench::Exec;

constexpr int FieldsPerObject = 20;   // a key, two link fields and 17 plain fields
constexpr int Runs = 7;
constexpr qint64 StatementTarget = 10;

struct TSize
{
    int Objects;
    double TargetMs;
};
constexpr TSize Sizes[] = {{500, 150}, {2000, 600}};

void Generate(TDB &db, int Objects)
{
    Exec(db, "delete from OBJ");
    bench::GenerateObjects(db, Objects, FieldsPerObject);
}

// Logs in Runs times on the generated repository and prints the figures.
void Measure(TDB &db, const TSize &size)
{
    std::vector<double> times;
    qint64 statements = 0;
    qint64 handlesLeft = 0;
    int objects = 0, fields = 0, links = 0;
    for (int run = 0; run < Runs; ++run) {
        const qint64 handlesBefore = TIBSQL::HandleCount();
        QElapsedTimer timer;
        timer.start();
        const qint64 before = TIBSQL::ExecutedCount();
        db.Connect();
        db.Init();
        db.Login("admin", "");
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        statements = TIBSQL::ExecutedCount() - before;
        handlesLeft = TIBSQL::HandleCount() - handlesBefore;
        objects = db.ObjList->Count();
        fields = links = 0;
        for (TObj *obj : *db.ObjList) {
            fields += obj->FldList->Count();
            links += obj->ChildList->Count();
        }
        db.Deinit();
        db.Disconnect();
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("repository: %d objects, %d fields, %d links\n", objects, fields, links);
    std::printf("  Connect + Init + Login: median %.1f ms, best %.1f ms, worst %.1f ms (%d runs); target <= %.0f ms: %s\n",
                median, times.front(), times.back(), Runs, size.TargetMs, median <= size.TargetMs ? "met" : "NOT met");
    std::printf("  statements per login: %lld; target <= %lld: %s\n", static_cast<long long>(statements),
                static_cast<long long>(StatementTarget), statements <= StatementTarget ? "met" : "NOT met");
    std::printf("  statement handles left open after the login: %lld (the connection's own)\n",
                static_cast<long long>(handlesLeft));
}

} // namespace

int main()
{
#ifndef KORVENIX_TEMPLATE_DB
    std::fprintf(stderr, "built without the template database\n");
    return 2;
#else
    QTemporaryDir dir;
    bench::UseDatabaseCopy(KORVENIX_TEMPLATE_DB, dir, "repo");
    try {
        TDB db;
        DB = &db;
        for (const TSize &size : Sizes) {
            db.Connect();
            Generate(db, size.Objects);
            db.Disconnect();
            Measure(db, size);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("peak memory: %ld KiB\n", usage.ru_maxrss);
        DB = nullptr;
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
#endif
}
