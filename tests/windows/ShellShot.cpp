// Starts the real main window offscreen, logs in as "admin" through the login dialog, opens the
// "Данные" menu and saves a picture of the window with the open menu.
//   shell_screenshot [PNG [SETTINGS]]
// PNG defaults to /tmp/korvenix.png. Without SETTINGS the program works on a fresh copy of the
// template database. With KORVENIX_SHOT_TABLE set to an object's table name (DEAL, PRODUCT ...)
// the picture shows that object's table window instead of the open menu; with KORVENIX_SHOT_CARD
// set to one, that object's table window with the card of a new record open over it.
#include "Application.h"
#include "LoginFo.h"
#include "Main.h"
#include "MainFo.h"
#include "Obj.h"
#include "Program.h"
#include "TestDatabase.h"

#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QAbstractItemView>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    PrepareApplication();
    const QStringList args = QCoreApplication::arguments();
    const QString png = args.size() > 1 ? args[1] : QStringLiteral("/tmp/korvenix.png");

    std::unique_ptr<TestDatabase> copy;
    if (args.size() > 2) {
        TDB::SetIniFileName(args[2]);
    } else {
        copy = std::make_unique<TestDatabase>();
        copy->WriteDefaultIni();
    }

    TMainForm form;
    int status = 1;
    // Saves the window with whatever stands over it (the open menu, a card) as one picture.
    auto save = [&](QWidget *over) {
        const QRect window = form.frameGeometry();
        const QRect top = over ? over->frameGeometry() : QRect();
        const QRect all = window.united(top);
        QImage image(all.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawPixmap(window.topLeft() - all.topLeft(), form.grab());
        if (over)
            painter.drawPixmap(top.topLeft() - all.topLeft(), over->grab());
        painter.end();
        status = image.save(png) ? 0 : 1;
        std::fprintf(status ? stderr : stdout, status ? "cannot write %s\n" : "%s\n", qPrintable(png));
    };
    auto quit = [&] {
        form.close();
        QCoreApplication::exit(status);
    };
    auto open = [&](const QString &table) {
        form.resize(1000, 600);
        for (QAction *item : form.miData->actions())
            if (item->data().value<TObj *>()->Table() == table)
                item->trigger();
    };

    // Once the card stands over the table window, takes the picture and cancels the card.
    std::function<void()> shootCard = [&] {
        auto *card = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!card) {
            QTimer::singleShot(50, &form, shootCard);
            return;
        }
        QTimer::singleShot(300, &form, [&, card] {
            save(card);
            card->reject();
            // The table window goes with the main window only once the add action is over.
            QTimer::singleShot(100, &form, quit);
        });
    };

    // Answers the login dialog the main window's first show opens; once logged in, opens what
    // was asked for and takes the picture.
    std::function<void()> shoot = [&] {
        if (auto *login = dynamic_cast<TLoginForm *>(QApplication::activeModalWidget())) {
            login->leLogin->setText(QStringLiteral("admin"));
            QTest::mouseClick(login->btOk, Qt::LeftButton);
        }
        if (form.StatusText().isEmpty() || QApplication::activeModalWidget()) {
            QTimer::singleShot(50, &form, shoot);
            return;
        }
        const QString card = qEnvironmentVariable("KORVENIX_SHOT_CARD");
        if (!card.isEmpty()) {
            open(card);
            QTimer::singleShot(50, &form, shootCard);
            // Insert on the grid adds a record: the card's modal loop runs inside this call.
            if (auto *grid = form.mdi->findChild<QAbstractItemView *>())
                QTest::keyClick(grid, Qt::Key_Insert);
            return;
        }
        const QString table = qEnvironmentVariable("KORVENIX_SHOT_TABLE");
        if (!table.isEmpty())
            open(table);
        else
            QTest::mouseClick(form.mm, Qt::LeftButton, {}, form.mm->actionGeometry(form.miData->menuAction()).center());
        QTimer::singleShot(300, &form, [&] {
            // The menu is a window of its own: both are painted onto one picture.
            save(form.miData->isVisible() ? form.miData : nullptr);
            form.miData->hide();
            quit();
        });
    };
    QTimer::singleShot(20, &form, shoot);
    // A stuck dialog must not keep the tool running.
    QTimer::singleShot(60000, &form, [] {
        std::fprintf(stderr, "the window did not come up in time\n");
        QCoreApplication::exit(1);
    });

    form.show();
    return app.exec();
}
