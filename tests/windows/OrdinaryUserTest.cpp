// The embedded engine's shared lock folder belongs to another account (the Firebird server's, or
// root's), and still an ordinary user logs in through the main window. Run as root, as CI does,
// the test makes an unprivileged account once and runs a login test of this program under it.
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// Made on first use; a parallel run may make it at the same moment, so what counts is that the
// account is there afterwards.
const passwd *OrdinaryUser()
{
    if (!getpwnam("korvenix-test"))
        QProcess::execute("useradd", {"--system", "--no-create-home", "--home-dir", "/nonexistent", "--shell",
                                      "/usr/sbin/nologin", "korvenix-test"});
    return getpwnam("korvenix-test");
}

TEST(OrdinaryUser, LogsInThroughTheMainWindow)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "this run is an ordinary user's already";
    const passwd *user = OrdinaryUser();
    ASSERT_NE(user, nullptr) << "useradd could not make the account korvenix-test";

    // The build folder may be closed to others: the program and the template go to the user's own.
    QTemporaryDir dir;
    const QString program = dir.filePath("windows_tests"), base = dir.filePath("template.fdb");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    ASSERT_TRUE(QFile::copy(TestDatabase::TemplatePath(), base));
    for (const QString &path : {dir.path(), program, base})
        ASSERT_EQ(chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid), 0) << path.toStdString();

    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    environment.insert("HOME", dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("KORVENIX_TEMPLATE_DB", base);
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");   // the run's suppressions may be out of reach
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("setpriv", {QString("--reuid=%1").arg(user->pw_uid), QString("--regid=%1").arg(user->pw_gid),
                            "--clear-groups", program, "--gtest_filter=MainFormTest.LoginFillsTheDataMenu*"});
    ASSERT_TRUE(child.waitForFinished(240000));
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

} // namespace
