#include "LoginFo.h"
#include "MDITbl.h"
#include "MainFo.h"
#include "Main.h"
#include "ModalScript.h"
#include "RepoBuilder.h"
#include "WinTbl.h"
#include "TestDatabase.h"

#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QMap>
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

class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        {
            TDB db;
            DB = &db;
            db.Connect();
            RepoBuilder repo(db);
            repo.Clear();
            for (const auto &[table, capt2, ref, meta] :
                 {std::tuple{"DEAL", "Сделки", false, false}, {"UNIT", "Единицы", true, false},
                  {"METAOBJ", "Объекты", false, true}, {"CLIENT", "Клиенты", true, false}}) {
                const int id = repo.AddObj(table, QString("Длинное имя ") + capt2, ref, meta);
                repo.AddFld(id, QString(table) + "_ID", "PK");
                repo.Exec("update OBJ set OBJ_CAPT2 = :C where OBJ_ID = :ID", {{"C", capt2}, {"ID", id}});
            }
            DB = nullptr;
        }
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override
    {
        form.reset();
        DevMode = false;
        ShowDebMsg = false;
    }

    void LogIn()
    {
        ModalScript script{EnterLogin("admin")};
        form->miLogin->trigger();
    }

    // The expected "Данные" captions of these tables, in the order the repository loaded them.
    static QStringList MenuOf(const QStringList &tables)
    {
        static const QMap<QString, QString> captions{
            {"DEAL", "Сделки"}, {"UNIT", "Единицы (Спр.)"}, {"METAOBJ", "Объекты"}, {"CLIENT", "Клиенты (Спр.)"}};
        QStringList menu;
        for (const TObj *obj : *DB->ObjList)
            if (tables.contains(obj->Table()))
                menu << captions.value(obj->Table());
        EXPECT_EQ(menu.size(), tables.size());
        return menu;
    }

    // Shows the main window and cancels the login dialog its first show brings.
    void ShowLoggedOut()
    {
        ModalScript script{[](QWidget *w) { ClickButton(w, "Отмена"); }};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }

    bool LoggedOut() const
    {
        return !form->miData->menuAction()->isVisible() && !form->miSetup->menuAction()->isVisible() &&
               form->miData->actions().isEmpty() && form->StatusText().isEmpty() && !form->MDIList;
    }

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, StartsLoggedOutAndShowingAsksForTheLogin)
{
    EXPECT_EQ(MainForm, form.get());
    ASSERT_NE(DB, nullptr);
    EXPECT_TRUE(LoggedOut());
    EXPECT_TRUE(form->miFile->menuAction()->isVisible());
    EXPECT_TRUE(form->miHelp->menuAction()->isVisible());
    EXPECT_FALSE(form->miDevMode->isVisible());
    EXPECT_FALSE(form->miShowDebMsg->isVisible());
    ASSERT_EQ(form->il.size(), 5);
    EXPECT_EQ(form->il[4].availableSizes(), QList<QSize>({QSize(16, 16)}));

    ModalScript script{[&](QWidget *w) {
        auto *login = dynamic_cast<TLoginForm *>(w);
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(LoginForm, login);
        EXPECT_EQ(login->parentWidget(), form.get());
        EXPECT_EQ(login->leLogin->text(), "admin");
        EXPECT_FALSE(login->lePass->isEnabled());
        QTest::keyClick(login, Qt::Key_Escape);
    }};
    form->show();
    ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(LoginForm, nullptr);
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(DB->Connected);
}

