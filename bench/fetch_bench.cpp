// Fetches a million rows of five columns through the access layer and, in the same run,
// with isql-fb reading the same select into /dev/null; prints rows per second for both.
#include "IBDatabase.h"
#include "IBError.h"
#include "IBSQL.h"
#include "IBTransaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Rows = 1000000;
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

void Fill(TIBDatabase &db)
{
    Run(db, "create table BENCH (ID integer not null primary key, NAME varchar(40) character set UTF8,"
            " AMOUNT numeric(18,2), SALE_DATE date, FLAG smallint)");
    Run(db, QString("execute block as declare variable I integer = 0; begin"
                    " while (I < %1) do begin"
                    "   insert into BENCH values (:I, 'Товар номер ' || :I, :I * 1.25,"
                    "     dateadd(mod(:I, 3650) day to date '2020-01-01'), mod(:I, 2));"
                    "   I = I + 1; end end").arg(Rows));
}

double FetchThroughLayer(TIBDatabase &db, qint64 &checksum)
{
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
        TIBDatabase db;
        db.Params = {"user_name=SYSDBA", "lc_ctype=UTF8"};
        if (path.isEmpty()) {
#ifdef KORVENIX_TEMPLATE_DB
            path = dir.filePath("bench.fdb");
            QFile::copy(KORVENIX_TEMPLATE_DB, path);
            db.DatabaseName = path;
            db.Open();
            std::printf("filling %d rows...\n", Rows);
            Fill(db);
#else
            std::fprintf(stderr, "usage: fetch_bench DATABASE (with a filled BENCH table)\n");
            return 2;
#endif
        } else {
            db.DatabaseName = path;
            db.Open();
        }
        qint64 checksum = 0;
        const double ours = FetchThroughLayer(db, checksum);
        db.Close();
        const double isql = FetchThroughIsql(path);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("rows: %d, columns: 5 (integer, varchar, numeric(18,2), date, smallint)\n", Rows);
        std::printf("TIBSQL:  %.3f s, %.0f rows/s (checksum %lld)\n", ours, Rows / ours, static_cast<long long>(checksum));
        std::printf("isql-fb: %.3f s, %.0f rows/s (text output to /dev/null)\n", isql, Rows / isql);
        std::printf("ratio TIBSQL/isql-fb speed: %.2f\n", isql / ours);
        std::printf("peak memory: %ld KiB\n", usage.ru_maxrss);
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
