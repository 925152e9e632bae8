#include "Application.h"
#include "Func.h"
#include "IBError.h"
#include "Main.h"
#include "ModalScript.h"
#include "MsgDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QSize WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

TEST(MsgDlgTest, CaptionsButtonsAndResults)
{
    BoxSeen yes, no, error, warning;
    {
        ModalScript script{AnswerBox(yes, "&Да"), AnswerBox(no, "&Нет"), AnswerBox(error, "OK"),
                           AnswerBox(warning, "Cancel"), [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }};
        EXPECT_EQ(MsgDlg("Удалить запись?", TMsgDlgType::mtConfirmation, mbYes | mbNo), 6);
        EXPECT_EQ(MsgDlg("Удалить поле?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
        EXPECT_EQ(MsgDlg("Сбой", TMsgDlgType::mtError, mbOK), mrOk);
        EXPECT_EQ(MsgDlg("Внимание", TMsgDlgType::mtWarning, mbOK | mbCancel | mbAll), mrCancel);
        // Escape answers a yes/no question with no, as there is no cancel button.
        EXPECT_EQ(MsgDlg("Отменить изменения?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    }
    EXPECT_EQ(yes.Title, "Подтверждение");
    EXPECT_EQ(yes.Text, "Удалить запись?");
    EXPECT_EQ(yes.Buttons, QStringList({"&Да", "&Нет"}));
    EXPECT_EQ(error.Title, "Ошибка");
    EXPECT_EQ(error.Buttons, QStringList({"OK"}));
    EXPECT_FALSE(warning.Title == "Ошибка" || warning.Title == "Подтверждение");
    EXPECT_EQ(warning.Buttons, QStringList({"&All", "Cancel", "OK"}));
}

TEST(MsgDlgTest, PositionFormCentresOverTheControlWithinTheWorkArea)
{
    const QSize area = WorkArea();
    QWidget host;
    QLineEdit edit(&host);
    QWidget form;
    auto place = [&](QRect hostRect, QRect editRect, QSize formSize) {
        host.setGeometry(hostRect);
        edit.setGeometry(editRect);
        form.resize(formSize);
        PositionForm(&edit, &form);
        return form.pos();
    };
    // Near the right edge: the form's right edge meets the work area's.
    EXPECT_EQ(place({area.width() - 300, 100, 300, 200}, {220, 50, 80, 21}, {200, 100}),
              QPoint(area.width() - 200, 150 + 21 / 2 - 50));
    // Above and left of the screen: pulled back to 0, 0.
    EXPECT_EQ(place({0, 0, 300, 200}, {0, 0, 80, 21}, {200, 100}), QPoint(0, 0));
    // Below the bottom edge.
    EXPECT_EQ(place({200, area.height() - 30, 300, 200}, {10, 5, 80, 21}, {200, 100}),
              QPoint(210 + 40 - 100, area.height() - 100));
    // Larger than the work area: the right and bottom checks come last and win.
    EXPECT_EQ(place({200, 100, 300, 200}, {10, 5, 80, 21}, {area.width() + 50, area.height() + 41}),
              QPoint(-50, -41));

    // A window as the parent: its own frame, already in screen coordinates.
    host.setGeometry(100, 120, 301, 201);
    form.resize(200, 100);
    PositionForm(&host, &form);
    EXPECT_EQ(form.pos(), QPoint(100 + 150 - 100, 120 + 100 - 50));
    // No control: left to be centred over its parent window when shown.
    PositionForm(nullptr, &form);
    EXPECT_FALSE(form.testAttribute(Qt::WA_Moved));
}

// An object whose own event handler fails, outside any guarded connection.
class FailingObject : public QObject
{
public:
    std::function<void()> OnEvent;

    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        OnEvent();
        return true;
    }
};

class ShellGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setGeometry(100, 100, 500, 300);
        button = new QPushButton("Сделать", &window);
        edit = new QLineEdit(&window);
        edit->setGeometry(420, 40, 80, 21);
        QObject::connect(button, &QPushButton::clicked, &window, Guard([this] {
            action();
            ++completed;
        }));
        window.show();
        window.activateWindow();
        WaitFor([this] { return QApplication::activeWindow() == &window; });
    }

    TDB db;   // its application handler shows the errors, as in the program
    QWidget window;
    QPushButton *button = nullptr;
    QLineEdit *edit = nullptr;
    FailingObject failing;
    std::function<void()> action;
    int completed = 0;
};

TEST_F(ShellGuardTest, ErrorFromAClickIsShownAndTheProgramGoesOn)
{
    BoxSeen dbError, posError;
    const QPoint windowCentre = window.frameGeometry().center();
    {
        ModalScript script{AnswerBox(dbError, "OK"), AnswerBox(posError, "OK")};
        action = [] { throw EIBError("Соединение с базой потеряно", -902, 335544721); };
        QTest::mouseClick(button, Qt::LeftButton);
        // The edit now stands at the right edge of the screen.
        window.move(WorkArea().width() - window.width(), 100);
        WaitFor([this] { return window.x() == WorkArea().width() - window.width(); });
        action = [this] { throw ExceptionPos("Поле не заполнено.", edit); };
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(dbError.Title, "Ошибка");
    EXPECT_EQ(dbError.Text, "Соединение с базой потеряно");
    EXPECT_EQ(posError.Text, "Поле не заполнено.");
    EXPECT_EQ(completed, 0);
    // A database error is centred over the window in use, an ExceptionPos over its control.
    EXPECT_LE((dbError.Frame.center() - windowCentre).manhattanLength(), 2);
    EXPECT_EQ(posError.Frame.right() + 1, WorkArea().width());
    const QPoint at = edit->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(posError.Frame.top(), at.y() + edit->height() / 2 - posError.Frame.height() / 2);

    action = [] {};
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(completed, 1);
}

TEST_F(ShellGuardTest, EventLoopSafetyNetAndSilentAbort)
{
    BoxSeen seen;
    {
        ModalScript script{AnswerBox(seen, "OK"), AnswerBox(seen, "OK")};
        failing.OnEvent = [] { throw Exception("Сбой в обработчике"); };
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&failing, &event);
        EXPECT_EQ(seen.Text, "Сбой в обработчике");
        // Through the event queue, and of no known class.
        failing.OnEvent = [] { throw 42; };
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&failing, QEvent::User);
    }
    EXPECT_EQ(seen.Title, "Ошибка");
    EXPECT_EQ(seen.Seen, 2);

    // Any box would be an unexpected window for this empty script.
    ModalScript none{};
    action = [] { throw EAbort(); };
    QTest::mouseClick(button, Qt::LeftButton);
    failing.OnEvent = [] { throw EAbort(); };
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&failing, &event);
    QTest::qWait(20);
    EXPECT_EQ(completed, 0);
}

} // namespace
