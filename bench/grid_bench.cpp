// The table window over 1,000 and 1,000,000 counterparties (eight columns of text, flags and
// sums), each in a database of its own filled first, both windows alive for the whole run.
//
// Opening: in every round both windows are closed, the event loop settles, and they open in a
// random order; the time from Open to the first painted screen is taken for each, and the
// round's figure is the ratio large / small. Lazy fetching keeps it near 1 whatever the size.
//
// Ctrl+End on the large window, alternating in random order with the raw fetch of the same
// select (every column of every row read through the access layer, nothing kept): the time
// ratio per round, and the memory the rows add to the process.
//
// Closed windows: ten MDI windows of the large table, each scrolled to the end, then closed as
// the user closes them; the resident size before they open, while they are open and after they
// closed, which comes back to where it was.
#include "Application.h"
#include "IBSQL.h"
#include "MDITbl.h"
#include "Main.h"
#include "Sql.h"
#include "WinTbl.h"
#include "BenchSupport.h"

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <random>
#include <vector>

namespace {

using bench::Exec;
using bench::HeapBytes;
using bench::Median;
using bench::RssKiB;
using bench::Settle;

constexpr int OpenRounds = 21;
constexpr int GotoEndRounds = 5;
constexpr int SmallRows = 1000;
constexpr int LargeRows = 1000000;
// The targets printed beside the figures.
constexpr double OpenRatioTarget = 1.2;
constexpr double GotoEndRatioTarget = 1.5;
constexpr double AddedMiBTarget = 200;
constexpr double BytesPerRowTarget = 200;
constexpr int ClosedWindows = 10;
constexpr double ClosedMiBTarget = 50;

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

// A copy of the template database whose counterparties number ARows; its settings file.
QString PrepareDatabase(const QTemporaryDir &ADir, const QString &AName, int ARows)
{
    const QString ini = bench::UseDatabaseCopy(KORVENIX_TEMPLATE_DB, ADir, AName);
    TDB db;
    DB = &db;
    db.Connect();
    FillTo(db, ARows);
    db.Disconnect();
    DB = nullptr;
    return ini;
}

// The counterparties' window on a database of its own, shown in a host of its own. The
// process has one current connection: every call into the window goes through Use().
class TGridCase
{
public:
    TGridCase(const QString &AIni, int ARows) : Rows(ARows)
    {
        TDB::SetIniFileName(AIni);
        Use();
        Db.Connect();
        Db.Init();
        Db.Login("admin", "");
        Host.resize(1000, 700);
        Win = std::make_unique<TWinTbl>(&Host, &Host);
        Win->InitByUser(Db.ObjList->GetObjByTable("CONTRAG"), nullptr, Db.CurrentUserId, true);
        Win->SetAlign(TAlign::alClient);
        Host.show();
        Grid = Win->GetPanel()->findChild<QAbstractItemView *>();
        Grid->viewport()->installEventFilter(&Watch);
    }
    ~TGridCase()
    {
        Use();
        Win.reset();
        DB = nullptr;
    }

    TWinTbl &Use()
    {
        DB = &Db;
        return *Win;
    }

    // Milliseconds from Open to the first painted screen.
    double TimeOpen()
    {
        Watch.Painted = false;
        QElapsedTimer timer;
        timer.start();
        Use().Open();
        return UntilPainted(timer);
    }

    // Milliseconds from the Ctrl+End key to the painted last screen.
    double TimeGotoEnd()
    {
        Watch.Painted = false;
        QElapsedTimer timer;
        timer.start();
        Use();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(Grid, &press);
        return UntilPainted(timer);
    }

    bool AtLastRow() const { return Grid->currentIndex().row() == Win->Count() - 1; }

