// The configurator on repositories of 500 and of 2,000 generated objects (20 fields each, two of
// them links to objects further on in a ring) besides the system's own: opening the window, a
// click on an object in its list (its fields, links, views, cards and column tree shown), and the
// designer's "Сохранить" of a card of 100 and of 400 controls (a page control with four tabs).
// Prints medians, the statements each step runs and the memory the clicks take, beside their
// targets. A GUI program that runs offscreen.
#include "Application.h"
#include "Card.h"
#include "IBSQL.h"
#include "MDIConf.h"
#include "Main.h"
#include "WinCardConf.h"
#include "WinTblCard.h"
#include "WinTblObj.h"
#include "BenchSupport.h"

#include <QAbstractItemView>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <memory>
#include <vector>

namespace {

using bench::Exec;
using bench::Median;
using bench::RssKiB;
using bench::Settle;

constexpr int FieldsPerObject = 20;
constexpr int OpenRounds = 5;
constexpr int ClickRounds = 21;
constexpr int SaveRounds = 15;
constexpr int SmallCard = 100;
constexpr int LargeCard = 400;
constexpr int Tabs = 4;
// The targets printed beside the figures (the click's at 2,000 objects).
constexpr double ClickMsTarget = 100;
constexpr double ClickMiBTarget = 100;
constexpr double SaveRatioTarget = 5;

struct TFigures
{
    double Ms = 0;
    qint64 Statements = 0;
};

// An object with a table of its own and enough number fields for the larger card.
void CreateCardObject(TDB &ADB)
{
    const int fields = LargeCard - 2 - Tabs;
    QString columns;
    for (int f = 1; f <= fields; ++f)
        columns += QString(", F%1 integer").arg(f);
    Exec(ADB, QString("create table CARDBENCH (CARDBENCH_ID integer not null primary key%1)").arg(columns));
    Exec(ADB, QString(R"(execute block as
declare variable O integer;
declare variable F integer = 1;
begin
  O = next value for OBJ_ID;
  insert into OBJ (OBJ_ID, OBJ_TABLE, OBJ_CAPT) values (:O, 'CARDBENCH', 'Карточки');
  insert into FLD (FLD_ID, OBJ_ID, FLD_FIELD, FLD_CAPT, FLDTYPE_ID)
    values (next value for FLD_ID, :O, 'CARDBENCH_ID', 'Код', (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK'));
  while (F <= %1) do begin
    insert into FLD (FLD_ID, OBJ_ID, FLD_FIELD, FLD_CAPT, FLDTYPE_ID)
      values (next value for FLD_ID, :O, 'F' || :F, 'Поле ' || :F, (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'Integ'));
    F = F + 1;
  end
end)").arg(fields));
}

// A card named "C<controls>-<number>" of the object: the root, a page control, four tabs and the
// fields F1... spread over the tabs, one below the other.
void CreateCard(TDB &ADB, int AControls, int ANumber)
{
    Exec(ADB, QString(R"(execute block as
declare variable O integer;
declare variable C integer;
declare variable N integer = %1;
declare variable T integer = 0;
declare variable K integer;
declare variable I integer;
declare variable E integer = 1;
declare variable L integer = 3;
begin
  select OBJ_ID from OBJ where OBJ_TABLE = 'CARDBENCH' into :O;
  C = next value for CARD_ID;
  insert into CARD (CARD_ID, OBJ_ID, CARD_NAME, CARD_WIDTH, CARD_HEIGHTATR, CARD_HEIGHTDET)
    values (:C, :O, 'C' || :N || '-' || %3, 432, 400, 0);
  insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, CTRLTREE_LFT, CTRLTREE_RGT)
    values (next value for CTRLTREE_ID, :C, (select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = 'Root'), 1, 2 * :N);
  insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, CTRLTREE_LFT, CTRLTREE_RGT,
                        CTRLTREE_CLEFT, CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_CHEIGHT)
    values (next value for CTRLTREE_ID, :C, (select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = 'PageControl'),
            2, 2 * :N - 1, 8, 8, 408, 376);
  while (T < %2) do begin
    K = (N - 2 - %2) / %2 + iif(T < mod(N - 2 - %2, %2), 1, 0);
    insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, CTRLTREE_LFT, CTRLTREE_RGT, CTRLTREE_CAPT)
      values (next value for CTRLTREE_ID, :C, (select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = 'TabSheet'),
              :L, :L + 2 * :K + 1, 'Вкладка ' || (:T + 1));
    I = 0;
    while (I < K) do begin
      insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, FLD_ID, CTRLTREE_LFT, CTRLTREE_RGT,
                            CTRLTREE_CLEFT, CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_LLEFT, CTRLTREE_LTOP,
                            CTRLTREE_LWIDTH, CTRLTREE_LHEIGHT)
        values (next value for CTRLTREE_ID, :C, (select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = 'EditInt'),
                (select FLD_ID from FLD where OBJ_ID = :O and FLD_FIELD = 'F' || :E),
                :L + 1 + 2 * :I, :L + 2 + 2 * :I, 160, 8 + 22 * :I, 120, 8, 10 + 22 * :I, 144, 16);
      I = I + 1;
      E = E + 1;
    end
    L = L + 2 * K + 2;
    T = T + 1;
  end
end)").arg(AControls).arg(Tabs).arg(ANumber));
}

// A left click, press and release, as the mouse sends it.
void ClickAt(QWidget *AWidget, const QPoint &APos)
{
    const QPointF global = AWidget->mapToGlobal(QPointF(APos));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(APos), global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(AWidget, &event);
    }
}

