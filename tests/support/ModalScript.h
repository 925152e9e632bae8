#pragma once

#include "Printers.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>

// Answers the modal windows a test's action opens, in order: each step receives the next window
// that becomes the active modal widget (a box over a dialog, then the dialog again once the box
// has gone). A window no step expects, or one left unanswered for 10 s, fails the test and is
// closed, so that a broken test ends instead of waiting.
class ModalScript
{
public:
    using Step = std::function<void(QWidget *)>;

    ModalScript(std::initializer_list<Step> steps);
    ~ModalScript();   // steps left over fail the test

    bool Done() const { return FSteps.empty(); }

private:
    void Poll();

    QObject FContext;
    std::deque<Step> FSteps;
    QPointer<QWidget> FLast;
    QElapsedTimer FSince;
};

// What a message box showed.
struct BoxSeen
{
    QString Title;
    QString Text;
    QStringList Buttons;
    QRect Frame;
    int Seen = 0;
};

// A step that records the message box it gets and presses the button with the caption `button`.
ModalScript::Step AnswerBox(BoxSeen &seen, const QString &button);

// Clicks the push button of `window` whose caption is `caption`; a missing one fails the test.
void ClickButton(QWidget *window, const QString &caption);

// Processes events until `done` holds; false after 10 s.
bool WaitFor(const std::function<bool()> &done);
