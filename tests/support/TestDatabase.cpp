#include "TestDatabase.h"

#include "Main.h"

#include <QFile>
#include <QUuid>
#include <stdexcept>

namespace {

// Throwing stops the calling test (and its fixture) at once; gtest reports it.
[[noreturn]] void Fail(const QString &message) { throw std::runtime_error(message.toStdString()); }

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
    FDir = dir.isEmpty() ? FTempDir.path() : dir;
    if (FDir.isEmpty())
        Fail(QStringLiteral("cannot create a temporary folder"));
    FPath = FDir + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".fdb");
    if (!QFile::copy(TemplatePath(), FPath))
        Fail(QStringLiteral("cannot copy the template database to ") + FPath);
    QFile::setPermissions(FPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
}

TestDatabase::~TestDatabase()
{
    TDB::SetIniFileName(QString());
    QFile::remove(FPath);
}

QString TestDatabase::WriteIni(const QString &content) const
{
    const QString ini = FDir + QStringLiteral("/tessar.ini");
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content.toUtf8()) < 0)
        Fail(QStringLiteral("cannot write ") + ini);
    TDB::SetIniFileName(ini);
    return ini;
}

TestServer TestServer::FromEnvironment()
{
    return {qEnvironmentVariable("KORVENIX_SERVER_HOST"), qEnvironmentVariable("KORVENIX_SERVER_USER"),
            qEnvironmentVariable("KORVENIX_SERVER_PASSWORD"), qEnvironmentVariable("KORVENIX_SERVER_DIR")};
}