// The largest resident size the process has had, over the resets of the peak the clicks make.
long PeakKiB = 0;
void NotePeak()
{
    PeakKiB = std::max(PeakKiB, RssKiB("VmHWM:"));
}

// The time a step takes, to the screen updated, and the statements it runs.
TFigures Timed(const std::function<void()> &AStep)
{
    const qint64 before = TIBSQL::ExecutedCount();
    QElapsedTimer timer;
    timer.start();
    AStep();
    return {double(timer.nsecsElapsed()) / 1e6, TIBSQL::ExecutedCount() - before};
}

// The configurator in an MDI area of its own, on the logged-in repository.
class TConfCase
{
public:
    TConfCase()
    {
        Area.resize(1100, 750);
        Area.show();
    }
    ~TConfCase() { Conf.reset(); }

    // Milliseconds from creating the window to its settled first screen.
    double TimeOpen()
    {
        Conf.reset();
        Settle();
        QElapsedTimer timer;
        timer.start();
        Conf = std::make_unique<TMDIConfig>(&Area);
        Conf->Show();
        Conf->GetForm()->showMaximized();
        QCoreApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e6;
    }

    // Clicks the row of a list that shows the text in some column; the time to the click
    // handled and the screen updated, and the statements it ran.
    TFigures Click(TWinTbl &AList, const QString &AText)
    {
        auto *grid = AList.GetPanel()->findChild<QAbstractItemView *>();
        QModelIndex index;
        AList.GotoEnd();
        for (int column = 0; column < grid->model()->columnCount() && !index.isValid(); ++column)
            index = grid->model()->match(grid->model()->index(0, column), Qt::DisplayRole, AText, 1, Qt::MatchExactly).value(0);
        if (!index.isValid())
            throw std::runtime_error(("no row " + AText).toStdString());
        grid->scrollTo(index);
        Settle();
        return Timed([&] {
            ClickAt(grid->viewport(), grid->visualRect(index).center());
            QCoreApplication::processEvents();
        });
    }

    // The designer's save of cards of AControls controls, each saved twice and the second save
    // timed: the rows it deletes are then the ones a save wrote, as when a layout is changed again.
    // Between the two the designer reads the card anew.
    TFigures Save(int AControls)
    {
        std::vector<double> times;
        qint64 statements = 0;
        for (int round = 1; round <= SaveRounds; ++round) {
            Click(*Conf->WinTblCard, QString("C%1-%2").arg(AControls).arg(round));
            Conf->WinCardConf->btSaveClick();
            Conf->WinCardConf->SetCardId(Conf->WinCardConf->CardId());
            Settle();
            const TFigures save = Timed([&] { Conf->WinCardConf->btSaveClick(); });
            times.push_back(save.Ms);
            statements = save.Statements;
        }
        return {Median(times), statements};
    }

