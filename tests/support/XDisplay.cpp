#include "XDisplay.h"

#include "ModalScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMargins>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace korvenix_test {

namespace {

const char *const WmVariable = "KORVENIX_TEST_WM";

QString CurrentTest()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromLatin1(test->test_suite_name()) + '.' + QString::fromLatin1(test->name());
}

// Runs the current test in a child process on the display; it must pass there.
void RunChild(const QProcessEnvironment &AEnvironment, bool AWithWm)
{
    SCOPED_TRACE(AWithWm ? "openbox" : "no window manager");
    QProcessEnvironment onDisplay = AEnvironment;
    onDisplay.insert("QT_QPA_PLATFORM", "xcb");
    if (AWithWm)
        onDisplay.insert(WmVariable, "1");
    QProcess child;
    child.setProcessEnvironment(onDisplay);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + CurrentTest()});
    ASSERT_TRUE(child.waitForFinished(120000));
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

// openbox runs its start-up command once it manages the screen.
void StartWm(QProcess &AWm, const QString &AOpenbox, const QProcessEnvironment &AEnvironment, const QTemporaryDir &ADir)
{
    const QString ready = ADir.filePath("wm-ready");
    AWm.setProcessEnvironment(AEnvironment);
    AWm.start(AOpenbox, {"--startup", "touch " + ready});
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(ready); })) << AWm.readAllStandardError().toStdString();
}

} // namespace

bool RanOnXDisplay(std::initializer_list<bool> AWithWm, const QSize &AScreen, const QStringList &ATools)
{
    if (QGuiApplication::platformName() == "xcb")
        return false;
    const QString xvfb = QStandardPaths::findExecutable("Xvfb"), openbox = QStandardPaths::findExecutable("openbox");
    for (const QString &tool : QStringList{"Xvfb", "openbox", "xprop"} + ATools)
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            [&] { GTEST_SKIP() << "no " << tool.toStdString() << " to show the windows with (scripts/test.sh installs it)"; }();
            return true;
        }
    QProcess server;
    const QString screen = QString("%1x%2x24").arg(AScreen.width()).arg(AScreen.height());
    server.start(xvfb, {"-displayfd", "1", "-noreset", "-screen", "0", screen, "-nolisten", "tcp"});
    [&] {
        ASSERT_TRUE(WaitFor([&] { return server.canReadLine() || server.state() == QProcess::NotRunning; }));
        const QString display = ":" + QString::fromLatin1(server.readLine()).trimmed();
        ASSERT_NE(display, ":") << server.readAllStandardError().toStdString();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        for (bool withWm : AWithWm)
            if (!withWm)
                RunChild(environment, false);
        // Named apart from the application, whose name, with its space, would split openbox's
        // start-up command.
        QTemporaryDir dir(QDir::tempPath() + "/korvenix-wm-XXXXXX");
        QProcess wm;
        for (bool withWm : AWithWm) {
            if (!withWm)
                continue;
            if (wm.state() == QProcess::NotRunning)
                StartWm(wm, openbox, environment, dir);
            RunChild(environment, true);
        }
        wm.terminate();
        wm.waitForFinished(5000);
    }();
    server.terminate();
    server.waitForFinished(5000);
    return true;
}

bool XDisplayHasWm()
{
    return qEnvironmentVariableIsSet(WmVariable);
}

QString RunX(const QString &AProgram, const QStringList &AArguments)
{
    QProcess process;
    // xprop prints texts beyond ASCII as escapes unless its language is UTF-8.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    process.setProcessEnvironment(environment);
    process.start(AProgram, AArguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString TitleOnTheServer(QWidget *AWindow)
{
    // "_NET_WM_NAME(UTF8_STRING) = "text"", its quotes and backslashes escaped.
    const QString reply = RunX("xprop", {"-id", QString::number(AWindow->winId()), "_NET_WM_NAME"});
    QString title = reply.contains('=') ? reply.section('=', 1).trimmed() : QString();
    if (title.size() < 2 || !title.startsWith('"') || !title.endsWith('"'))
        return title;
    title = title.mid(1, title.size() - 2);
    QString text;
    for (qsizetype i = 0; i < title.size(); ++i)
        text += title[i] == '\\' && i + 1 < title.size() ? title[++i] : title[i];
    return text;
}

QRect FrameOnTheServer(QWidget *AWindow)
{
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom", or "not found" while unframed.
    const QString reply = RunX("xprop", {"-id", QString::number(AWindow->winId()), "_NET_FRAME_EXTENTS"});
    const QStringList extents = reply.section('=', 1).split(',', Qt::SkipEmptyParts);
    const QRect inner = AWindow->geometry();
    if (!reply.contains('=') || extents.size() != 4)
        return inner;
    return inner.marginsAdded(QMargins(extents[0].trimmed().toInt(), extents[2].trimmed().toInt(),
                                       extents[1].trimmed().toInt(), extents[3].trimmed().toInt()));
}

std::string Describe(const QRect &r)
{
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

} // namespace korvenix_test
