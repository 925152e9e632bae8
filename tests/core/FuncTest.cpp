#include "Func.h"
#include "Printers.h"

#include <gtest/gtest.h>

TEST(CountSubStr, CountsOverlappingOccurrences)
{
    EXPECT_EQ(CountSubStr("%s", "%s, %s"), 2);
    EXPECT_EQ(CountSubStr("aa", "aaa"), 2);
    EXPECT_EQ(CountSubStr("", "abc"), 0);
    EXPECT_EQ(CountSubStr("x", ""), 0);
    EXPECT_EQ(CountSubStr("абв", "абвабв"), 2);
}

TEST(VariantChecks, NullAndEmptyRaiseTheirOwnErrors)
{
    auto message = [](auto call) {
        try {
            call();
        } catch (const EVariantError &e) {
            return e.Message();
        }
        return QString("no error");
    };
    EXPECT_EQ(message([] { VarAsInteger(Variant::Null()); }), "Variant is null");
    EXPECT_EQ(message([] { VarAsBoolean(Variant()); }), "Variant is empty");
    EXPECT_EQ(message([] { VarCheckNotNull(Variant::Null()); }), "Variant is null");
    EXPECT_NO_THROW(VarCheckNotNull(Variant(0)));
    EXPECT_EQ(VarAsInteger(Variant(qint64(42))), 42);
    EXPECT_EQ(VarAsInteger(Variant("17")), 17);
    EXPECT_TRUE(VarAsBoolean(Variant(1)));
    EXPECT_FALSE(VarAsBoolean(Variant(0)));
}

TEST(Format, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(Format("Запрос выборки для таблицы объекта \"%s\"\r\r%s", {"Товары", "select 1"}),
              "Запрос выборки для таблицы объекта \"Товары\"\r\rselect 1");
    EXPECT_EQ(Format("Тип поля с кодом \"%d\" не найден.", {Variant(7)}), "Тип поля с кодом \"7\" не найден.");
    EXPECT_EQ(Format("%g%% от %s", {Variant(2.5), Variant::Null()}), "2.5% от ");
    EXPECT_THROW(Format("%s и %s", {"один"}), Exception);
}

TEST(ExceptionPos, CarriesItsControlAndFormattedMessage)
{
    QObject edit;
    const ExceptionPos e = ExceptionPos::Fmt("Поле \"%s\" не заполнено.", {"Имя"}, &edit);
    EXPECT_EQ(e.Message(), "Поле \"Имя\" не заполнено.");
    EXPECT_EQ(e.Parent, &edit);
    EXPECT_EQ(ExceptionPos("x").Parent, nullptr);
}

namespace {
struct RecordingHooks : TUserHooks
{
    int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent) override
    {
        shown << msg;
        lastType = type;
        lastButtons = buttons;
        lastParent = parent;
        return mrYes;
    }
    QStringList shown;
    TMsgDlgType lastType = TMsgDlgType::mtCustom;
    TMsgDlgButtons lastButtons = 0;
    QObject *lastParent = nullptr;
};
} // namespace

TEST(ApplicationHandler, ShowsErrorsButDropsTheSilentAbort)
{
    RecordingHooks hooks;
    SetUserHooks(&hooks);
    HandleApplicationException(EAbort());
    EXPECT_TRUE(hooks.shown.isEmpty());
    HandleApplicationException(std::runtime_error("boom"));
    EXPECT_EQ(hooks.shown, QStringList({"boom"}));
    EXPECT_EQ(hooks.lastType, TMsgDlgType::mtError);
    EXPECT_EQ(hooks.lastButtons, TMsgDlgButtons(mbOK));
    SetUserHooks(nullptr);
}

TEST(Format, IndexedSpecifiersMoveTheArgumentPointer)
{
    EXPECT_EQ(Format("alter table %s add constraint PK_%s primary key (%1:s)", {"GOODS", "GOODS_ID"}),
              "alter table GOODS add constraint PK_GOODS_ID primary key (GOODS_ID)");
    // A plain specifier after "%3:s" takes argument 4.
    EXPECT_EQ(Format("%0:s FK_%0:s_%2:s (%2:s) %1:s(%3:s) %s", {"D", "M", "L", "K", "CASCADE"}),
              "D FK_D_L (L) M(K) CASCADE");
    EXPECT_EQ(Format("%1:d-%0:s", {"a", 7}), "7-a");
    EXPECT_THROW(Format("%5:s", {"a"}), Exception);
    EXPECT_THROW(Format("%1:", {"a", "b"}), Exception);
}

TEST(Identifier, OnlyPlainAsciiNamesWithinTheLimitThatAreNotReserved)
{
    for (const char *good : {"PRICE", "price", "A$B_9", "ABCDEFGHIJKLMNOPQRSTUVWXYZ12345"})
        EXPECT_TRUE(IsPlainIdentifier(good)) << good;
    for (const char *bad : {"", "ЦЕНА", "MY FIELD", "\"PRICE\"", "1PRICE", "_PRICE", "PRICE--",
                            "X integer); drop table DEAL; --", "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456", "date", "SELECT",
                            "RDB$DB_KEY"})
        EXPECT_FALSE(IsPlainIdentifier(bad)) << bad;
    EXPECT_EQ(IdentifierFault(""), "имя не указано");
}
