#include "Application.h"
#include "DBFixture.h"
#include "Func.h"
#include "IBError.h"
#include "Main.h"
#include "ModalScript.h"

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

// A failing click handler shows its error and the program goes on: a database error centred
// over the window in use, an error about a control next to that control. What escapes a handler
// reaches the box through the event loop's safety net; an abort shows nothing.
TEST(ShellGuardTest, ErrorsAreShownWhereTheyAroseAndTheProgramGoesOn)
{
    TDB db;   // its application handler shows the errors, as in the program
    QWidget window;
    window.setGeometry(100, 100, 500, 300);
    auto *button = new QPushButton("Сделать", &window);
    auto *edit = new QLineEdit(&window);
    edit->setGeometry(420, 40, 80, 21);
    std::function<void()> action;
    QObject::connect(button, &QPushButton::clicked, &window, Guard([&] { action(); }));
    // Fails in an event handler outside any guarded connection.
    const auto failInEvent = [&](const std::function<void()> &fail) {
        QMetaObject::invokeMethod(&window, fail, Qt::QueuedConnection);
        QCoreApplication::sendPostedEvents(&window, QEvent::MetaCall);
    };
    window.show();
    window.activateWindow();
    WaitFor([&] { return QApplication::activeWindow() == &window; });

    BoxSeen dbError, posError, lowError, escaped, unknown;
    const QPoint windowCentre = window.frameGeometry().center();
    QPoint at;
    {
        ModalScript script{AnswerBox(dbError, "OK"), AnswerBox(posError, "OK"), AnswerBox(lowError, "OK"),
                           AnswerBox(escaped, "OK"), AnswerBox(unknown, "OK")};
        action = [] { throw EIBError("Соединение с базой потеряно", -902, 335544721); };
        QTest::mouseClick(button, Qt::LeftButton);
        // The edit now stands at the right edge of the screen.
        window.move(WorkArea().width() - window.width(), 100);
        WaitFor([&] { return window.x() == WorkArea().width() - window.width(); });
        action = [&] { throw ExceptionPos("Поле не заполнено.", edit); };
        QTest::mouseClick(button, Qt::LeftButton);
        at = edit->mapToGlobal(QPoint(0, 0));
        // And at the bottom edge.
        window.move(window.x(), WorkArea().height() - 50);
        WaitFor([&] { return window.y() == WorkArea().height() - 50; });
        QTest::mouseClick(button, Qt::LeftButton);
        // From an event handler, also of no known class.
        failInEvent([] { throw Exception("Сбой в обработчике"); });
        failInEvent([] { throw 42; });
    }
    EXPECT_EQ(QStringList({dbError.Title, dbError.Text}), QStringList({"Ошибка", "Соединение с базой потеряно"}));
    EXPECT_LE((dbError.Frame.center() - windowCentre).manhattanLength(), 2);
    EXPECT_EQ(posError.Text, "Поле не заполнено.");
    EXPECT_EQ(posError.Frame.right() + 1, WorkArea().width());
    EXPECT_EQ(posError.Frame.top(), at.y() + edit->height() / 2 - posError.Frame.height() / 2);
    EXPECT_EQ(lowError.Frame.bottom() + 1, WorkArea().height());
    EXPECT_EQ(QStringList({escaped.Text, unknown.Title}), QStringList({"Сбой в обработчике", "Ошибка"}));

    // Any box would be an unexpected window for this empty script.
    {
        ModalScript none{};
        action = [] { throw EAbort(); };
        QTest::mouseClick(button, Qt::LeftButton);
        failInEvent([] { throw EAbort(); });
        QTest::qWait(20);
    }
}

// An error about a lost connection while the connection cannot even be let go of: the box tells
// the first error, and the program goes on, after a connected handler and after an event handler.
TEST(ShellGuardTest, AFailureWhileAnErrorIsReportedIsDroppedAndTheFirstErrorIsShown)
{
    TestDatabase copy;
    copy.WriteDefaultIni();
    TDB db;
    DB = &db;
    const auto failLosingTheConnection = [] { throw EIBError("connection shutdown", -902, isc_att_shutdown); };
    QPushButton button("Сделать");
    QObject::connect(&button, &QPushButton::clicked, &button, Guard(failLosingTheConnection));
    button.show();
    BoxSeen clicked, inEvent, after;
    {
        ModalScript script{AnswerBox(clicked, "OK"), AnswerBox(inEvent, "OK"), AnswerBox(after, "OK")};
        {
            db.Connect();
            korvenix_test::StrayTransaction stray(db);
            QTest::mouseClick(&button, Qt::LeftButton);
            EXPECT_FALSE(db.Connected);
        }
        {
            db.Connect();
            korvenix_test::StrayTransaction stray(db);
            QMetaObject::invokeMethod(&button, failLosingTheConnection, Qt::QueuedConnection);
            QCoreApplication::sendPostedEvents(&button, QEvent::MetaCall);
        }
        QTest::mouseClick(&button, Qt::LeftButton);
    }
    const QString shown = "Соединение с сервером базы данных потеряно. Войдите в программу заново: "
                          "\"Файл\" → \"Авторизация\".\nconnection shutdown";
    EXPECT_EQ(QStringList({clicked.Text, inEvent.Text, after.Text}), QStringList(3, shown));
    DB = nullptr;
}

} // namespace
