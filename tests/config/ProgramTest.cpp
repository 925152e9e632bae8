#include "GuiHelpers.h"
#include "MDITbl.h"
#include "Program.h"
#include "WinTbl.h"
#include "XDisplay.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QMdiSubWindow>

namespace {

using namespace korvenix_test;

// The program's windows as it starts them, its application prepared as its main block does.
class ProgramTest : public MainFormFixture
{
protected:
    void TearDown() override
    {
        MainFormFixture::TearDown();
        TMDIList::CreateConfig = nullptr;
    }
    // The window's title on the screen, once it has given one.
    static QString Title(QWidget *window)
    {
        QString title;
        WaitFor([&] { return !(title = TitleOnTheServer(window)).isEmpty(); });
        return title;
    }
    // A box leaves its bold caption room for a title bar's icon and three buttons beside it, also
    // once Qt has sized it anew, as it does whenever the box's layout is asked again.
    static void ExpectCaptionFits(QWidget *box)
    {
        QEvent relayout(QEvent::LayoutRequest);
        QApplication::sendEvent(box, &relayout);
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setBold(true);
        EXPECT_GE(box->width(), QFontMetrics(font).horizontalAdvance(box->windowTitle()) + 100)
            << box->windowTitle().toStdString();
    }
};

// Every window gives the screen its own caption and nothing more: boxes "Ошибка" and
// "Подтверждение", a card its object's caption, the main window "Платформа Korvenix" and, while a
// window inside it is maximized, that window's caption once, in brackets. Offscreen no title
// reaches a screen, so the test runs itself again on an X display, with and without openbox.
TEST_F(ProgramTest, WindowsGiveTheScreenTheirOwnCaptions)
{
    if (RanOnXDisplay({false, true}))
        return;

    PrepareApplication();
    Show(EnterLogin("admin"));
    EXPECT_EQ(Title(form.get()), "Платформа Korvenix");
    OpenData("UNIT");
    auto *units = dynamic_cast<TMDITbl *>(form->MDIList->Items(0));
    ASSERT_NE(units, nullptr);
    units->GetForm()->showMaximized();
    const QString maximized = "Платформа Korvenix - [Ед. изм.]";
    EXPECT_TRUE(WaitFor([&] { return TitleOnTheServer(form.get()) == maximized; })) << Title(form.get()).toStdString();

    QWidget *panel = units->GetWinTbl()->GetPanel();
    QStringList titles;
    {
        ModalScript script{[&](QWidget *card) {
                               titles << Title(card);
                               ClickButton(card, "Отмена");
                           },
                           [&](QWidget *box) {
                               titles << Title(box);
                               ExpectCaptionFits(box);
                               ClickButton(box, "&Нет");
                           }};
        ClickTool(panel, "Добавить");
        QTest::mouseClick(panel->findChild<QAbstractItemView *>()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        ClickTool(panel, "Удалить");
    }
    RepoBuilder(*DB).Exec("delete from TBL where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'PRODGRP')");
    {
        ModalScript script{[&](QWidget *box) {
            titles << Title(box);
            ExpectCaptionFits(box);
            ClickButton(box, "OK");
        }};
        OpenData("PRODGRP");
    }
    EXPECT_EQ(titles, QStringList({O("UNIT")->Capt(), "Подтверждение", "Ошибка"}));
}

// A box whose kind has no caption of its own, a debug message or a warning, is captioned with the
// program's name, never with the file name of the program that runs it.
TEST_F(ProgramTest, BoxesWithoutACaptionOfTheirOwnShowTheProgramsName)
{
    if (RanOnXDisplay({true}))
        return;

    PrepareApplication();
    Show(EnterLogin("admin"));
    form->miShowDebMsg->trigger();
    QStringList titles;
    {
        const ModalScript::Step answer = [&](QWidget *box) {
            titles << Title(box);
            ClickButton(box, "OK");
        };
        ModalScript script{answer, answer};
        DebugMsg("select 1 from RDB$DATABASE");
        MsgDlg("Курс не найден.", TMsgDlgType::mtWarning, mbOK, nullptr);
    }
    form->miShowDebMsg->trigger();
    EXPECT_FALSE(ShowDebMsg);
    EXPECT_EQ(titles, QStringList({"Платформа Korvenix", "Платформа Korvenix"}));
}

} // namespace
