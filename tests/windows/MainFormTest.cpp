#include "DBFixture.h"
#include "GuiHelpers.h"
#include "MDITbl.h"
#include "Obj.h"
#include "WinTbl.h"
#include "XDisplay.h"

#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <csignal>

namespace {

using namespace korvenix_test;

class MainFormTest : public MainFormFixture
{
protected:
    bool LoggedOut() const
    {
        return !form->miData->menuAction()->isVisible() && !form->miSetup->menuAction()->isVisible() &&
               form->miData->actions().isEmpty() && form->StatusText().isEmpty() && !form->MDIList && !DB->Connected;
    }
    QList<QMdiSubWindow *> Windows() const { return form->mdi->subWindowList(); }
    TMDITbl *Table(int i) const { return dynamic_cast<TMDITbl *>(form->MDIList->Items(i)); }
    // Opens "Данные" on the menu bar and clicks the item with the caption.
    void ChooseData(const QString &caption)
    {
        QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(form->miData->menuAction()).center());
        ASSERT_TRUE(WaitFor([&] { return form->miData->isVisible(); }));
        const QList<QAction *> items = form->miData->actions();
        const qsizetype index = Captions(form->miData).indexOf(caption);
        ASSERT_GE(index, 0) << caption.toStdString();
        QTest::mouseClick(form->miData, Qt::LeftButton, {}, form->miData->actionGeometry(items[index]).center());
    }
};

TEST_F(MainFormTest, LoginFillsTheDataMenuAndItsItemsOpenWindows)
{
    Show(EnterLogin("admin", [&](TLoginForm *login) { EXPECT_FALSE(login->lePass->isEnabled()); }));
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
    // Short captions, reference books marked; meta objects only in developer mode.
    const QStringList menu = Captions(form->miData);
    EXPECT_TRUE(menu.contains("Сделки") && menu.contains("Ед. изм. (Спр.)")) << menu.join(", ").toStdString();
    EXPECT_FALSE(menu.contains("Объекты"));
    form->miDevMode->trigger();
    EXPECT_TRUE(Captions(form->miData).contains("Объекты"));
    form->miDevMode->trigger();
    EXPECT_EQ(Captions(form->miData), menu);

    // Chosen through the real menu: the units' window, and the same one in front when asked
    // again; once the user closes it, a new one.
    QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(form->miData->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return form->miData->isVisible(); }));
    QAction *units = form->miData->actions().at(menu.indexOf("Ед. изм. (Спр.)"));
    QTest::mouseClick(form->miData, Qt::LeftButton, {}, form->miData->actionGeometry(units).center());
    OpenData("CURR");
    ASSERT_EQ(Windows().size(), 2);
    EXPECT_EQ(Windows()[0]->windowTitle(), "Ед. изм.");
    Table(0)->GetWinTbl()->GotoEnd();
    EXPECT_EQ(Table(0)->GetWinTbl()->Count(), 6);
    OpenData("UNIT");
    EXPECT_EQ(form->MDIList->Count(), 2);
    EXPECT_EQ(form->mdi->activeSubWindow(), Table(0)->GetForm());
    Table(0)->GetForm()->close();
    ASSERT_TRUE(WaitFor([&] { return form->MDIList->Count() == 1; }));
    OpenData("UNIT");
    EXPECT_EQ(form->MDIList->Items(1)->Obj, O("UNIT"));

    // An object without a view opens nothing, and asking again gives the same error, not a
    // window left half made.
    RepoBuilder(*DB).Exec("delete from TBL where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'PRODGRP')");
    BoxSeen first, second;
    {
        ModalScript script{AnswerBox(first, "OK"), AnswerBox(second, "OK")};
        OpenData("PRODGRP");
        OpenData("PRODGRP");
    }
    EXPECT_EQ(QStringList({first.Text, second.Text}), QStringList(2, "Для объекта \"Группы товаров\" не создана таблица."));
    EXPECT_EQ(form->MDIList->Count(), 2);
}

