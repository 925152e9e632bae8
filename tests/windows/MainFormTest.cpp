#include "LoginFo.h"
#include "MDITbl.h"
#include "Main.h"
#include "MainFo.h"
#include "ModalScript.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "WinTbl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QStringList Captions(const QMenu *menu)
{
    QStringList captions;
    for (const QAction *action : menu->actions())
        captions << action->text();
    return captions;
}

// A step that checks the login dialog, types `login` and presses "ОК" (or Enter).
ModalScript::Step EnterLogin(const QString &login, const std::function<void(TLoginForm *)> &check = {},
                             bool byEnter = false)
{
    return [=](QWidget *w) {
        auto *form = dynamic_cast<TLoginForm *>(w);
        if (!form) {
            ADD_FAILURE() << "the login dialog was expected, got " << w->metaObject()->className();
            w->close();
            return;
        }
        if (check)
            check(form);
        form->leLogin->clear();
        QTest::keyClicks(form->leLogin, login);
        if (byEnter)
            QTest::keyClick(form->leLogin, Qt::Key_Return);
        else
            QTest::mouseClick(form->btOk, Qt::LeftButton);
    };
}

// The main window over a copy of the template database.
class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override
    {
        form.reset();
        DevMode = false;
        TMDIList::CreateConfig = nullptr;
    }

    void LogIn()
    {
        ModalScript script{EnterLogin("admin")};
        form->miLogin->trigger();
    }
    // Shows the main window; its first show brings the login dialog, which the step answers.
    void Show(const ModalScript::Step &login)
    {
        ModalScript script{login};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }
    bool LoggedOut() const
    {
        return !form->miData->menuAction()->isVisible() && !form->miSetup->menuAction()->isVisible() &&
               form->miData->actions().isEmpty() && form->StatusText().isEmpty() && !form->MDIList;
    }
    // Chooses the `which`-th "Данные" item with this caption.
    void Choose(const QString &caption, int which = 0)
    {
        for (QAction *item : form->miData->actions())
            if (item->text() == caption && which-- == 0)
                return item->trigger();
        ADD_FAILURE() << "no item " << caption.toStdString();
    }
    QList<QMdiSubWindow *> Windows() const { return form->mdi->subWindowList(); }
    TMDITbl *Table(int i) const { return dynamic_cast<TMDITbl *>(form->MDIList->Items(i)); }

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, StartsLoggedOutAndShowingAsksForTheLogin)
{
    EXPECT_EQ(MainForm, form.get());
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(form->miDevMode->isVisible() || form->miShowDebMsg->isVisible());
    Show([&](QWidget *w) {
        auto *login = dynamic_cast<TLoginForm *>(w);
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(login->parentWidget(), form.get());
        EXPECT_EQ(login->leLogin->text(), "admin");
        EXPECT_FALSE(login->lePass->isEnabled());
        QTest::keyClick(login, Qt::Key_Escape);
    });
    EXPECT_EQ(LoginForm, nullptr);
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(DB->Connected);
}

TEST_F(MainFormTest, LoginFillsTheDataMenuAndItsItemsOpenWindows)
{
    int progressMax = 0, progressTop = 0;
    Show(EnterLogin("admin", [&](TLoginForm *login) {
        QObject::connect(login->pb, &QProgressBar::valueChanged, [&, login](int value) {
            progressMax = login->pb->maximum();
            progressTop = std::max(progressTop, value);
        });
    }));
    EXPECT_EQ(progressMax, DB->ObjList->Count());
    EXPECT_GT(progressTop, 0);
    EXPECT_TRUE(form->miSetup->menuAction()->isVisible());
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
    Choose("Валюты (Спр.)");
    ASSERT_EQ(Windows().size(), 2);
    EXPECT_EQ(Windows()[0]->windowTitle(), "Ед. изм.");
    Table(0)->GetWinTbl()->GotoEnd();
    EXPECT_EQ(Table(0)->GetWinTbl()->Count(), 6);
    Choose("Ед. изм. (Спр.)");
    EXPECT_EQ(form->MDIList->Count(), 2);
    EXPECT_EQ(form->mdi->activeSubWindow(), Table(0)->GetForm());
    Table(0)->GetForm()->close();
    ASSERT_TRUE(WaitFor([&] { return form->MDIList->Count() == 1; }));
    Choose("Ед. изм. (Спр.)");
    EXPECT_EQ(Windows().size(), 2);
    EXPECT_EQ(form->MDIList->Items(1)->Obj, DB->ObjList->GetObjByTable("UNIT"));
}

