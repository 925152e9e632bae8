// The table window over 1,000 and 1,000,000 counterparties (eight columns of text, flags and
// sums), each in a database of its own filled first: the time from Open to the first painted
// screen, which lazy fetching keeps independent of the table's size, and the time and memory
// of Ctrl+End, which reads every row into the grid. Baseline in the same run: the same select
// fetched through the access layer into rows of variants, without a grid.
#include "Application.h"
#include "IBSQL.h"
#include "Main.h"
#include "Sql.h"
#include "WinTbl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

constexpr int Runs = 5;

void Exec(TDB &db, const QString &text)
{
    db.StartTransaction();
    auto sql = db.CreateIBSQLC();
    sql->SetSQL(text);
    sql->ExecImmediate();
    db.CommitTransaction();
}

int Scalar(TDB &db, const QString &text)
{
    auto sql = db.CreateIBSQLS();
    sql->SetSQL(text);
    sql->ExecQuery();
    const int value = sql->Field(0).toInt();
    sql->Close();
    return value;
}

// Adds counterparties until the table holds ATotal rows.
void FillTo(TDB &db, int ATotal)
{
    const int missing = ATotal - Scalar(db, "select count(*) from CONTRAG");
    if (missing <= 0)
        return;
    Exec(db, QString(R"(execute block as
declare variable I integer = 0;
begin
  while (I < %1) do begin
    insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR,
                         CONTRAG_BUYER, CONTRAG_SUPPL, CONTRAG_TURN)
      values (next value for CONTRAG_ID, 'Контрагент ' || :I, lpad(:I, 12, '0'), '+7 900 ' || :I,
              'c' || :I || '@example.ru', 'г. Москва, ул. Тестовая, д. ' || :I, mod(:I, 2), 1 - mod(:I, 2), :I * 1.5);
    I = I + 1;
  end
end)").arg(missing));
}

// Bytes the program holds on its heap.
long long HeapBytes()
{
    return static_cast<long long>(mallinfo2().uordblks);
}

long RssKiB(const char *AKey)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(AKey))
            return line.mid(int(qstrlen(AKey))).trimmed().split(' ').first().toLong();
    return -1;
}

// Notes the grid's paints.
class TPaintWatch : public QObject
{
public:
    bool Painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};