// With more objects than the screen holds items, "Данные" stays on the screen in one column that
// scrolls: the last object is reached by the keys and chosen with the mouse.
TEST_F(MainFormTest, ADataMenuOfMoreObjectsThanTheScreenHoldsScrollsWithinIt)
{
    Show(EnterLogin("admin"));
    RepoBuilder(*DB).Exec("insert into OBJ (OBJ_ID, OBJ_TABLE, OBJ_CAPT, OBJ_CAPT2) "
                          "select 100000 + N, 'MANY' || N, 'Объект ' || N, 'Объект ' || N "
                          "from (select first 300 row_number() over () N from RDB$RELATION_FIELDS)");
    // Whichever object comes last, choosing it is answered by a box that names it.
    RepoBuilder(*DB).Exec("delete from TBL");
    LogIn();
    ASSERT_GT(form->miData->actions().size(), 300);
    QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(form->miData->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return form->miData->isVisible(); }));
    const QRect screen = form->miData->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(form->miData->geometry())) << Describe(form->miData->geometry());
    QTest::keyClick(form->miData, Qt::Key_End);
    QAction *last = form->miData->actions().last();
    ASSERT_EQ(form->miData->activeAction(), last);
    const QRect item = form->miData->actionGeometry(last);
    ASSERT_TRUE(form->miData->rect().contains(item)) << Describe(item);
    BoxSeen refused;
    {
        ModalScript script{AnswerBox(refused, "OK")};
        QTest::mouseClick(form->miData, Qt::LeftButton, {}, item.center());
    }
    EXPECT_EQ(refused.Text, QString("Для объекта \"%1\" не создана таблица.").arg(last->data().value<TObj *>()->Capt()));
}

// A wrong login keeps the dialog open for another try. The next login closes every window and
// logs out before its dialog shows; a database that cannot be reached leaves it logged out.
TEST_F(MainFormTest, FailedLoginsAreShownAndTheNextLoginLogsOutFirst)
{
    BoxSeen wrong, unreachable;
    {
        ModalScript script{EnterLogin("nobody"), AnswerBox(wrong, "OK"),
                           EnterLogin("admin", [&](TLoginForm *) { EXPECT_TRUE(LoggedOut()); })};
        form->miLogin->trigger();
    }
    EXPECT_EQ(QStringList({wrong.Title, wrong.Text}), QStringList({"Ошибка", "Неверный логин или пароль."}));
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");

    OpenData("CONTRAG");
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    {
        ModalScript script{EnterLogin("admin", [&](TLoginForm *) {
                               EXPECT_TRUE(LoggedOut());
                               EXPECT_TRUE(Windows().isEmpty());
                           }),
                           AnswerBox(unreachable, "OK"), [](QWidget *w) { ClickButton(w, "Отмена"); }};
        form->miLogin->trigger();
    }
    EXPECT_TRUE(unreachable.Text.contains("nothing-here.fdb")) << unreachable.Text.toStdString();
    EXPECT_TRUE(LoggedOut());
}

// A login that fails, and then fails to let go of its connection too: the box tells why the login
// failed, and the next try logs in.
TEST_F(MainFormTest, AFailedLoginThatCannotLetGoOfItsConnectionTellsWhyTheLoginFailed)
{
    std::unique_ptr<StrayTransaction> stray;
    BoxSeen wrong;
    {
        ModalScript script{[&](QWidget *w) {
                               DB->Connect();
                               stray = std::make_unique<StrayTransaction>(*DB);
                               EnterLogin("nobody")(w);
                           },
                           AnswerBox(wrong, "OK"), EnterLogin("admin")};
        form->miLogin->trigger();
    }
    EXPECT_EQ(wrong.Text, "Неверный логин или пароль.");
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
}

