#include "AtrFixture.h"
#include "Sql.h"

namespace {

using namespace korvenix_test;

class AtrItemTest : public AtrFixture
{
protected:
    // An item as an editor makes it, with both hooks counting their calls.
    std::unique_ptr<TAtrItem> Item(const QString &table, const QString &field)
    {
        auto item = std::make_unique<TAtrItem>();
        item->Fld = F(table, field);
        item->OnChange = [this](TAtrItem *) { ++changes; };
        item->OnChangeForWinCtrlTree = [this](TAtrItem *) { ++shown; };
        return item;
    }
    int changes = 0, shown = 0;
};

TEST_F(AtrItemTest, FixedPointTypesRoundHalfAwayFromZero)
{
    const struct { const char *field; Variant in; double out; } cases[] = {
        {"DEALPROD_PRICE", 2.346, 2.35}, {"DEALPROD_PRICE", 2.344, 2.34}, {"DEALPROD_PRICE", -2.346, -2.35},
        {"DEALPROD_PRICE", 0.125, 0.13}, {"DEALPROD_PRICE", -0.125, -0.13}, {"DEALPROD_PRICE", "2.346", 2.35},
        {"DEALPROD_PRICE", Variant::FromCurrency(qint64(23465)), 2.35}, {"DEALPROD_SHIP", 7, 7.0},
        {"DEALPROD_SHIP", 0.0005, 0.001}};
    for (const auto &c : cases) {
        auto item = Item("DEALPROD", c.field);
        item->SetValue(c.in);
        EXPECT_EQ(item->Value().type(), Variant::Type::Double) << VarDebugText(c.in).toStdString();
        EXPECT_DOUBLE_EQ(item->Value().toDouble(), c.out) << VarDebugText(c.in).toStdString();
    }
    auto rate = Item("DEAL", "DEAL_RATE");
    rate->SetValue(1.23456);
    EXPECT_DOUBLE_EQ(rate->Value().toDouble(), 1.2346);
    rate->SetValue(Variant::Null());
    EXPECT_TRUE(rate->Value().isNull());
}

TEST_F(AtrItemTest, ChangesLoadsAndTheControlsOwnWrites)
{
    auto note = Item("DEAL", "DEAL_NOTE");
    note->InitValue("x", false);   // a load: only the control hears of it
    EXPECT_FALSE(note->Modified || note->ForInsert);
    EXPECT_EQ(std::pair(changes, shown), std::pair(0, 1));
    note->SetValue("a");   // the same value twice is two changes
    note->SetValue("a");
    EXPECT_TRUE(note->Modified && note->ForInsert && note->ForUpdate());
    EXPECT_EQ(std::pair(changes, shown), std::pair(2, 3));
    note->ChangeType = TChangeType::ctWinCtrlTree;   // what the user typed is not echoed back
    note->SetValue("typed");
    EXPECT_EQ(std::pair(changes, shown), std::pair(3, 3));
    // Virtual and summing fields are changed, never written.
    auto virt = Item("DEP", "FLD_CAPT_V");
    auto sum = Item("DEAL", "DEAL_SUM");
    virt->SetValue("v");
    sum->SetValue(5);
    EXPECT_EQ(QList<bool>({virt->Modified, virt->ForInsert, virt->ForSelect(), virt->ForUpdate()}),
              QList<bool>({true, false, false, false}));
    EXPECT_EQ(QList<bool>({sum->Modified, sum->ForInsert, sum->ForSelect(), sum->ForUpdate()}),
              QList<bool>({true, false, true, false}));
}

TEST_F(AtrItemTest, ReferenceValuesShareAColumnPerFieldAndPath)
{
    auto group = Item("PRODUCT", "PRODGRP_ID");
    const auto node = [&](QList<TFld *> path) {
        auto n = std::make_unique<TFormulaTree>();
        n->SetFldValue(F("PRODGRP", "PRODGRP_NAME"));
        n->Path->Add(group->Fld);
        for (TFld *link : path)
            n->Path->Add(link);
        n->SetPathHave(true);
        return n;
    };
    auto own = node({}), ownAgain = node({}), parent = node({F("PRODGRP", "PRODGRP_PRN")}), stranger = node({});
    // Nothing is built for reading through the link until a path asks for it, and a path that
    // does not start at a link is refused without leaving anything half made.
    EXPECT_EQ(group->PKFilter, nullptr);
    auto notALink = node({});
    notALink->Path->Clear();
    notALink->Path->Add(F("PRODUCT", "PRODUCT_NAME"));
    EXPECT_EQ(ErrorOf([&] { group->AddFormulaTree(notALink.get()); }),
              "TAtrItem.AddFormulaTree: Поле \"Наименование\" не ссылается на объект.");
    EXPECT_EQ(group->PKFilter, nullptr);
    for (TFormulaTree *n : {own.get(), ownAgain.get(), parent.get()})
        group->AddFormulaTree(n);
    EXPECT_EQ(group->FldValueList.Count(), 2);
    EXPECT_EQ(group->SQL->SelFldList.Count(), 2);
    const auto values = [&] {
        QStringList v;
        for (TFormulaTree *n : {own.get(), ownAgain.get(), parent.get()})
            v << (group->GetFldValue(n).isNull() ? "-" : group->GetFldValue(n).toString());
        return v;
    };
    group->SetValue(Key("PRODGRP", "PRODGRP_NAME", "Компьютеры"));
    EXPECT_EQ(values(), QStringList({"Компьютеры", "Компьютеры", "Электроника"}));
    group->SetValue(Key("PRODGRP", "PRODGRP_NAME", "Электроника"));
    EXPECT_EQ(values(), QStringList({"Электроника", "Электроника", "-"}));
    for (const Variant &nowhere : {Variant::Null(), Variant(999999)}) {
        group->SetValue(Key("PRODGRP", "PRODGRP_NAME", "Компьютеры"));
        group->SetValue(nowhere);
        EXPECT_EQ(values(), QStringList({"-", "-", "-"}));
    }
    EXPECT_EQ(ErrorOf([&] { group->GetFldValue(stranger.get()); }),
              "Ошибка при получении значения поля-ссылки - не найден элемент формулы.");
    // A failed read passes on, keeps the value and does not leave the item in a load.
    EXPECT_NE(ErrorOf([&] { group->InitValue("не число", false); }), "no error");
    EXPECT_EQ(group->Value(), Variant("не число"));
    EXPECT_EQ(group->ChangeType, TChangeType::ctNone);
}

} // namespace
