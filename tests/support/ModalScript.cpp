#include "ModalScript.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void CloseWindow(QWidget *w)
{
    if (auto *dialog = qobject_cast<QDialog *>(w))
        dialog->reject();
    else
        w->close();
}

} // namespace

ModalScript::ModalScript(std::initializer_list<Step> steps) : FSteps(steps)
{
    Poll();
}

ModalScript::~ModalScript()
{
    EXPECT_TRUE(FSteps.empty()) << FSteps.size() << " modal window(s) expected but never shown";
}

void ModalScript::Poll()
{
    // The next poll is queued first: a step may open a nested modal loop, which must keep polling.
    QTimer::singleShot(5, &FContext, [this] { Poll(); });
    QWidget *w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || (w == FLast && FSince.elapsed() <= 10000))
        return;
    const bool unanswered = w == FLast;
    FLast = w;
    FSince.start();
    if (unanswered || FSteps.empty()) {
        ADD_FAILURE() << (unanswered ? "modal window left unanswered: " : "unexpected modal window: ")
                      << w->windowTitle().toStdString();
        CloseWindow(w);
        return;
    }
    Step step = std::move(FSteps.front());
    FSteps.pop_front();
    step(w);
}

ModalScript::Step AnswerBox(BoxSeen &seen, const QString &button)
{
    return [&seen, button](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            ADD_FAILURE() << "a message box was expected, got " << w->metaObject()->className();
            CloseWindow(w);
            return;
        }
        ++seen.Seen;
        seen.Title = box->windowTitle();
        seen.Text = box->text();
        seen.Frame = box->frameGeometry();
        seen.Buttons.clear();
        for (QAbstractButton *b : box->buttons())
            seen.Buttons << b->text();
        seen.Buttons.sort();
        ClickButton(box, button);
    };
}

void ClickButton(QWidget *window, const QString &caption)
{
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->text() == caption) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no button \"" << caption.toStdString() << "\" on " << window->windowTitle().toStdString();
    CloseWindow(window);
}

bool WaitFor(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, 10000);
}
