#include "Ini.h"

#include "IBDatabase.h"

#include <QFile>
#include <QStringList>

namespace {
const QString DataBaseSection = QStringLiteral("DataBase");
}

TIniFile::TIniFile(const QString &fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        Parse(QString::fromUtf8(file.readAll()));
}

QString TIniFile::KeyOf(const QString &section, const QString &key)
{
    return section.trimmed().toLower() + QLatin1Char('\n') + key.trimmed().toLower();
}

void TIniFile::Parse(const QString &text)
{
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, end < 0 ? -1 : end - 1);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;   // a garbled line carries nothing
        QString value = line.mid(eq + 1).trimmed();
        // A value written in quotes keeps its blanks, as profile files allow.
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        const QString key = KeyOf(section, line.left(eq));
        if (!FValues.contains(key))
            FValues.insert(key, value);   // the first of repeated keys wins
    }
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FValues.contains(KeyOf(section, key));
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return FValues.value(KeyOf(section, key), defaultValue);
}

void LoadDBParams(TIBDatabase &db, const QString &iniFileName, const QString &defaultDatabaseName,
                  const QString &charSet)
{
    const TIniFile ini(iniFileName);
    db.DatabaseName = ini.ReadString(DataBaseSection, QStringLiteral("DataBaseName"), defaultDatabaseName);
    db.Params.clear();
    if (!ini.ValueExists(DataBaseSection, QStringLiteral("crypt_user_name")))
        db.Params << QStringLiteral("user_name=") +
                         ini.ReadString(DataBaseSection, QStringLiteral("user_name"), QStringLiteral("SYSDBA"));
    if (!ini.ValueExists(DataBaseSection, QStringLiteral("crypt_password")))
        db.Params << QStringLiteral("password=") +
                         ini.ReadString(DataBaseSection, QStringLiteral("password"), QStringLiteral("tallowfen"));
    db.Params << QStringLiteral("lc_ctype=") + charSet;
}
