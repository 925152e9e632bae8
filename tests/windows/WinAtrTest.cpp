#include "Atr.h"
#include "Card.h"
#include "CardHelpers.h"
#include "CtrlTree.h"
#include "QtWarnings.h"
#include "Fld.h"
#include "WinCtrlTreeObj.h"

#include <vector>

namespace {

using enum TCtrlType;

// One node of a control tree as a test writes it: -1 leaves a position or size unset.
struct N
{
    TCtrlType Type;
    QString Field = {};
    QString Capt = {};
    int L = -1, T = -1, W = -1, H = -1;
    bool ROAdd = false, ROEdt = false;
    std::vector<N> Children = {};
};

class WinAtrTest : public LoggedInTest
{
protected:
    // A card of the object holding the nodes under its root, shown on the host; labels stand
    // two pixels below and left of their controls.
    TWinAtr &Build(const QString &table, const std::vector<N> &nodes, bool withRoot = true)
    {
        host.resize(500, 400);
        host.show();
        card = std::make_unique<TCard>();
        card->SetObj(O(table));
        if (withRoot) {
            card->RootCtrlTree = std::make_unique<TCtrlTree>();
            card->RootCtrlTree->SetCtrlTreeType(ctRoot);
            for (const N &n : nodes)
                Add(card->RootCtrlTree.get(), n);
        }
        atr = std::make_unique<TWinAtr>(&host, &host);
        atr->Init(card.get());
        return *atr;
    }
    void Add(TCtrlTree *parent, const N &n)
    {
        auto node = std::make_unique<TCtrlTree>();
        node->SetCtrlTreeType(n.Type);
        if (!n.Field.isEmpty())
            node->SetFld(card->Obj()->GetFldByName(n.Field));
        node->SetCapt(n.Capt);
        auto set = [](int v) { return v < 0 ? Variant::Null() : Variant(v); };
        node->SetCLeft(set(n.L));
        node->SetCTop(set(n.T));
        node->SetCWidth(set(n.W));
        node->SetCHeight(set(n.H));
        node->SetLLeft(set(n.L < 0 ? -1 : 8));
        node->SetLTop(set(n.T < 0 ? -1 : n.T + 2));
        node->SetROAdd(n.ROAdd);
        node->SetROEdt(n.ROEdt);
        TCtrlTree *added = parent->AddChild(std::move(node));
        for (const N &child : n.Children)
            Add(added, child);
    }
    TAtrItem *Item(const QString &field) { return atr->Atr->GetAddByFldName(field); }
    QWidget *Control(const QString &field) { return FieldNode(*atr, field)->WinControl; }
    Variant Key(const QString &table, const QString &where)
    {
        return repo.Scalar("select first 1 " + table + "_ID from " + table + " where " + where);
    }

