#include "TestDatabase.h"

#include "Main.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

void Fail(const QString &message)
{
    // Throwing stops the calling test (and its fixture) at once; gtest reports it.
    throw std::runtime_error(message.toStdString());
}

} // namespace

QString TestDatabase::TemplatePath()
{
    const QString path = qEnvironmentVariable("KORVENIX_TEMPLATE_DB", QStringLiteral(KORVENIX_TEMPLATE_DB));
    if (path.isEmpty() || !QFile::exists(path))
        Fail(QStringLiteral("KORVENIX_TEMPLATE_DB does not name the template database: ") + path);
    return path;
}

TestDatabase::TestDatabase(const QString &dir)
{
    if (dir.isEmpty()) {
        if (!FTempDir.isValid())
            Fail(QStringLiteral("cannot create a temporary folder"));
        FDir = FTempDir.path();
    } else {
        FDir = dir;
    }
    FPath = QDir(FDir).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".fdb"));
    if (!QFile::copy(TemplatePath(), FPath))
        Fail(QStringLiteral("cannot copy the template database to ") + FPath);
    QFile::setPermissions(FPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
}

TestDatabase::~TestDatabase()
{
    TDB::SetIniFileName(QString());
    QFile::remove(FPath);
}

QString TestDatabase::Dir() const
{
    return FDir;
}

QString TestDatabase::WriteIni(const QString &content) const
{
    const QString ini = QDir(FDir).filePath(QStringLiteral("tessar.ini"));
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content.toUtf8()) < 0)
        Fail(QStringLiteral("cannot write ") + ini);
    file.close();
    TDB::SetIniFileName(ini);
    return ini;
}

QString TestDatabase::WriteDefaultIni() const
{
    return WriteIni(QStringLiteral("[DataBase]\nDataBaseName=%1\nuser_name=SYSDBA\npassword=masterkey\n").arg(FPath));
}

TestServer TestServer::FromEnvironment()
{
    TestServer server;
    server.Host = qEnvironmentVariable("KORVENIX_SERVER_HOST");
    server.User = qEnvironmentVariable("KORVENIX_SERVER_USER");
    server.Password = qEnvironmentVariable("KORVENIX_SERVER_PASSWORD");
    server.Dir = qEnvironmentVariable("KORVENIX_SERVER_DIR");
    return server;
}
