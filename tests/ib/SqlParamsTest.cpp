#include "Printers.h"
#include "SqlParams.h"

#include <gtest/gtest.h>

TEST(SqlParams, ParametersBecomeMarkersOutsideLiteralsIdentifiersAndComments)
{
    const struct { QString sql, text; QStringList names; } cases[] = {
        {"update T set A = :obj_id, B = :0 where C = :OBJ_ID", "update T set A = ?, B = ? where C = ?",
         {"OBJ_ID", "0", "OBJ_ID"}},
        {"select ':N', 'it''s :N', \"A:B\" /* :N \n :N */ from T -- :N\nwhere A = :YES",
         "select ':N', 'it''s :N', \"A:B\" /* :N \n :N */ from T -- :N\nwhere A = ?", {"YES"}},
        // An unterminated literal or comment swallows the rest; a lone colon is no parameter.
        {"select 'abc :X", "select 'abc :X", {}},
        {"select 1 /* :X", "select 1 /* :X", {}},
        {"select :ИМЯ, ':' from T where A = : B", "select ?, ':' from T where A = : B", {"ИМЯ"}}};
    for (const auto &c : cases) {
        const TParsedSQL parsed = ParseSQLParams(c.sql);
        EXPECT_EQ(parsed.Text, c.text);
        EXPECT_EQ(parsed.Names, c.names) << c.sql.toStdString();
    }
}