// Cancelled at the first show, the login leaves the program logged out. "Выход", an interrupt
// and a terminate signal close the program, the signals also from inside a modal dialog, and
// leave the engine working (the next login is a fresh one).
TEST_F(MainFormTest, InnerAreaIs426By286InTahomaAndExitSignalsCloseLikeExit)
{
    Show([](QWidget *w) { ClickButton(w, "Отмена"); });
    EXPECT_TRUE(LoggedOut());
    // The stored form sizes and column widths assume Tahoma 8 points, present or not on the system.
    EXPECT_EQ(QList<int>({form->width(), form->height() - form->mm->height()}), QList<int>({426, 286}));
    const QFontInfo font(form->font());
    EXPECT_EQ(QList<QVariant>({font.family(), font.pixelSize()}), QList<QVariant>({"Tahoma", 11}));
    for (int signal : {0, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        LogIn();
        form->show();
        ASSERT_TRUE(DB->Connected);
        if (signal)
            raise(signal);
        else
            form->miExit->trigger();
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
        EXPECT_TRUE(LoggedOut());
        EXPECT_FALSE(DB->Inited);
    }

    form->show();
    {
        ModalScript script{[](QWidget *) { raise(SIGTERM); }};
        form->miLogin->trigger();
    }
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    EXPECT_TRUE(LoggedOut());
    LogIn();
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
    form.reset();
    EXPECT_EQ(QList<void *>({DB, MainForm}), QList<void *>({nullptr, nullptr}));
}

// However many windows are open, a new one stands inside the visible area, its caption on the
// screen, one caption lower and to the right of the last one; where it would not fit any more,
// it starts again at the top-left corner.
TEST_F(MainFormTest, NewWindowsAreCascadedInsideTheVisibleArea)
{
    Show(EnterLogin("admin"));
    form->resize(1280, 800);
    ASSERT_TRUE(WaitFor([&] { return form->mdi->viewport()->width() > 1200; }));
    const QRect visible(QPoint(0, 0), form->mdi->viewport()->size());
    QList<QPoint> places;
    for (QAction *item : form->miData->actions().mid(0, 10)) {
        item->trigger();
        QMdiSubWindow *window = Windows().last();
        SCOPED_TRACE(window->windowTitle().toStdString());
        EXPECT_TRUE(visible.contains(window->geometry())) << Describe(window->geometry());
        places << window->pos();
    }
    const int step = places[1].x();
    ASSERT_GT(step, 0);
    // Back to the corner once the next step would leave the area: a quarter of the area's
    // height is left below a window, so each cascade holds that many steps.
    const int perCascade = (visible.height() - Windows().last()->height()) / step + 1;
    ASSERT_LT(perCascade, places.size());
    for (int i = 0; i < places.size(); ++i)
        EXPECT_EQ(places[i], (i % perCascade) * QPoint(step, step)) << i;
}

// An object whose window cannot be made leaves the windows as they stood: the same window in
// front, maximized if it was, the others neither raised nor maximized.
TEST_F(MainFormTest, ARefusedDataItemLeavesTheWindowsAsTheyStood)
{
    Show(EnterLogin("admin"));
    form->resize(1000, 700);
    form->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form->isActiveWindow(); }));
    for (const QString table : {"CONTRAG", "UNIT", "CURR"})
        OpenData(table);
    RepoBuilder(*DB).Exec("delete from TBL where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'PRODGRP')");
    const auto layout = [&] {
        QStringList states;
        for (QMdiSubWindow *window : form->mdi->subWindowList(QMdiArea::StackingOrder))
            states << window->windowTitle() + (window->isMaximized() ? " maximized" : "") +
                          (window == form->mdi->activeSubWindow() ? " active" : "");
        return states;
    };
    for (const bool maximized : {true, false}) {
        SCOPED_TRACE(maximized ? "maximized" : "normal");
        Table(1)->Show();
        if (maximized)
            Table(1)->GetForm()->showMaximized();
        else
            Table(1)->GetForm()->showNormal();
        const QStringList before = layout();
        ASSERT_TRUE(before.last().endsWith(maximized ? "Ед. изм. maximized active" : "Ед. изм. active"))
            << before.join(", ").toStdString();
        BoxSeen refusal;
        {
            ModalScript script{AnswerBox(refusal, "OK")};
            ChooseData("Группы (Спр.)");
        }
        EXPECT_EQ(refusal.Text, "Для объекта \"Группы товаров\" не создана таблица.");
        EXPECT_EQ(layout(), before);
        EXPECT_EQ(form->MDIList->Count(), 3);
    }
}

