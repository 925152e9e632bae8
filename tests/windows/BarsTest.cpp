#include "Align.h"
#include "Func.h"
#include "ModalScript.h"
#include "WinBotBtns.h"
#include "WinToolBar.h"

#include <QDialog>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(WinToolBarTest, ButtonsByRoleClicksAndTheLock)
{
    QWidget host;
    host.resize(400, 300);
    QWidget client(&host);
    TWinToolBar bar(&host);
    SetAlign(&client, TAlign::alClient);
    QStringList clicked;
    TWinToolBtn *add = bar.AddBtn(TBtnType::btAdd, "Добавить", [&] { clicked << "add"; });
    TWinToolBtn *other1 = bar.AddBtn(TBtnType::btOther, "Первая", [&] { clicked << "first"; });
    bar.AddBtn(TBtnType::btOther, "Вторая", [] { throw ExceptionPos("Не вышло."); });
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    // Docked at the top over the whole width; the client takes the rest.
    EXPECT_EQ(bar.Bar()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(bar.Bar()->width(), 400);
    EXPECT_EQ(client.geometry(), QRect(0, bar.Bar()->height(), 400, 300 - bar.Bar()->height()));
    // Later buttons stand to the right; a role is found by its first button.
    EXPECT_LT(add->Widget()->x(), other1->Widget()->x());
    EXPECT_EQ(bar.GetByBtnType(TBtnType::btOther), other1);
    EXPECT_EQ(bar.GetByBtnType(TBtnType::btSave), nullptr);

    QTest::mouseClick(add->Widget(), Qt::LeftButton);
    QTest::mouseClick(other1->Widget(), Qt::LeftButton);
    EXPECT_EQ(clicked, QStringList({"add", "first"}));
    // A failing handler ends in the error box.
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        QTest::mouseClick(bar.Items(2)->Widget(), Qt::LeftButton);
    }
    EXPECT_EQ(error.Text, "Не вышло.");

    // Locked while enabled it stays enabled; locked while disabled it stays disabled.
    other1->AlwaysDisable = true;
    other1->SetEnabled(false);
    EXPECT_TRUE(other1->Enabled());
    add->SetEnabled(false);
    add->AlwaysDisable = true;
    add->SetEnabled(true);
    EXPECT_FALSE(add->Enabled());
    EXPECT_FALSE(add->Widget()->isEnabled());
    QTest::mouseClick(add->Widget(), Qt::LeftButton);
    EXPECT_EQ(clicked.size(), 2);
    // A hidden button keeps its enabled state for when it shows again.
    other1->SetVisible(false);
    EXPECT_FALSE(other1->Visible());
    EXPECT_TRUE(other1->Enabled());
    other1->SetVisible(true);
    EXPECT_TRUE(other1->Widget()->isEnabled());
}

TEST(WinBotBtnsTest, LaidOutFromTheRightEdgeAndFollowingIt)
{
    QWidget host;
    host.resize(300, 200);
    TWinBotBtns btns(&host);
    btns.AddOkCancelBtns({}, {});
    TWinBotBtn *third = btns.AddButton("Печать", {}, TButtonType::btNone);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_EQ(btns.Height(), 41);
    EXPECT_EQ(btns.GetPanel()->geometry(), QRect(0, 159, 300, 41));
    TWinBotBtn *cancel = btns.GetButton(TButtonType::btCancel);
    TWinBotBtn *ok = btns.GetButton(TButtonType::btOk);
    ASSERT_TRUE(cancel && ok);
    EXPECT_EQ(cancel->text(), "Отмена");
    EXPECT_EQ(ok->text(), "ОК");
    EXPECT_EQ(cancel->geometry(), QRect(217, 8, 75, 25));
    EXPECT_EQ(ok->geometry(), QRect(134, 8, 75, 25));
    EXPECT_EQ(third->geometry(), QRect(51, 8, 75, 25));
    host.resize(400, 250);
    ASSERT_TRUE(WaitFor([&] { return btns.GetPanel()->width() == 400; }));
    EXPECT_EQ(QList<int>({cancel->x(), ok->x(), third->x()}), QList<int>({317, 234, 151}));
}

TEST(WinBotBtnsTest, FailingOkKeepsTheModalWindowOpen)
{
    QDialog form;
    form.resize(300, 120);
    TWinBotBtns btns(&form);
    int oks = 0;
    bool fail = true;
    btns.AddOkCancelBtns(
        [&] {
            ++oks;
            if (fail)
                throw ExceptionPos("Не указано значение.");
        },
        {});
    BoxSeen error;
    int resultAfterError = -1;
    {
        ModalScript script{[&](QWidget *) { ClickButton(&form, "ОК"); }, AnswerBox(error, "OK"),
                           [&](QWidget *w) {
                               EXPECT_EQ(w, &form);
                               resultAfterError = form.result();
                               QTest::keyClick(&form, Qt::Key_Escape);
                           }};
        EXPECT_EQ(form.exec(), mrCancel);
    }
    EXPECT_EQ(error.Text, "Не указано значение.");
    EXPECT_EQ(resultAfterError, mrNone);
    // Enter presses "ОК", whose handler now succeeds.
    fail = false;
    {
        ModalScript script{[&](QWidget *) { QTest::keyClick(&form, Qt::Key_Return); }};
        EXPECT_EQ(form.exec(), mrOk);
    }
    EXPECT_EQ(oks, 2);
}

} // namespace
