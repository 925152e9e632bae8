#pragma once

#include <QHash>
#include <QString>

class TIBDatabase;

// A read-only profile file: "[Section]" headers and "key=value" lines.
// Sections and keys match without regard to case; a missing file or key yields the default.
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    bool ValueExists(const QString &section, const QString &key) const;
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;

private:
    static QString KeyOf(const QString &section, const QString &key);
    void Parse(const QString &text);

    QHash<QString, QString> FValues;
};

// Fills the connection's database name and parameter lines from the settings file.
void LoadDBParams(TIBDatabase &db, const QString &iniFileName, const QString &defaultDatabaseName,
                  const QString &charSet);