    QWidget host;
    std::unique_ptr<TCard> card;
    std::unique_ptr<TWinAtr> atr;
};

TEST_F(WinAtrTest, ControlsStandWhereTheTreeSaysAndOnlyPagesHoldControls)
{
    Build("DEAL", {{ctEditStr, "DEAL_NUM", "", 160, 8, 240, 99, false, false, {{ctEditStr, "DEAL_NOTE"}}},
                   {ctDateEdit, "DEAL_DATE"},
                   {ctPageControl, "", "", 8, 60, 400, 150, false, false,
                    {{ctTabSheet, "", "Внешняя", -1, -1, -1, -1, false, false,
                      {{ctPageControl, "", "", 8, 8, 380, 100, false, false,
                        {{ctTabSheet, "", "Внутренняя", -1, -1, -1, -1, false, false,
                          {{ctEditObj, "CONTRAG_ID", "", 160, 8, 200}}}}}}},
                     {ctTabSheet, "", "Вторая"}}}});
    // Edits keep the height the layouts were drawn for, whatever height is stored; nothing
    // stored: the control stands at the corner with its own size, and works.
    EXPECT_EQ(Control("DEAL_NUM")->geometry(), QRect(160, 8, 240, 21));
    EXPECT_EQ(FieldNode(*atr, "DEAL_NUM")->LabelControl->text(), "Номер");
    EXPECT_EQ(FieldNode(*atr, "DEAL_NUM")->LabelControl->pos(), QPoint(8, 10));
    EXPECT_EQ(Control("DEAL_DATE")->pos(), QPoint(0, 0));
    EXPECT_EQ(atr->GetWinCtrlTreeByFldName("DEAL_NOTE"), nullptr);
    TWinCtrlTree *pages = atr->RootWinCtrlTree->Items(2);
    EXPECT_EQ(pages->WinControl->geometry(), QRect(8, 60, 400, 150));
    EXPECT_EQ(atr->GetWinCtrlTreeByFld(F("DEAL", "CONTRAG_ID"))->ParentWinCtrlTree->Caption(), "Внутренняя");

    // Focusing a control on the inner sheet brings the inner sheet, then the outer one, forward.
    auto *outer = qobject_cast<QTabWidget *>(pages->WinControl.data());
    auto *inner = qobject_cast<QTabWidget *>(pages->Items(0)->Items(0)->WinControl.data());
    outer->setCurrentIndex(1);
    inner->addTab(new QWidget, "Лишняя");
    inner->setCurrentIndex(1);
    FieldNode(*atr, "CONTRAG_ID")->SetFocus();
    EXPECT_EQ(QList<int>({outer->currentIndex(), inner->currentIndex()}), QList<int>({0, 0}));
    EXPECT_EQ(host.focusWidget(), Control("CONTRAG_ID"));
}

TEST_F(WinAtrTest, TreesThatCannotBeShownFailClearlyOrStayEmpty)
{
    const struct
    {
        std::vector<N> Nodes;
        QString Error;
    } cases[] = {
        {{{ctNone, "DEAL_NUM"}}, "TWinAtr.Create: Неизвестный тип контрола не указано."},
        {{{ctTabSheet, "", "Закладка"}}, "TWinAtr.Create: Закладка \"Закладка\" лежит не на наборе закладок."},
        {{{ctFormula, "DEAL_NOTE"}}, "TWinCtrlTree.SetValue: Неизвестный тип контрола \"Поле формулы\"."},
        {{{ctEditObj, "DEAL_NUM"}}, "TWinCtrlTree.SetValue: Неизвестный тип контрола \"Поле ссылки\"."},
        {{{ctEditStr, "CONTRAG_ID"}}, "TWinCtrlTreeObj.SetValue: Неизвестный тип контрола \"Поле строки\"."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ErrorOf([&] {
                      Build("DEAL", c.Nodes);
                      atr->InitDefaultValues(nullptr, Variant::Null());
                  }),
                  c.Error);
    }

    // A card without control rows shows an empty panel and still holds a record.
    Build("DEAL", {}, false);
    atr->InitDefaultValues(nullptr, Variant::Null());
    EXPECT_EQ(atr->RootWinCtrlTree, nullptr);
    EXPECT_TRUE(atr->Atr->New());

    // A field control without a field: shown, read-only, and what it holds goes nowhere.
    Build("DEAL", {{ctEditStr, "", "Без поля", 160, 8, 120}});
    atr->InitDefaultValues(nullptr, Variant::Null());
    TWinCtrlTree *unbound = atr->RootWinCtrlTree->Items(0);
    EXPECT_TRUE(unbound->ReadOnly());
    qobject_cast<QLineEdit *>(unbound->WinControl.data())->setText("текст");
    EXPECT_FALSE(atr->Atr->Modified());
}

TEST_F(WinAtrTest, ValuesFlowBetweenControlsAndItems)
{
    Build("PRODUCT", {{ctEditStr, "PRODUCT_NAME", "", 160, 8, 240, -1, false, true},
                      {ctEditStr, "PRODUCT_CODE", "", 160, 52, 120, -1, true, false},
                      {ctEditNum182, "PRODUCT_PRICE", "", 160, 30, 120},
                      {ctEditNum183, "PRODUCT_WEIGHT", "", 160, 74, 120},
                      {ctBoolean, "PRODUCT_ACTIVE", "", 160, 96, 16, 17},
                      {ctEditObj, "UNIT_ID", "", 160, 118, 240}});
    QStringList changes;
    for (TWinCtrlTree *node : *atr->RootWinCtrlTree)
        node->OnChange = [&](TWinCtrlTree *sender) { changes << sender->CtrlTree->Fld()->Field(); };

    // Loading fills every control, writes nothing back and reports no change.
    const Variant product = Key("PRODUCT", "PRODUCT_ACTIVE = 1");
    atr->SetRecId(product);
    EXPECT_EQ(FieldControl<QLineEdit>(*atr, "UNIT_ID")->text(),
              repo.Scalar("select U.UNIT_NAME from PRODUCT P join UNIT U on U.UNIT_ID = P.UNIT_ID where P.PRODUCT_ID = :K",
                          {{"K", product}})
                  .toString());
    EXPECT_EQ(FieldControl<QCheckBox>(*atr, "PRODUCT_ACTIVE")->checkState(), Qt::Checked);
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_FALSE(atr->Atr->Modified());
    // Read-only when changing the record, or only when adding one, as the tree says.
    const auto readOnly = [&] {
        return QList<bool>({FieldNode(*atr, "PRODUCT_NAME")->ReadOnly(), FieldNode(*atr, "PRODUCT_CODE")->ReadOnly()});
    };
    EXPECT_EQ(readOnly(), QList<bool>({true, false}));

    // "." and "," both give the decimal separator.
    for (const QString typed : {"1.5", "1,5"}) {
        TypeText(FieldControl<QLineEdit>(*atr, "PRODUCT_WEIGHT"), typed);
        EXPECT_EQ(FieldControl<QLineEdit>(*atr, "PRODUCT_WEIGHT")->text(), "1,5");
        EXPECT_EQ(Item("PRODUCT_WEIGHT")->Value(), Variant(1.5));
    }
    // A text that is no number: the error box, and the item keeps its value.
    const Variant price = Item("PRODUCT_PRICE")->Value();
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        FieldControl<QLineEdit>(*atr, "PRODUCT_PRICE")->setText("сто");
    }
    EXPECT_EQ(error.Text, "\"сто\" не является числом.");
    EXPECT_EQ(Item("PRODUCT_PRICE")->Value(), price);

