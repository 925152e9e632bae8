#include "Align.h"
#include "Func.h"
#include "ModalScript.h"
#include "WinBotBtns.h"
#include "WinToolBar.h"

#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(WinToolBarTest, ButtonsByRoleAndTheLock)
{
    QWidget host;
    host.resize(400, 300);
    QWidget client(&host);
    TWinToolBar bar(&host);
    SetAlign(&client, TAlign::alClient);
    QStringList clicked;
    TWinToolBtn *add = bar.AddBtn(TBtnType::btAdd, "Добавить", [&] { clicked << "add"; });
    TWinToolBtn *other = bar.AddBtn(TBtnType::btOther, "Первая", [&] { clicked << "first"; });
    bar.AddBtn(TBtnType::btOther, "Вторая", {});
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    // Docked at the top over the whole width; the client takes the rest. Later buttons stand to
    // the right; a role is found by its first button.
    EXPECT_EQ(bar.Bar()->geometry(), QRect(0, 0, 400, bar.Bar()->height()));
    EXPECT_EQ(client.geometry(), QRect(0, bar.Bar()->height(), 400, 300 - bar.Bar()->height()));
    EXPECT_LT(add->Widget()->x(), other->Widget()->x());
    EXPECT_EQ(bar.GetByBtnType(TBtnType::btOther), other);

    // Locked while enabled it stays enabled; locked while disabled it stays disabled.
    other->AlwaysDisable = true;
    other->SetEnabled(false);
    add->SetEnabled(false);
    add->AlwaysDisable = true;
    add->SetEnabled(true);
    EXPECT_FALSE(add->Widget()->isEnabled());
    QTest::mouseClick(add->Widget(), Qt::LeftButton);
    QTest::mouseClick(other->Widget(), Qt::LeftButton);
    EXPECT_EQ(clicked, QStringList({"first"}));
    // A hidden button keeps its enabled state for when it shows again.
    other->SetVisible(false);
    other->SetVisible(true);
    EXPECT_TRUE(other->Widget()->isEnabled());
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
    EXPECT_EQ(btns.GetPanel()->geometry(), QRect(0, 159, 300, 41));
    TWinBotBtn *cancel = btns.GetButton(TButtonType::btCancel);
    TWinBotBtn *ok = btns.GetButton(TButtonType::btOk);
    ASSERT_TRUE(cancel && ok);
    EXPECT_EQ(QStringList({ok->text(), cancel->text()}), QStringList({"ОК", "Отмена"}));
    EXPECT_EQ(QList<QRect>({cancel->geometry(), ok->geometry(), third->geometry()}),
              QList<QRect>({QRect(217, 8, 75, 25), QRect(134, 8, 75, 25), QRect(51, 8, 75, 25)}));
    host.resize(400, 250);
    ASSERT_TRUE(WaitFor([&] { return btns.GetPanel()->width() == 400; }));
    EXPECT_EQ(QList<int>({cancel->x(), ok->x(), third->x()}), QList<int>({317, 234, 151}));
}

} // namespace
