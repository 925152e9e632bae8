#include "IBDatabase.h"
#include "Ini.h"
#include "Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The settings file gives the database and the connection's user and password, read from the
// [DataBase] section only; a crypt_ key drops its parameter whatever its value; a missing or
// garbled file gives the defaults; parameters set before are replaced.
TEST(LoadDBParams, ReadsTheDataBaseSectionOrFallsBackToTheDefaults)
{
    const QStringList defaults{"user_name=SYSDBA", "password=tallowfen", "lc_ctype=UTF8"};
    const std::tuple<const char *, QString, QStringList> cases[] = {
        {"[Other]\nuser_name=nobody\n[database]\r\nDataBaseName = srv/3050:/data/b.fdb\r\n"
         "USER_NAME=anna\r\npassword=секрет\r\n",
         "srv/3050:/data/b.fdb", {"user_name=anna", "password=секрет", "lc_ctype=UTF8"}},
        {"[DataBase]\nuser_name=anna\npassword=p\ncrypt_password=\n", "base.fdb", {"user_name=anna", "lc_ctype=UTF8"}},
        {"[DataBase]\nuser_name=anna\npassword=p\ncrypt_user_name=zzz\n", "base.fdb", {"password=p", "lc_ctype=UTF8"}},
        {"this is not\x01 a profile = file\n[DataBase\n=x\n;DataBaseName=y\n", "base.fdb", defaults},
        {nullptr, "base.fdb", defaults},
    };
    QTemporaryDir dir;
    for (const auto &[content, name, params] : cases) {
        SCOPED_TRACE(content ? content : "no file");
        QFile file(dir.filePath("tessar.ini"));
        ASSERT_TRUE(content ? file.open(QIODevice::WriteOnly) && file.write(content) > 0 : file.remove());
        file.close();
        TIBDatabase db;
        db.Params = {"user_name=old", "sql_role_name=R"};
        LoadDBParams(db, file.fileName(), "base.fdb", "UTF8");
        EXPECT_EQ(db.DatabaseName, name);
        EXPECT_EQ(db.Params, params);
    }
}