// A wrong login keeps the dialog open for another try. The next login closes every window,
// each table before its form, and logs out before its dialog shows; a database that cannot be
// reached leaves the program logged out.
TEST_F(MainFormTest, FailedLoginsAreShownAndTheNextLoginTearsDownFirst)
{
    BoxSeen wrong, unreachable;
    {
        ModalScript script{EnterLogin("nobody"), AnswerBox(wrong, "OK"), EnterLogin("admin", {}, true)};
        form->miLogin->trigger();
    }
    EXPECT_EQ(QStringList({wrong.Title, wrong.Text}), QStringList({"Ошибка", "Неверный логин или пароль."}));
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");

    Choose("Ед. изм. (Спр.)");
    Choose("Контрагенты (Спр.)");
    QStringList freed;
    for (int i = 0; i < 2; ++i) {
        const QString name = Table(i)->GetForm()->windowTitle();
        auto *grid = Table(i)->GetWinTbl()->GetPanel()->findChild<QAbstractItemView *>();
        QObject::connect(grid, &QObject::destroyed, [&freed, name] { freed << "grid " + name; });
        QObject::connect(Table(i)->GetForm(), &QObject::destroyed, [&freed, name] { freed << "form " + name; });
    }
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    {
        ModalScript script{EnterLogin("admin", [&](TLoginForm *) {
                               EXPECT_TRUE(LoggedOut());
                               EXPECT_TRUE(Windows().isEmpty());
                               EXPECT_FALSE(DB->Inited || DB->Connected);
                           }),
                           AnswerBox(unreachable, "OK"), [](QWidget *w) { ClickButton(w, "Отмена"); }};
        form->miLogin->trigger();
    }
    EXPECT_EQ(freed, QStringList({"grid Ед. изм.", "form Ед. изм.", "grid Контрагенты", "form Контрагенты"}));
    EXPECT_TRUE(unreachable.Text.contains("nothing-here.fdb")) << unreachable.Text.toStdString();
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(DB->Connected);
}

// Windows are one per object, not per caption; an object without a view opens nothing, and
// asking again gives the same error, not a window left half made.
TEST_F(MainFormTest, WindowsAreOnePerObjectAndOnePerKind)
{
    LogIn();
    RepoBuilder repo(*DB);
    repo.Exec("update OBJ set OBJ_CAPT2 = 'Справочник' where OBJ_TABLE in ('UNIT', 'CURR')");
    repo.Exec("delete from TBL where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'PRODGRP')");
    LogIn();
    Choose("Справочник (Спр.)", 0);
    Choose("Справочник (Спр.)", 1);
    ASSERT_EQ(Windows().size(), 2);
    EXPECT_NE(Table(0)->Obj, Table(1)->Obj);
    BoxSeen first, second;
    {
        ModalScript script{AnswerBox(first, "OK"), AnswerBox(second, "OK")};
        Choose("Группы (Спр.)");
        Choose("Группы (Спр.)");
    }
    EXPECT_EQ(first.Text, "Для объекта \"Группы товаров\" не создана таблица.");
    EXPECT_EQ(second.Text, first.Text);
    EXPECT_EQ(form->MDIList->Count(), 2);

    // Plain windows and the configurator are one per kind; without a configurator nothing opens.
    TMDI *plain = form->MDIList->Show(TMDIType::mtNone, nullptr);
    EXPECT_EQ(form->MDIList->Show(TMDIType::mtNone, nullptr), plain);
    form->miConf->trigger();
    EXPECT_EQ(form->MDIList->Count(), 3);
    int made = 0;
    TMDIList::CreateConfig = [&made](QMdiArea *area) {
        ++made;
        return std::make_unique<TMDI>(area);
    };
    form->miConf->trigger();
    form->miConf->trigger();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(form->MDIList->Items(3)->MDIType, TMDIType::mtConfig);
}

TEST_F(MainFormTest, HomePageAndExit)
{
    QList<QUrl> opened;
    const auto saved = TMainForm::OpenUrl;
    TMainForm::OpenUrl = [&](const QUrl &url) { opened << url; };
    form->miHomePage->trigger();
    TMainForm::OpenUrl = saved;
    ASSERT_EQ(opened.size(), 1);
    QFile page(opened[0].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << opened[0].toString().toStdString();
    EXPECT_TRUE(QString::fromUtf8(page.readAll()).contains("Платформа Korvenix"));

    LogIn();
    form->show();
    form->miExit->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(DB->Inited || DB->Connected);
    form.reset();
    EXPECT_EQ(DB, nullptr);
    EXPECT_EQ(MainForm, nullptr);
}

// The stored form sizes and column widths assume Tahoma 8 points, present or not on the system.
TEST_F(MainFormTest, InnerAreaBelowTheMenuBarIs426By286InTahoma)
{
    Show([](QWidget *w) { ClickButton(w, "Отмена"); });
    EXPECT_EQ(QList<int>({form->width(), form->height() - form->mm->height()}), QList<int>({426, 286}));
    const QFontInfo font(form->font());
    EXPECT_EQ(font.family(), "Tahoma");
    EXPECT_EQ(font.pixelSize(), 11);
}

// An interrupt or terminate signal closes the program as "Выход" does, from the main window and
// from inside a modal dialog, and leaves the engine working (the next login is a fresh one).
TEST_F(MainFormTest, ExitSignalsCloseLikeExit)
{
    Show([](QWidget *w) { ClickButton(w, "Отмена"); });
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        LogIn();
        form->show();
        ASSERT_TRUE(DB->Connected);
        raise(signal);
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
        EXPECT_TRUE(LoggedOut());
        EXPECT_FALSE(DB->Inited || DB->Connected);
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
}

} // namespace
