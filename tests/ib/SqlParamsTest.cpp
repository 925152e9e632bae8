#include "Printers.h"
#include "SqlParams.h"

#include <gtest/gtest.h>

TEST(SqlParams, NamedAndNumberedParametersBecomeMarkers)
{
    const TParsedSQL p = ParseSQLParams("select * from FLD T0 where T0.OBJ_ID = :obj_id and T0.FLD_ID > :0");
    EXPECT_EQ(p.Text.toStdString(), "select * from FLD T0 where T0.OBJ_ID = ? and T0.FLD_ID > ?");
    EXPECT_EQ(p.Names, QStringList({"OBJ_ID", "0"}));
}

TEST(SqlParams, RepeatedNameIsBoundAtEachPlace)
{
    const TParsedSQL p = ParseSQLParams("update T set A = :X, B = :X where C = :Y");
    EXPECT_EQ(p.Names, QStringList({"X", "X", "Y"}));
}

TEST(SqlParams, LiteralsIdentifiersAndCommentsKeepTheirColons)
{
    const QString sql = "select ':NOT', 'it''s :NOT' , \"A:B\" /* :NOT \n :NOT */ from T -- :NOT\nwhere A = :YES";
    const TParsedSQL p = ParseSQLParams(sql);
    EXPECT_EQ(p.Names, QStringList({"YES"}));
    EXPECT_EQ(p.Text, QString(sql).replace(":YES", "?"));
}

TEST(SqlParams, UnterminatedLiteralOrCommentSwallowsTheRest)
{
    EXPECT_TRUE(ParseSQLParams("select 'abc :X").Names.isEmpty());
    EXPECT_TRUE(ParseSQLParams("select 1 /* :X").Names.isEmpty());
    EXPECT_EQ(ParseSQLParams("select a::b").Names, QStringList({"B"}));
}

TEST(SqlParams, CyrillicNamesAndLoneColon)
{
    const TParsedSQL p = ParseSQLParams("select :ИМЯ, ':' from T where A = : B");
    EXPECT_EQ(p.Names, QStringList({"ИМЯ"}));
}
