// Fetches a million rows of five columns through the access layer and with isql-fb reading the
// same select into /dev/null, in alternating order over several rounds; prints each round's
// figures and the median of the per-round speed ratios against the target.
#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using bench::Median;

constexpr int Rows = 1000000;
constexpr int Rounds = 5;
constexpr double TargetRatio = 2.0;
const char *Select = "select ID, NAME, AMOUNT, SALE_DATE, FLAG from BENCH";

void Run(TIBDatabase &db, const QString &text)
{
    TIBTransaction tr(&db);
    tr.StartTransaction();
    TIBSQL sql(&db, &tr);
    sql.SetSQL(text);
    sql.ExecImmediate();
    tr.Commit();
}

[[maybe_unused]] void Fill(TIBDatabase &db)
{
    Run(db, "create table BENCH (ID integer not null primary key, NAME varchar(40) character set UTF8,"
            " AMOUNT numeric(18,2), SALE_DATE date, FLAG smallint)");
    Run(db, QString("execute block as declare variable I integer = 0; begin"
                    " while (I < %1) do begin"
                    "   insert into BENCH values (:I, 'Товар номер ' || :I, :I * 1.25,"
                    "     dateadd(mod(:I, 3650) day to date '2020-01-01'), mod(:I, 2));"
                    "   I = I + 1; end end").arg(Rows));
}

void Open(TIBDatabase &db, const QString &path)
{
    db.DatabaseName = path;
    db.Params = {"user_name=SYSDBA", "lc_ctype=UTF8"};
    db.Open();
}

// Seconds to fetch every row, each column read as a value the way the grid reads it.
double FetchThroughLayer(const QString &path, qint64 &checksum)
{
    // The embedded engine holds the file for its process: the connection lives only for the
    // fetch, so that isql-fb can open the file after it.
    TIBDatabase db;
    Open(db, path);
    TIBTransaction tr(&db);
    tr.Params = {"read", "read_committed", "rec_version"};
    tr.StartTransaction();
    TIBSQL sql(&db, &tr);
    sql.SetSQL(Select);
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    for (sql.ExecQuery(); !sql.Eof(); sql.Next()) {
        checksum += sql.Field(0).toInt64() + sql.Field(1).toString().size() +
                    sql.Field(2).toCurrencyScaled() + sql.Field(3).toDate().day() + sql.Field(4).toInt64();
        ++rows;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (rows != Rows)
        std::fprintf(stderr, "fetched %d rows, expected %d\n", rows, Rows);
    sql.Close();
    tr.Commit();
    db.Close();
    return seconds;
}

double FetchThroughIsql(const QString &path)
{
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    isql.start("isql-fb", {"-q", "-user", "SYSDBA", "-ch", "UTF8", path});
    isql.write(QByteArray(Select) + ";\n");
    isql.closeWriteChannel();
    isql.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    try {
        if (path.isEmpty()) {
#ifdef KORVENIX_TEMPLATE_DB
            path = dir.filePath("bench.fdb");
            QFile::copy(KORVENIX_TEMPLATE_DB, path);
            TIBDatabase db;
            Open(db, path);
            std::printf("filling %d rows...\n", Rows);
            Fill(db);
            db.Close();
#else
            std::fprintf(stderr, "usage: fetch_bench DATABASE (with a filled BENCH table)\n");
            return 2;
#endif
        }
        std::printf("rows: %d, columns: 5 (integer, varchar, numeric(18,2), date, smallint)\n", Rows);
        std::vector<double> ratios, ours, theirs;
        qint64 checksum = 0;
        for (int round = 0; round < Rounds; ++round) {
            // Alternating which goes first spreads the file cache's warmth over both.
            double layer = 0, isql = 0;
            if (round % 2 == 0) {
                layer = FetchThroughLayer(path, checksum);
                isql = FetchThroughIsql(path);
            } else {
                isql = FetchThroughIsql(path);
                layer = FetchThroughLayer(path, checksum);
            }
            ours.push_back(layer);
            theirs.push_back(isql);
            ratios.push_back(isql / layer);
            std::printf("round %d: TIBSQL %.3f s, isql-fb %.3f s, ratio %.2f\n", round + 1, layer, isql, isql / layer);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("TIBSQL:  median %.3f s, %.0f rows/s (checksum %lld)\n", Median(ours), Rows / Median(ours),
                    static_cast<long long>(checksum));
        std::printf("isql-fb: median %.3f s, %.0f rows/s (text output to /dev/null)\n", Median(theirs),
                    Rows / Median(theirs));
        const double ratio = Median(ratios);
        std::printf("speed TIBSQL/isql-fb: median of %d per-round ratios %.2f; target >= %.1f: %s\n", Rounds, ratio,
                    TargetRatio, ratio >= TargetRatio ? "met" : "NOT met");
        std::printf("peak memory: %ld KiB\n", usage.ru_maxrss);
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