TEST_F(MainFormTest, LoginFillsTheDataMenuAndItsItemsOpenWindows)
{
    int progressMax = 0, progressTop = 0;
    {
        ModalScript script{EnterLogin("admin", [&](TLoginForm *login) {
            QObject::connect(login->pb, &QProgressBar::valueChanged, [&, login](int value) {
                progressMax = login->pb->maximum();
                progressTop = std::max(progressTop, value);
            });
        })};
        form->miLogin->trigger();
    }
    EXPECT_EQ(progressMax, 4);
    EXPECT_GT(progressTop, 0);
    EXPECT_TRUE(form->miData->menuAction()->isVisible());
    EXPECT_TRUE(form->miSetup->menuAction()->isVisible());
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
    // Repository order, short captions, reference books marked, the meta object left out.
    EXPECT_EQ(Captions(form->miData), MenuOf({"DEAL", "UNIT", "CLIENT"}));
    ASSERT_NE(form->MDIList, nullptr);

    // The hidden switches: developer mode lists the meta objects too.
    form->miDevMode->trigger();
    EXPECT_TRUE(DevMode);
    EXPECT_EQ(Captions(form->miData), MenuOf({"DEAL", "UNIT", "METAOBJ", "CLIENT"}));
    form->miDevMode->trigger();
    EXPECT_FALSE(DevMode);
    EXPECT_EQ(Captions(form->miData).size(), 3);
    form->miShowDebMsg->trigger();
    EXPECT_TRUE(ShowDebMsg);
    form->miShowDebMsg->trigger();

    // The units get a table view (and this small repository the description of the tables
    // views live in), loaded by the next login: "Единицы" chosen through the real menu opens
    // the units' window.
    RepoBuilder repo(*DB);
    for (const char *table : {"TBL", "TBLTREE", "FLTR", "FLTRTREE"})
        repo.EnsureDescribed(table);
    const int unit = DB->ObjList->GetObjByTable("UNIT")->Id();
    const int name = repo.AddFld(unit, "UNIT_NAME", "String", "Обозначение");
    repo.Exec("insert into TBL (TBL_ID, OBJ_ID, TBL_DEFAULT) values (next value for TBL_ID, :O, 1)", {{"O", unit}});
    repo.Exec("insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT) select next value for "
              "TBLTREE_ID, max(TBL_ID), (select FLD_ID from FLD where OBJ_ID = :O and FLD_FIELD = 'UNIT_ID'), 1, 4 from TBL",
              {{"O", unit}});
    repo.Exec("insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT) select next value for "
              "TBLTREE_ID, max(TBL_ID), :F, 2, 3 from TBL", {{"F", name}});
    LogIn();
    form->show();
    QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(form->miData->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return form->miData->isVisible(); }));
    QAction *units = form->miData->actions().at(Captions(form->miData).indexOf("Единицы (Спр.)"));
    QTest::mouseClick(form->miData, Qt::LeftButton, {}, form->miData->actionGeometry(units).center());
    ASSERT_EQ(form->mdi->subWindowList().size(), 1);
    EXPECT_EQ(form->mdi->subWindowList()[0]->windowTitle(), "Единицы");
    auto *window = dynamic_cast<TMDITbl *>(form->MDIList->Items(0));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Obj, DB->ObjList->GetObjByTable("UNIT"));
    window->GetWinTbl()->GotoEnd();
    EXPECT_EQ(window->GetWinTbl()->Count(), 6);
    // The program has no configurator window yet: asking for it opens nothing.
    form->miConf->trigger();
    EXPECT_EQ(form->mdi->subWindowList().size(), 1);
}

TEST_F(MainFormTest, WrongLoginIsShownAndTheDialogStaysOpenForAnotherTry)
{
    BoxSeen seen;
    {
        ModalScript script{EnterLogin("nobody"), AnswerBox(seen, "OK"), EnterLogin("admin", [](TLoginForm *) {
                               EXPECT_FALSE(DB->Connected);
                               EXPECT_FALSE(DB->Inited);
                               EXPECT_EQ(DB->ObjList->Count(), 0);
                           }, true)};
        form->miLogin->trigger();
    }
    EXPECT_EQ(seen.Title, "Ошибка");
    EXPECT_EQ(seen.Text, "Неверный логин или пароль.");
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
}

TEST_F(MainFormTest, UnreachableDatabaseIsShownAndCancelLeavesLoggedOut)
{
    copy.WriteIni("[DataBase]\nDataBaseName=" + copy.Dir() + "/nothing-here.fdb\n");
    BoxSeen seen;
    {
        ModalScript script{EnterLogin("admin"), AnswerBox(seen, "OK"), [](QWidget *w) { ClickButton(w, "Отмена"); }};
        form->miLogin->trigger();
    }
    EXPECT_EQ(seen.Title, "Ошибка");
    EXPECT_TRUE(seen.Text.contains("nothing-here.fdb")) << seen.Text.toStdString();
    EXPECT_TRUE(LoggedOut());
    EXPECT_FALSE(DB->Connected);
}

TEST_F(MainFormTest, SecondLoginTearsDownBeforeTheDialogShows)
{
    LogIn();
    ASSERT_NE(form->MDIList, nullptr);
    {
        ModalScript script{EnterLogin("admin", [this](TLoginForm *) {
            EXPECT_TRUE(LoggedOut());
            EXPECT_FALSE(DB->Inited);
            EXPECT_FALSE(DB->Connected);
            EXPECT_EQ(DB->ObjList->Count(), 0);
        })};
        form->miLogin->trigger();
    }
    EXPECT_EQ(Captions(form->miData).size(), 3);
    EXPECT_NE(form->MDIList, nullptr);
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
    EXPECT_FALSE(DB->Inited);
    EXPECT_FALSE(DB->Connected);
    form.reset();
    EXPECT_EQ(DB, nullptr);
    EXPECT_EQ(MainForm, nullptr);
}

} // namespace

namespace {

// The stored form sizes and column widths assume Tahoma 8 points, present or not on the system.
TEST_F(MainFormTest, InnerAreaBelowTheMenuBarIs426By286InTahoma)
{
    ShowLoggedOut();
    EXPECT_EQ(form->width(), 426);
    EXPECT_EQ(form->height() - form->mm->height(), 286);
    const QFontInfo font(form->font());
    EXPECT_EQ(font.family(), "Tahoma");
    EXPECT_EQ(font.pixelSize(), 11);
}

// An interrupt or terminate signal closes the program as "Выход" does, from the main window and
// from inside a modal dialog, and leaves the engine working (the next login is a fresh one).
TEST_F(MainFormTest, ExitSignalsCloseLikeExit)
{
    ShowLoggedOut();
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        LogIn();
        form->show();
        ASSERT_TRUE(DB->Connected);
        raise(signal);
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
        EXPECT_TRUE(LoggedOut());
        EXPECT_FALSE(DB->Inited);
        EXPECT_FALSE(DB->Connected);
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
