#include "IBDatabase.h"
#include "Ini.h"
#include "Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LoadDBParamsTest : public ::testing::Test
{
protected:
    QStringList Load(const QString &content)
    {
        QFile file(ini);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
        file.close();
        LoadDBParams(db, ini, "base.fdb", "UTF8");
        return db.Params;
    }

    QTemporaryDir dir;
    QString ini = dir.filePath("tessar.ini");
    TIBDatabase db;
};

TEST_F(LoadDBParamsTest, MissingFileGivesTheDefaults)
{
    LoadDBParams(db, dir.filePath("none.ini"), "base.fdb", "UTF8");
    EXPECT_EQ(db.DatabaseName, "base.fdb");
    EXPECT_EQ(db.Params, QStringList({"user_name=SYSDBA", "password=tallowfen", "lc_ctype=UTF8"}));
}

TEST_F(LoadDBParamsTest, KeysAreReadFromTheDataBaseSectionOnly)
{
    const QStringList params = Load("[Other]\nuser_name=nobody\n"
                                    "[database]\r\nDataBaseName = srv/3050:/data/base.fdb\r\n"
                                    "USER_NAME=anna\r\npassword=секрет\r\n");
    EXPECT_EQ(db.DatabaseName, "srv/3050:/data/base.fdb");
    EXPECT_EQ(params, QStringList({"user_name=anna", "password=секрет", "lc_ctype=UTF8"}));
}

TEST_F(LoadDBParamsTest, CryptKeysSuppressTheirParameterWhateverTheirValue)
{
    EXPECT_EQ(Load("[DataBase]\nuser_name=anna\npassword=p\ncrypt_password=\n"),
              QStringList({"user_name=anna", "lc_ctype=UTF8"}));
    EXPECT_EQ(Load("[DataBase]\nuser_name=anna\npassword=p\ncrypt_user_name=zzz\n"),
              QStringList({"password=p", "lc_ctype=UTF8"}));
    EXPECT_EQ(Load("[DataBase]\ncrypt_user_name=1\ncrypt_password=1\n"), QStringList({"lc_ctype=UTF8"}));
}

TEST_F(LoadDBParamsTest, GarbledFileFallsBackToDefaults)
{
    const QStringList params = Load("this is not\x01 a profile = file\n[DataBase\n=x\n;DataBaseName=y\n");
    EXPECT_EQ(db.DatabaseName, "base.fdb");
    EXPECT_EQ(params, QStringList({"user_name=SYSDBA", "password=tallowfen", "lc_ctype=UTF8"}));
}

TEST_F(LoadDBParamsTest, EarlierParametersAreReplaced)
{
    db.Params = {"user_name=old", "sql_role_name=R"};
    Load("[DataBase]\nDataBaseName=\"/path with blanks/b.fdb\"\n");
    EXPECT_EQ(db.DatabaseName, "/path with blanks/b.fdb");
    EXPECT_EQ(db.Params.size(), 3);
}

} // namespace
