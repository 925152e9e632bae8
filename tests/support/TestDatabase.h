#pragma once

#include "Printers.h"

#include <QString>
#include <QTemporaryDir>

// A fresh copy of the template database in a folder of its own, removed afterwards.
// The folder also takes the test's settings file.
class TestDatabase
{
public:
    // Copies the template into `dir` when given (a server's folder), else into a new temporary folder.
    explicit TestDatabase(const QString &dir = QString());
    ~TestDatabase();

    const QString &Path() const { return FPath; }
    QString Dir() const { return FDir; }

    // Writes "tessar.ini" beside the database and makes it the settings file of the connection.
    QString WriteIni(const QString &content) const;
    // A settings file pointing at this database through the embedded engine.
    QString WriteDefaultIni() const
    {
        return WriteIni(QStringLiteral("[DataBase]\nDataBaseName=%1\nuser_name=SYSDBA\npassword=masterkey\n").arg(FPath));
    }

    static QString TemplatePath();

private:
    QTemporaryDir FTempDir;
    QString FDir;
    QString FPath;
};

// Server coordinates from the environment that scripts/test.sh sets; empty when no server runs.
struct TestServer
{
    QString Host;       // "127.0.0.1/3053"
    QString User;
    QString Password;
    QString Dir;        // a folder the server can open databases in

    static TestServer FromEnvironment();
};