    // A check box of no value is grayed; clicks give yes and no, never "no value" again.
    Item("PRODUCT_ACTIVE")->InitValue(Variant::Null(), false);
    auto *active = FieldControl<QCheckBox>(*atr, "PRODUCT_ACTIVE");
    EXPECT_EQ(active->checkState(), Qt::PartiallyChecked);
    QList<Variant> clicked;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(active, Qt::LeftButton, {}, QPoint(4, 8));
        clicked << Item("PRODUCT_ACTIVE")->Value();
    }
    EXPECT_EQ(clicked, QList<Variant>({true, false, true}));

    // A key chosen, even the same one again, reaches the item once; the item's own changes reach
    // the edit.
    changes.clear();
    auto *unit = dynamic_cast<TWinCtrlTreeObj *>(FieldNode(*atr, "UNIT_ID"));
    ASSERT_NE(unit, nullptr);
    unit->SetValue(Item("UNIT_ID")->Value());
    unit->SetValue(Key("UNIT", "UNIT_NAME = 'кг'"));
    EXPECT_EQ(changes, QStringList({"UNIT_ID", "UNIT_ID"}));
    EXPECT_EQ(Item("UNIT_ID")->Value(), Key("UNIT", "UNIT_NAME = 'кг'"));
    Item("UNIT_ID")->SetValue(Key("UNIT", "UNIT_NAME = 'м'"));
    EXPECT_EQ(FieldControl<QLineEdit>(*atr, "UNIT_ID")->text(), "м");

    atr->InitDefaultValues(nullptr, Variant::Null());
    EXPECT_EQ(readOnly(), QList<bool>({false, true}));
    EXPECT_TRUE(FieldControl<QLineEdit>(*atr, "PRODUCT_CODE")->isReadOnly());
}

// Typing into a whole-number field checks the text at each key; none of it leaves Qt warning.
TEST_F(WinAtrTest, TypingIntoAWholeNumberFieldWarnsOfNothing)
{
    Build("CARD", {{ctEditInt, "CARD_WIDTH", "", 160, 8, 120}});
    atr->InitDefaultValues(nullptr, Variant::Null());
    QtWarnings warnings;
    for (const QString typed : {"-12", "+7", "640"}) {
        TypeText(FieldControl<QLineEdit>(*atr, "CARD_WIDTH"), typed);
        EXPECT_EQ(Item("CARD_WIDTH")->Value(), Variant(typed.toInt()));
    }
    EXPECT_EQ(warnings.Texts, QStringList());
}

} // namespace
