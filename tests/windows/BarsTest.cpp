#include "Align.h"
#include "ModalScript.h"
#include "WinBotBtns.h"
#include "WinToolBar.h"

#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The tool bar docks at the top over the whole width, its buttons left to right; the bottom
// bar's 75 × 25 buttons stand every 83 pixels from its right edge and follow it. A locked button
// keeps the state it had, also through hiding and showing.
TEST(BarsTest, LaidOutAlongTheirEdgesAndLockedButtonsKeepTheirState)
{
    QWidget host;
    host.resize(400, 300);
    QWidget client(&host);
    TWinToolBar bar(&host);
    TWinBotBtns btns(&host);
    SetAlign(&client, TAlign::alClient);
    QStringList clicked;
    TWinToolBtn *add = bar.AddBtn(TBtnType::btAdd, "Добавить", [&] { clicked << "add"; });
    TWinToolBtn *other = bar.AddBtn(TBtnType::btOther, "Первая", [&] { clicked << "first"; });
    btns.AddOkCancelBtns({}, {});
    TWinBotBtn *third = btns.AddButton("Печать", {}, TButtonType::btNone);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const int top = bar.Bar()->height();
    EXPECT_EQ(QList<QRect>({bar.Bar()->geometry(), client.geometry(), btns.GetPanel()->geometry()}),
              QList<QRect>({QRect(0, 0, 400, top), QRect(0, top, 400, 300 - top - 41), QRect(0, 259, 400, 41)}));
    EXPECT_LT(add->Widget()->x(), other->Widget()->x());
    TWinBotBtn *cancel = btns.GetButton(TButtonType::btCancel);
    TWinBotBtn *ok = btns.GetButton(TButtonType::btOk);
    ASSERT_TRUE(cancel && ok);
    EXPECT_EQ(QStringList({ok->text(), cancel->text()}), QStringList({"ОК", "Отмена"}));
    EXPECT_EQ(QList<QRect>({cancel->geometry(), ok->geometry(), third->geometry()}),
              QList<QRect>({QRect(317, 8, 75, 25), QRect(234, 8, 75, 25), QRect(151, 8, 75, 25)}));
    host.resize(300, 250);
    ASSERT_TRUE(WaitFor([&] { return btns.GetPanel()->width() == 300; }));
    EXPECT_EQ(QList<int>({cancel->x(), ok->x(), third->x()}), QList<int>({217, 134, 51}));

    other->AlwaysDisable = true;
    other->SetEnabled(false);
    add->SetEnabled(false);
    add->AlwaysDisable = true;
    add->SetEnabled(true);
    add->SetVisible(false);
    add->SetVisible(true);
    QTest::mouseClick(add->Widget(), Qt::LeftButton);
    QTest::mouseClick(other->Widget(), Qt::LeftButton);
    EXPECT_EQ(clicked, QStringList({"first"}));
}

} // namespace
