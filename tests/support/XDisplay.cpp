#include "XDisplay.h"

#include "ModalScript.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const char *const FramingVariable = "KORVENIX_TEST_WM";

// One property of a window as xprop prints it, in UTF-8: "NAME(TYPE) = value".
QString PropertyOnTheServer(QWidget *AWindow, const QString &AName)
{
    QProcess xprop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    xprop.setProcessEnvironment(environment);
    xprop.start("xprop", {"-id", QString::number(AWindow->winId()), AName});
    xprop.waitForFinished(5000);
    const QString reply = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    return reply.contains('=') ? reply.section('=', 1).trimmed() : QString();
}

} // namespace

bool XDisplay::Here()
{
    return QGuiApplication::platformName() == "xcb";
}

bool XDisplay::Available()
{
    for (const char *program : {"Xvfb", "openbox", "xprop"})
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
    return true;
}

bool XDisplay::Framing()
{
    return qEnvironmentVariableIsSet(FramingVariable);
}

void XDisplay::RunThisTestBareAndUnderOpenbox()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QString::fromLatin1(test->test_suite_name()) + '.' + QString::fromLatin1(test->name());
    XDisplay display;
    display.Run(name);
    display.StartWindowManager();
    display.Run(name);
}

XDisplay::XDisplay()
{
    FServer.start(QStandardPaths::findExecutable("Xvfb"),
                  {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    EXPECT_TRUE(WaitFor([&] { return FServer.canReadLine() || FServer.state() == QProcess::NotRunning; }));
    FDisplay = ":" + QString::fromLatin1(FServer.readLine()).trimmed();
    EXPECT_NE(FDisplay, ":") << FServer.readAllStandardError().toStdString();
}

XDisplay::~XDisplay()
{
    for (QProcess *process : {&FWm, &FServer}) {
        process->terminate();
        process->waitForFinished(5000);
    }
}

void XDisplay::StartWindowManager()
{
    // openbox runs its start-up command once it manages the screen.
    const QString ready = FDir.filePath("wm-ready");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", FDisplay);
    FWm.setProcessEnvironment(environment);
    FWm.start(QStandardPaths::findExecutable("openbox"), {"--startup", "touch " + ready});
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(ready); })) << FWm.readAllStandardError().toStdString();
}

void XDisplay::Run(const QString &ATest)
{
    SCOPED_TRACE(FWm.state() == QProcess::Running ? "openbox" : "no window manager");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", FDisplay);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    if (FWm.state() == QProcess::Running)
        environment.insert(FramingVariable, "1");
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + ATest});
    ASSERT_TRUE(child.waitForFinished(120000));
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

QRect FrameOnTheServer(QWidget *AWindow)
{
    // "left, right, top, bottom", or nothing while the window is unframed.
    const QStringList extents = PropertyOnTheServer(AWindow, "_NET_FRAME_EXTENTS").split(',', Qt::SkipEmptyParts);
    const QRect inner = AWindow->geometry();
    if (extents.size() != 4)
        return inner;
    return inner.marginsAdded(QMargins(extents[0].trimmed().toInt(), extents[2].trimmed().toInt(),
                                       extents[1].trimmed().toInt(), extents[3].trimmed().toInt()));
}

QString TitleOnTheServer(QWidget *AWindow)
{
    // A quoted text, its quotes and backslashes escaped.
    QString title = PropertyOnTheServer(AWindow, "_NET_WM_NAME");
    if (title.size() < 2 || !title.startsWith('"') || !title.endsWith('"'))
        return title;
    title = title.mid(1, title.size() - 2);
    QString text;
    for (qsizetype i = 0; i < title.size(); ++i)
        text += title[i] == '\\' && i + 1 < title.size() ? title[++i] : title[i];
    return text;
}