    QMdiArea Area;
    std::unique_ptr<TMDIConfig> Conf;
};

void Measure(TDB &ADB, int AObjects)
{
    bench::GenerateObjects(ADB, AObjects, FieldsPerObject);
    ADB.Init();
    ADB.Login("admin", "");
    {
        TConfCase conf;
        std::vector<double> opens;
        for (int round = 0; round < OpenRounds; ++round)
            opens.push_back(conf.TimeOpen());
        Settle();
        std::printf("repository: %d objects (%d generated, %d fields each)\n", int(ADB.ObjList->Count()), AObjects,
                    FieldsPerObject);
        std::printf("  configurator opened, median of %d: %.1f ms\n", OpenRounds, Median(opens));

        // Two objects linked in the ring, clicked in turn; the memory the clicks take at their
        // peak, above what the process held before them. A click on each first reads the whole
        // list and makes what a window makes once.
        for (const char *warm : {"BT1", "BT2"})
            conf.Click(*conf.Conf->WinTblObj, warm);
        malloc_trim(0);
        Settle();
        NotePeak();
        QFile clear("/proc/self/clear_refs");
        const bool peakReset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const long rssBefore = RssKiB("VmRSS:");
        std::vector<double> clicks;
        qint64 statements = 0;
        for (int round = 0; round < ClickRounds; ++round) {
            const TFigures click = conf.Click(*conf.Conf->WinTblObj, QString("BT%1").arg(round % 2 + 1));
            clicks.push_back(click.Ms);
            statements = click.Statements;
        }
        const double peakMiB = double(RssKiB("VmHWM:") - rssBefore) / 1024;
        NotePeak();
        const bool target = AObjects >= 2000;
        std::printf("  object clicked, median of %d: %.1f ms, %lld statements%s\n", ClickRounds, Median(clicks),
                    static_cast<long long>(statements),
                    target ? (Median(clicks) <= ClickMsTarget ? "; target <= 100 ms: met" : "; target <= 100 ms: NOT met")
                           : "");
        std::printf("  memory the clicks took at their peak: %s%.1f MiB%s\n", peakReset ? "" : "(peak not reset) ", peakMiB,
                    target ? (peakMiB <= ClickMiBTarget ? "; target <= 100 MB: met" : "; target <= 100 MB: NOT met") : "");

        conf.Click(*conf.Conf->WinTblObj, "CARDBENCH");
        const TFigures small = conf.Save(SmallCard);
        const TFigures large = conf.Save(LargeCard);
        const double ratio = large.Ms / small.Ms;
        std::printf("  designer's save, median of %d: %d controls %.1f ms (%lld statements), %d controls %.1f ms "
                    "(%lld statements)\n",
                    SaveRounds, SmallCard, small.Ms, static_cast<long long>(small.Statements), LargeCard, large.Ms,
                    static_cast<long long>(large.Statements));
        std::printf("  %d / %d controls: %.2f; target <= %.0f: %s\n", LargeCard, SmallCard, ratio, SaveRatioTarget,
                    ratio <= SaveRatioTarget ? "met" : "NOT met");
    }
    ADB.Deinit();
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
    bench::UseDatabaseCopy(KORVENIX_TEMPLATE_DB, dir, "conf");
    try {
        TApplication app(argc, argv);
        TDB db;
        DB = &db;
        db.Connect();
        CreateCardObject(db);
        for (int number = 1; number <= SaveRounds; ++number)
            for (const int controls : {SmallCard, LargeCard})
                CreateCard(db, controls, number);
        for (const int objects : {500, 2000})
            Measure(db, objects);
        NotePeak();
        std::printf("peak memory: %ld KiB\n", PeakKiB);
        db.Disconnect();
        DB = nullptr;
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
#endif
}
