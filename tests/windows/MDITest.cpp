#include "LoginFo.h"
#include "MDITbl.h"
#include "MainFo.h"
#include "Main.h"
#include "ModalScript.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "WinTbl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The main form over the template database, logged in as the sample user.
class MDIListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        form = std::make_unique<TMainForm>();
        // Showing the main form asks for the login.
        ModalScript script{LoginStep()};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
        ASSERT_NE(form->MDIList, nullptr);
    }
    void TearDown() override
    {
        form.reset();
        TMDIList::CreateConfig = nullptr;
    }

    // Accepts the login dialog with its sample user, after the check.
    static ModalScript::Step LoginStep(const std::function<void()> &check = {})
    {
        return [check](QWidget *w) {
            auto *login = dynamic_cast<TLoginForm *>(w);
            ASSERT_NE(login, nullptr);
            if (check)
                check();
            QTest::mouseClick(login->btOk, Qt::LeftButton);
        };
    }
    void LogIn(const std::function<void()> &check = {})
    {
        ModalScript script{LoginStep(check)};
        form->miLogin->trigger();
    }
    // Chooses the "Данные" items with this caption, in menu order.
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

TEST_F(MDIListTest, SameItemGivesOneWindowUntilItIsClosed)
{
    Choose("Ед. изм. (Спр.)");
    Choose("Валюты (Спр.)");
    ASSERT_EQ(Windows().size(), 2);
    TMDITbl *units = Table(0);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->MDIType, TMDIType::mtObj);
    EXPECT_EQ(units->GetForm()->windowTitle(), "Ед. изм.");
    units->GetWinTbl()->GotoEnd();
    EXPECT_EQ(units->GetWinTbl()->Count(), 6);
    EXPECT_EQ(form->mdi->activeSubWindow(), Table(1)->GetForm());

    // Asked again: the same window, in front.
    Choose("Ед. изм. (Спр.)");
    EXPECT_EQ(Windows().size(), 2);
    EXPECT_EQ(form->MDIList->Count(), 2);
    EXPECT_EQ(form->mdi->activeSubWindow(), units->GetForm());

    // Closed by the user: it leaves the list; asking again makes a new one.
    units->GetForm()->close();
    ASSERT_TRUE(WaitFor([&] { return form->MDIList->Count() == 1; }));
    EXPECT_EQ(Windows().size(), 1);
    Choose("Ед. изм. (Спр.)");
    EXPECT_EQ(form->MDIList->Count(), 2);
    EXPECT_EQ(Windows().size(), 2);
    EXPECT_EQ(form->MDIList->Items(1)->Obj, DB->ObjList->GetObjByTable("UNIT"));
}

TEST_F(MDIListTest, NextLoginClosesEveryWindowEachTableBeforeItsForm)
{
    Choose("Ед. изм. (Спр.)");
    Choose("Контрагенты (Спр.)");
    QStringList freed;
    for (int i = 0; i < 2; ++i) {
        TMDITbl *window = Table(i);
        const QString name = window->GetForm()->windowTitle();
        auto *grid = window->GetWinTbl()->GetPanel()->findChild<QAbstractItemView *>();
        QObject::connect(grid, &QObject::destroyed, [&freed, name] { freed << "grid " + name; });
        QObject::connect(window->GetForm(), &QObject::destroyed, [&freed, name] { freed << "form " + name; });
    }
    LogIn([&] { EXPECT_TRUE(Windows().isEmpty()); });
    EXPECT_EQ(freed, QStringList({"grid Ед. изм.", "form Ед. изм.", "grid Контрагенты", "form Контрагенты"}));
    EXPECT_EQ(form->MDIList->Count(), 0);
}

TEST_F(MDIListTest, ObjectsWithOneCaptionGetTwoWindows)
{
    RepoBuilder(*DB).Exec("update OBJ set OBJ_CAPT2 = 'Справочник' where OBJ_TABLE in ('UNIT', 'CURR')");
    LogIn();
    Choose("Справочник (Спр.)", 0);
    Choose("Справочник (Спр.)", 1);
    ASSERT_EQ(Windows().size(), 2);
    EXPECT_EQ(Windows()[0]->windowTitle(), Windows()[1]->windowTitle());
    EXPECT_NE(Table(0)->Obj, Table(1)->Obj);
}

TEST_F(MDIListTest, ObjectWithoutViewShowsTheErrorAndOpensNothing)
{
    RepoBuilder(*DB).Exec("delete from TBL where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'CURR')");
    BoxSeen first, second;
    {
        ModalScript script{AnswerBox(first, "OK"), AnswerBox(second, "OK")};
        Choose("Валюты (Спр.)");
        Choose("Валюты (Спр.)");
    }
    EXPECT_EQ(first.Text, "Для объекта \"Валюты\" не создана таблица.");
    EXPECT_EQ(second.Text, first.Text);
    EXPECT_TRUE(WaitFor([&] { return Windows().isEmpty(); }));
    EXPECT_EQ(form->MDIList->Count(), 0);
}

TEST_F(MDIListTest, PlainWindowsAndTheConfiguratorAreOnePerKind)
{
    TMDI *plain = form->MDIList->Show(TMDIType::mtNone, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(form->MDIList->Show(TMDIType::mtNone, nullptr), plain);
    // No configurator in the program: nothing opens.
    EXPECT_EQ(form->MDIList->Show(TMDIType::mtConfig, nullptr), nullptr);
    int made = 0;
    TMDIList::CreateConfig = [&made](QMdiArea *area) {
        ++made;
        return std::make_unique<TMDI>(area);
    };
    form->miConf->trigger();
    form->miConf->trigger();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(Windows().size(), 2);
    EXPECT_EQ(form->MDIList->Items(1)->MDIType, TMDIType::mtConfig);
}

} // namespace