// The keyboard reaches the main menu as on the desktop the program was made for: F10 or a lone
// Alt lights "Файл" without opening it, the arrows move along the bar and open a menu, Esc gives
// the keys back to the window that had them. Ctrl+F4 closes the active window.
TEST_F(MainFormTest, F10AndAltReachTheMenuAndCtrlF4ClosesTheActiveWindow)
{
    Show(EnterLogin("admin"));
    OpenData("UNIT");
    OpenData("CURR");
    QWidget *grid = Table(1)->GetWinTbl()->GetPanel()->findChild<QAbstractItemView *>();
    form->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form->isActiveWindow(); }));
    grid->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == grid; }));
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"F10", [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10); }},
        {"Alt", [&] {
             QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt);
             QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt);
         }}};
    const QRect file = form->mm->actionGeometry(form->miFile->menuAction());
    const QImage unlit = form->mm->grab(file).toImage();
    for (const auto &[name, press] : ways) {
        SCOPED_TRACE(name);
        press();
        ASSERT_EQ(form->mm->activeAction(), form->miFile->menuAction());
        EXPECT_EQ(QApplication::focusWidget(), form->mm);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_TRUE(form->mm->grab(file).toImage() != unlit) << "\"Файл\" is not drawn lit";
        QTest::keyClick(form->mm, Qt::Key_Right);
        EXPECT_EQ(form->mm->activeAction(), form->miData->menuAction());
        QTest::keyClick(form->mm, Qt::Key_Down);
        EXPECT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form->miData; }));
        QTest::keyClick(form->miData, Qt::Key_Escape);
        EXPECT_TRUE(WaitFor([&] { return !form->miData->isVisible(); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(form->mm->activeAction(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), grid);
        EXPECT_TRUE(form->mm->grab(file).toImage() == unlit) << "\"Файл\" is still drawn lit";
    }

    // Two windows: the active one closes. The last one, maximized, closes too; then the keys
    // find nothing to close.
    QTest::keyClick(grid, Qt::Key_F4, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return form->MDIList->Count() == 1; }));
    EXPECT_EQ(form->MDIList->Items(0)->Obj, O("UNIT"));
    EXPECT_EQ(form->mdi->subWindowList().size(), 1);
    Table(0)->GetForm()->showMaximized();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return form->MDIList->Count() == 0; }));
    QTest::keyClick(form.get(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_TRUE(form->mdi->subWindowList().isEmpty());
}

// With a repository of hundreds of objects "Данные" is taller than the screen: it stays on the
// screen and scrolls, so that its last item is seen and can be pointed at, not put in a column
// beyond the screen's edge.
TEST_F(MainFormTest, ADataMenuTallerThanTheScreenScrollsToItsLastItem)
{
    Show(EnterLogin("admin"));
    RepoBuilder(*DB).Exec("insert into OBJ (OBJ_ID, OBJ_TABLE, OBJ_CAPT, OBJ_CAPT2) "
                          "with recursive N (I) as (select 1 from RDB$DATABASE union all select I + 1 from N where I < 300) "
                          "select 100000 + I, 'MANY' || I, 'Объект ' || I, 'Объект ' || I from N");
    LogIn();
    ASSERT_EQ(Captions(form->miData).last(), "Объект 300");

    QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(form->miData->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return form->miData->isVisible(); }));
    QMenu *menu = form->miData;
    EXPECT_TRUE(menu->screen()->availableGeometry().contains(menu->geometry())) << Describe(menu->geometry());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Up);   // from the first item round to the last
    QAction *last = menu->actions().last();
    ASSERT_EQ(menu->activeAction(), last);
    const QRect item = menu->actionGeometry(last);
    EXPECT_TRUE(menu->rect().contains(item)) << Describe(item) << " in " << Describe(menu->rect());
    QTest::mouseMove(menu, item.center());
    EXPECT_TRUE(WaitFor([&] { return menu->activeAction() == last; }));
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !menu->isVisible(); }));
}

// A window manager places and frames a window only once it is on the screen: still the login
// dialog stands centred over the main form, frames and all. Offscreen, the test starts a virtual
// X display (with and without openbox) and runs itself there.
TEST_F(MainFormTest, LoginDialogStandsCentredOverTheMainFormOnAnXDisplay)
{
    if (RanOnXDisplay({false, true}))
        return;

    // On the X display: the dialog's frame is centred over the main form's frame, once the
    // window manager, if there is one, has framed both.
    const bool framing = XDisplayHasWm();
    QRect dialog, main;
    Show([&](QWidget *login) {
        const auto settled = [&] {
            dialog = FrameOnTheServer(login);
            main = FrameOnTheServer(form.get());
            const bool framed = dialog != login->geometry() && main != form->geometry();
            return framed == framing && (dialog.center() - main.center()).manhattanLength() <= 2;
        };
        WaitFor(settled);
        ClickButton(login, "Отмена");
    });
    EXPECT_EQ(dialog.size() != QSize(284, 161), framing) << Describe(dialog);
    EXPECT_LE((dialog.center() - main.center()).manhattanLength(), 2) << Describe(dialog) << " over " << Describe(main);
    EXPECT_TRUE(LoggedOut());
}

} // namespace
