#pragma once

// What only a real display and a window manager show: a test runs offscreen like every other,
// starts a virtual X display there and runs itself again on it, in a child process.

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QWidget;

namespace korvenix_test {

// Offscreen: starts Xvfb with a screen of AScreen, runs the current test there once per entry of
// AWithWm (the runs without a window manager first, then openbox is started for the others) and
// returns true: the caller returns, its result being the children's. A missing Xvfb, openbox or
// one of ATools skips the test. On the X display: false, and the test goes on there.
bool RanOnXDisplay(std::initializer_list<bool> AWithWm, const QSize &AScreen = QSize(1280, 1024),
                   const QStringList &ATools = {});
// On the X display: whether the run has a window manager.
bool XDisplayHasWm();

// A window's frame as the X server holds it. Qt reads the window manager's frame extents only
// on a configure event, and the window manager may set them after its last one; so this asks
// the server, through xprop, rather than trusting a frame Qt may have read too early.
QRect FrameOnTheServer(QWidget *AWindow);

// The title the window gave the X server (_NET_WM_NAME); empty while it has given none.
QString TitleOnTheServer(QWidget *AWindow);

// Runs an X client program (xprop, wmctrl ...) to its end; its standard output.
QString RunX(const QString &AProgram, const QStringList &AArguments);

std::string Describe(const QRect &r);

} // namespace korvenix_test