// Runs the events until the grid has painted; the elapsed milliseconds of ATimer.
double UntilPainted(TPaintWatch &AWatch, const QElapsedTimer &ATimer)
{
    while (!AWatch.Painted && ATimer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(ATimer.nsecsElapsed()) / 1e6;
}

struct TOpenFigures
{
    double Median = 0, Best = 0;
    int Fetched = 0;
};

TOpenFigures OpenToFirstScreen(TWinTbl &AWin, TPaintWatch &AWatch)
{
    std::vector<double> times;
    TOpenFigures figures;
    for (int run = 0; run < Runs; ++run) {
        AWin.Close();
        QCoreApplication::processEvents();
        AWatch.Painted = false;
        QElapsedTimer timer;
        timer.start();
        AWin.Open();
        times.push_back(UntilPainted(AWatch, timer));
        figures.Fetched = AWin.Count();
    }
    std::sort(times.begin(), times.end());
    figures.Median = times[times.size() / 2];
    figures.Best = times.front();
    return figures;
}

// A copy of the template database whose counterparties number ARows; its settings file.
QString PrepareDatabase(const QTemporaryDir &ADir, const QString &AName, int ARows)
{
    const QString path = ADir.filePath(AName + ".fdb");
    QFile::copy(KORVENIX_TEMPLATE_DB, path);
    QFile ini(ADir.filePath(AName + ".ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(QString("[DataBase]\nDataBaseName=%1\n").arg(path).toUtf8());
    ini.close();
    TDB::SetIniFileName(ini.fileName());
    TDB db;
    DB = &db;
    db.Connect();
    FillTo(db, ARows);
    db.Disconnect();
    DB = nullptr;
    return ini.fileName();
}

// Opens the counterparties' window on the database of AIni and measures it; the median time
// from Open to the first painted screen. With AGotoEnd also Ctrl+End and its baseline.
double Measure(const QString &AIni, int ARows, bool AGotoEnd)
{
    TDB::SetIniFileName(AIni);
    TDB db;
    DB = &db;
    db.Connect();
    db.Init();
    db.Login("admin", "");

    QWidget host;
    host.resize(1000, 700);
    auto win = std::make_unique<TWinTbl>(&host, &host);
    win->InitByUser(db.ObjList->GetObjByTable("CONTRAG"), nullptr, db.CurrentUserId, true);
    win->SetAlign(TAlign::alClient);
    host.show();
    auto *grid = win->GetPanel()->findChild<QTreeView *>();
    TPaintWatch watch;
    grid->viewport()->installEventFilter(&watch);
    const TOpenFigures open = OpenToFirstScreen(*win, watch);
    std::printf("Open to first painted screen, %7d rows: median %.2f ms, best %.2f ms, rows fetched %d\n", ARows,
                open.Median, open.Best, open.Fetched);
    if (AGotoEnd) {
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCoreApplication::processEvents();
        const long rssBefore = RssKiB("VmRSS:");
        const long long heapBefore = HeapBytes();
        watch.Painted = false;
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(grid, &press);
        const double gotoEnd = UntilPainted(watch, timer);
        const long rssAfter = RssKiB("VmRSS:");
        const long long heap = HeapBytes() - heapBefore;
        std::printf("Ctrl+End: %d rows in %.0f ms (%.0f rows/s), heap +%lld KiB (%.0f bytes per row), "
                    "resident +%ld KiB\n",
                    win->Count(), gotoEnd, win->Count() / (gotoEnd / 1000), heap / 1024,
                    double(heap) / std::max(win->Count(), 1), rssAfter - rssBefore);
        const QString select = win->SelectSQL->GetSelectSQL();
        win->Close();
        win.reset();

        // Baseline: the same select read into rows of variants through the access layer.
        auto sql = db.CreateIBSQLS();
        sql->SetSQL(select);
        const long long before = HeapBytes();
        QElapsedTimer raw;
        raw.start();
        std::vector<TRow> rows;
        for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
            TRow row(static_cast<size_t>(sql->FieldCount()));
            for (int i = 0; i < sql->FieldCount(); ++i)
                row[size_t(i)] = sql->Field(i);
            rows.push_back(std::move(row));
        }
        const double ms = double(raw.nsecsElapsed()) / 1e6;
        const long long rowsHeap = HeapBytes() - before;
        sql->Close();
        std::printf("baseline, the select into rows without a grid: %zu rows in %.0f ms (%.0f rows/s), "
                    "heap +%lld KiB (%.0f bytes per row)\n",
                    rows.size(), ms, rows.size() / (ms / 1000), rowsHeap / 1024,
                    double(rowsHeap) / std::max<size_t>(rows.size(), 1));
        std::printf("Ctrl+End / baseline time: %.2f\n", gotoEnd / ms);
    }
    win.reset();
    DB = nullptr;
    return open.Median;
}

} // namespace

int main(int argc, char *argv[])
{
#ifndef KORVENIX_TEMPLATE_DB
    std::fprintf(stderr, "built without the template database\n");
    return 2;
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    try {
        std::printf("filling the tables...\n");
        std::fflush(stdout);
        const QString small = PrepareDatabase(dir, "small", 1000);
        const QString large = PrepareDatabase(dir, "large", 1000000);
        TApplication app(argc, argv);
        std::printf("grid 1000 x 700, 8 columns\n");
        const double smallOpen = Measure(small, 1000, false);
        const double largeOpen = Measure(large, 1000000, true);
        std::printf("ratio of Open to first screen, 1,000,000 / 1,000 rows: %.2f\n", largeOpen / smallOpen);
        std::printf("peak memory: %ld KiB\n", RssKiB("VmHWM:"));
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
#endif
}