    // Milliseconds to read every column of every row of the window's select through the access
    // layer, keeping nothing; the rows read.
    double TimeRawFetch(int &ARows)
    {
        auto sql = Db.CreateIBSQLS();
        sql->SetSQL(Win->SelectSQL->GetSelectSQL());
        qint64 checksum = 0;
        ARows = 0;
        QElapsedTimer timer;
        timer.start();
        for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
            for (int i = 0; i < sql->FieldCount(); ++i)
                checksum += sql->Field(i).isNull() ? 0 : 1;
            ++ARows;
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        sql->Close();
        if (checksum < 0)
            std::printf("impossible\n");
        return ms;
    }

    const int Rows;
    TDB Db;
    QWidget Host;
    std::unique_ptr<TWinTbl> Win;
    QAbstractItemView *Grid = nullptr;
    TPaintWatch Watch;

private:
    double UntilPainted(const QElapsedTimer &ATimer)
    {
        while (!Watch.Painted && ATimer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return double(ATimer.nsecsElapsed()) / 1e6;
    }
};

void MeasureOpening(TGridCase &ASmall, TGridCase &ALarge, std::mt19937 &ARandom)
{
    std::vector<double> small, large, ratios;
    for (int round = 0; round < OpenRounds; ++round) {
        ASmall.Use().Close();
        ALarge.Use().Close();
        TGridCase *order[] = {&ASmall, &ALarge};
        std::shuffle(std::begin(order), std::end(order), ARandom);
        double times[2] = {};
        for (TGridCase *grid : order) {
            Settle();
            times[grid == &ALarge] = grid->TimeOpen();
        }
        small.push_back(times[0]);
        large.push_back(times[1]);
        ratios.push_back(times[1] / times[0]);
    }
    Settle();
    std::printf("Open to first painted screen, median of %d rounds: %d rows %.2f ms (rows fetched %d), "
                "%d rows %.2f ms (rows fetched %d)\n",
                OpenRounds, ASmall.Rows, Median(small), ASmall.Win->Count(), ALarge.Rows, Median(large),
                ALarge.Win->Count());
    std::printf("  large / small, median of per-round ratios: %.2f   (target <= %.1f, the same rows fetched)\n",
                Median(ratios), OpenRatioTarget);
}

void MeasureGotoEnd(TGridCase &ALarge, std::mt19937 &ARandom)
{
    std::vector<double> gotoEnd, raw, ratios, bytesPerRow;
    double maxResidentMiB = 0;
    int fetched = 0, rawRows = 0, atLast = 0;
    // The engine fills its page cache on the first full read: that memory is the engine's, not
    // the rows', and stays out of the figures.
    ALarge.TimeRawFetch(rawRows);
    for (int round = 0; round < GotoEndRounds; ++round) {
        double gotoEndMs = 0, rawMs = 0;
        const bool rawFirst = ARandom() % 2 == 1;
        for (int step = 0; step < 2; ++step) {
            if ((step == 0) == rawFirst) {
                Settle();
                rawMs = ALarge.TimeRawFetch(rawRows);
                continue;
            }
            ALarge.Use().Close();
            Settle();
            ALarge.Use().Open();
            Settle();
            malloc_trim(0);
            const long rssBefore = RssKiB("VmRSS:");
            const long long heapBefore = HeapBytes();
            gotoEndMs = ALarge.TimeGotoEnd();
            Settle();
            const long rssAfter = RssKiB("VmRSS:");
            fetched = ALarge.Win->Count();
            atLast += ALarge.AtLastRow() ? 1 : 0;
            maxResidentMiB = std::max(maxResidentMiB, double(rssAfter - rssBefore) / 1024);
            bytesPerRow.push_back(double(HeapBytes() - heapBefore) / std::max(fetched, 1));
        }
        gotoEnd.push_back(gotoEndMs);
        raw.push_back(rawMs);
        ratios.push_back(gotoEndMs / rawMs);
    }
    ALarge.Use().Close();
    std::printf("Ctrl+End, median of %d rounds: %d rows in %.0f ms; raw fetch of the same select: %d rows in %.0f ms\n",
                GotoEndRounds, fetched, Median(gotoEnd), rawRows, Median(raw));
    std::printf("  Ctrl+End / raw fetch, median of per-round ratios: %.2f   (target <= %.1f)\n", Median(ratios),
                GotoEndRatioTarget);
    std::printf("  resident added, largest of the rounds: %.0f MiB, %.0f bytes a row   (target <= %.0f MiB)\n",
                maxResidentMiB, maxResidentMiB * 1024 * 1024 / std::max(fetched, 1), AddedMiBTarget);
    std::printf("  heap added per row, median: %.0f bytes   (target <= %.0f)\n", Median(bytesPerRow),
                BytesPerRowTarget);
    std::printf("  the focus on the last row after Ctrl+End: %d of %d rounds   (target: every round)\n", atLast,
                GotoEndRounds);
}

double MiB(long AKiB)
{
    return double(AKiB) / 1024;
}

// Ctrl+End on the grid inside AWindow, until its last row is painted.
void ScrollToEnd(TMDITbl &AWindow)
{
    QAbstractItemView *grid = AWindow.GetForm()->findChild<QAbstractItemView *>();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(grid, &press);
    Settle();
}

void MeasureClosedWindows(TGridCase &ALarge)
{
    // The engine's page cache is full after one read of the table: the engine's, not the rows'.
    int rawRows = 0;
    ALarge.TimeRawFetch(rawRows);
    ALarge.Use();
    TObj *obj = ALarge.Db.ObjList->GetObjByTable("CONTRAG");
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    Settle();
    const long before = RssKiB("VmRSS:");
    const long long heapBefore = HeapBytes();

    std::vector<TMDITbl *> windows;
    for (int i = 0; i < ClosedWindows; ++i) {
        auto *window = new TMDITbl(&area, obj);
        // As the list of MDI windows does: the object goes with its form.
        window->OnFormDestroy = [&windows](TMDI *AMDI) {
            windows.erase(std::find(windows.begin(), windows.end(), AMDI));
            delete AMDI;
        };
        windows.push_back(window);
        ScrollToEnd(*window);
    }
    long rows = 0;
    for (TMDITbl *window : windows)
        rows += window->GetWinTbl()->Count();
    const long open = RssKiB("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    for (QMdiSubWindow *form : area.subWindowList())
        form->close();
    Settle();
    const double closeMs = double(timer.nsecsElapsed()) / 1e6;
    const long after = RssKiB("VmRSS:");
    const long long heapAfter = HeapBytes();

    std::printf("%d windows of %ld rows, each scrolled to the end, then closed "
                "(%zu left; closed and settled in %.0f ms):\n",
                ClosedWindows, rows / ClosedWindows, windows.size(), closeMs);
    std::printf("  resident before they opened %.0f MiB, with them open %.0f MiB, after they closed %.0f MiB\n",
                MiB(before), MiB(open), MiB(after));
    std::printf("  after closing - before opening: %+.0f MiB   (target <= %.0f MiB); heap in use %+.1f MiB\n",
                MiB(after - before), ClosedMiBTarget, double(heapAfter - heapBefore) / 1024 / 1024);
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
        const QString smallIni = PrepareDatabase(dir, "small", SmallRows);
        const QString largeIni = PrepareDatabase(dir, "large", LargeRows);
        TApplication app(argc, argv);
        const unsigned seed = std::random_device{}();
        std::mt19937 random(seed);
        std::printf("grid 1000 x 700, 8 columns; random order seed %u\n", seed);
        TGridCase small(smallIni, SmallRows);
        TGridCase large(largeIni, LargeRows);
        Settle();
        MeasureOpening(small, large, random);
        MeasureClosedWindows(large);
        MeasureGotoEnd(large, random);
        std::printf("peak memory: %ld KiB\n", RssKiB("VmHWM:"));
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
#endif
}
