#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

class QWidget;

// A virtual X display of its own (Xvfb), with openbox when asked, on which a GUI test that runs
// offscreen runs itself again: some things only a real display shows, such as the frames a
// window manager adds and the titles the windows hand to it.
class XDisplay
{
public:
    // Whether this process shows its windows on an X display.
    static bool Here();
    // Whether Xvfb, openbox and xprop are installed (scripts/test.sh installs them).
    static bool Available();
    static constexpr const char *Missing =
        "no Xvfb, openbox and xprop to show the windows on (scripts/test.sh installs them)";
    // Runs the test that is running now again on a display of its own, first bare, then under
    // openbox; what fails there fails it.
    static void RunThisTestBareAndUnderOpenbox();
    // Whether the test runs on a display with a window manager.
    static bool Framing();

    ~XDisplay();   // stops the window manager and the display
    XDisplay(const XDisplay &) = delete;
    XDisplay &operator=(const XDisplay &) = delete;

private:
    XDisplay();    // starts Xvfb; a failure fails the test
    void StartWindowManager();
    // Runs the test `ATest` of this program on the display; its failure fails the caller.
    void Run(const QString &ATest);

    QProcess FServer;
    QProcess FWm;
    QTemporaryDir FDir;
    QString FDisplay;
};

// What the X server holds for a window, read through xprop: its frame (Qt reads the window
// manager's frame extents only on a configure event, which may come before the window manager
// sets them), and the title the window gave it.
QRect FrameOnTheServer(QWidget *AWindow);
QString TitleOnTheServer(QWidget *AWindow);
