#include "GuiHelpers.h"
#include "MDITbl.h"
#include "WinTbl.h"

#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
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

} // namespace
