#include "Func.h"
#include "Printers.h"

#include <gtest/gtest.h>

// The names that reach a statement's text unquoted; the reserved words of the database are refused.
TEST(Identifier, OnlyPlainAsciiNamesWithinTheLimitThatAreNotReserved)
{
    for (const char *good : {"PRICE", "price", "A$B_9", "ABCDEFGHIJKLMNOPQRSTUVWXYZ12345"})
        EXPECT_TRUE(IsPlainIdentifier(good)) << good;
    for (const char *bad : {"", "ЦЕНА", "MY FIELD", "\"PRICE\"", "1PRICE", "_PRICE", "PRICE--",
                            "X integer); drop table DEAL; --", "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456", "date", "SELECT",
                            "RDB$DB_KEY"})
        EXPECT_FALSE(IsPlainIdentifier(bad)) << bad;
}

// Placeholders take their arguments in order; a missing one raises.
TEST(Format, FillsPlaceholdersInOrderAndRaisesOnAMissingArgument)
{
    EXPECT_EQ(Format("%d: %g%% от %s", {Variant(7), Variant(2.5), Variant::Null()}), "7: 2.5% от ");
    for (const char *missing : {"%s и %s", "%5:s", "%1:"})
        EXPECT_THROW(Format(missing, {"один"}), Exception) << missing;
}
