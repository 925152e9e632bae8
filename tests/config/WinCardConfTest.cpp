#include "AtrItem.h"
#include "Card.h"
#include "CardHosts.h"
#include "CtrlTree.h"
#include "WinCardConf.h"
#include "WinCtrlTree.h"

#include <QDialog>
#include <QInputDialog>
#include <QTabWidget>

namespace {

using korvenix_test::ErrorOf;

class WinCardConfTest : public korvenix_test::ConfigFixture
{
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        host.resize(900, 600);
        conf = std::make_unique<TWinCardConf>(&host);
        conf->SetAlign(TAlign::alClient);
        vt = conf->vt;
    }

    // The object's card of that name, its default card for none.
    int CardOf(const QString &table, const QString &name = "")
    {
        if (!name.isEmpty())
            return repo.Scalar("select CARD_ID from CARD where CARD_NAME = :N", {{"N", name}}).toInt();
        return repo.Scalar("select CARD_ID from CARD where OBJ_ID = :O and CARD_DEFAULT = 1", {{"O", O(table)->Id()}})
            .toInt();
    }
    QTreeWidgetItem *Item(const QString &text) const
    {
        const auto found = vt->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }
    void Focus(const QString &text)
    {
        vt->scrollToItem(Item(text));
        QTest::mouseClick(vt->viewport(), Qt::LeftButton, {}, vt->visualItemRect(Item(text)).center());
    }
    // The popup of the node as the user opens it, and its item reached through `path` clicked.
    QStringList Menu(const QString &node, const QStringList &path = {})
    {
        return korvenix_test::Popup(vt, conf->PM, node.isEmpty() ? nullptr : Item(node), path);
    }
    QStringList FieldMenu(const QString &node)
    {
        Menu(node);
        QStringList captions;
        for (QAction *action : conf->PM->actions().value(0)->menu()->actions())
            captions << action->text();
        return captions;
    }
    void Add(const QString &node, const QString &field) { Menu(node, {"Добавить поле", field}); }
    void Press(QToolButton *btn, int times = 1)
    {
        while (times--)
            QTest::mouseClick(btn, Qt::LeftButton);
    }
    // The kinds of buttons and the boxes that are enabled, then the flags the boxes show.
    QString Params() const
    {
        QStringList on;
        using Group = std::tuple<const char *, QWidget *, QWidget *>;
        for (const auto &[name, first, last] : {Group{"move", conf->btLeft, conf->btBottom},
                                                Group{"width", conf->btWidthUp, conf->btWidthDown},
                                                Group{"height", conf->btHeightUp, conf->btHeightDown},
                                                Group{"label", conf->btCaptDown, conf->btCaptUp},
                                                Group{"ro", conf->cbROAdd, conf->cbROEdt}})
            if (first->isEnabled() || last->isEnabled())
                on << (first->isEnabled() && last->isEnabled() ? name : "?");
        return on.join(' ') + (conf->cbROAdd->isChecked() ? " A" : "") + (conf->cbROEdt->isChecked() ? " E" : "");
    }
    bool SaveEnabled() const { return conf->WinToolBar->GetByBtnType(TBtnType::btSave)->Enabled(); }
    TWinCtrlTree *Ctrl(const QString &field) const { return conf->WinCard->WinAtr->GetWinCtrlTreeByFldName(field); }
    // Position, size and label position of an entry ("-" for none), then its read-only flags.
    static QString Values(const TCtrlTree &e)
    {
        QStringList v;
        for (const Variant &value : {e.CLeft(), e.CTop(), e.CWidth(), e.CHeight(), e.LLeft(), e.LTop()})
            v << (value.isNull() ? "-" : value.toString());
        return v.join(',') + (e.ROAdd() ? " A" : "") + (e.ROEdt() ? " E" : "");
    }
    // A control tree as text: each entry's type, caption and values, its children in brackets.
    static QString Shape(const TCtrlTree &e)
    {
        QStringList children;
        for (const TCtrlTree *child : e.CtrlTreeList)
            children << Shape(*child);
        return QString("%1:%2:%3(%4)").arg(int(e.CtrlTreeType())).arg(e.GetCapt2(), Values(e), children.join(' '));
    }
    // The stored card: its sizes and its control tree.
    static QString Stored(int cardId)
    {
        TCard c;
        c.LoadById(cardId);
        return QString("%1x%2+%3 %4").arg(c.Width()).arg(c.HeightAtr()).arg(c.HeightDet()).arg(Shape(*c.RootCtrlTree));
    }

    std::unique_ptr<TWinCardConf> conf;
    QTreeWidget *vt = nullptr;
};

// Nothing to edit before a card is loaded, after Null, or after a card that cannot be loaded: the
// card shown before is dropped and cannot be saved over. The preview's buttons and keys stay its own.
TEST_F(WinCardConfTest, EmptyWithoutACardAndThePreviewKeepsToItself)
{
    const auto empty = [&] {
        EXPECT_EQ(Params(), "");
        EXPECT_FALSE(SaveEnabled());
        EXPECT_EQ(vt->topLevelItemCount(), 0);
        EXPECT_FALSE(conf->WinCard);
    };
    empty();
    const int card = CardOf("UNIT");
    const QString stored = Stored(card);
    conf->SetCardId(card);
    EXPECT_TRUE(SaveEnabled());
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    vt->setFocus(Qt::TabFocusReason);
    EXPECT_NE(vt->currentItem(), nullptr) << "taking the focus made a node current";
    EXPECT_EQ(Params(), "") << "but nobody focused it";
    Menu("Обозначение", {"Удалить поле"});
    EXPECT_EQ(ErrorOf([&] { conf->SetCardId(card + 1000); }), "Карточка не найдена.");
    empty();
    conf->btSaveClick();
    EXPECT_EQ(Stored(card), stored);
    conf->SetCardId(card);
    conf->SetCardId(Variant::Null());
    empty();
    EXPECT_TRUE(Menu("").isEmpty());

    QDialog dialog;   // a host that Enter or Escape would close
    TWinCardConf hosted(&dialog);
    hosted.SetAlign(TAlign::alClient);
    hosted.SetCardId(card);
    ModalScript script{[&](QWidget *) {
        QWidget *edit = hosted.WinCard->WinAtr->GetWinCtrlTreeByFldName("UNIT_NAME")->WinControl;
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Escape);
        ClickButton(hosted.WinCard->Form, "ОК");
        ClickButton(hosted.WinCard->Form, "Отмена");
        dialog.done(dialog.isVisible() ? 7 : 0);
    }};
    EXPECT_EQ(dialog.exec(), 7) << "the host stayed open";
}

// Which buttons and boxes a focused node offers; steps of 8 across and 22 down move a control with
// its label, sizes change by 8 across and a page control's height by 22, unbounded; the root's
// steps size the preview, not its entry.
TEST_F(WinCardConfTest, ArrowsMoveAndSizeWhatTheFocusedNodeAllows)
{
    const struct {
        QString Table, Card, Node, Params;
    } cases[] = {
        {"DEAL", "", "Контрагент", "move width label"},   // the link to its master
        {"UNIT", "", "Код", "move width label A E"},      // the key
        {"UNIT", "", "Наименование", "move width label ro"},
        {"CONTRAG", "Requisites", "Структура", "width height"},
        {"CONTRAG", "Requisites", "Вкладки", "move width height"},
        {"CONTRAG", "Requisites", "Основное", ""},
        {"CONTRAG", "Requisites", "Покупатель", "move label ro"},
        {"CONTRAG", "Requisites", "Оборот", "move width label A E"},   // a sum
        {"CONTRAG", "Requisites", "Наименование", "move width label ro"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Node.toStdString());
        conf->SetCardId(CardOf(c.Table, c.Card));
        Focus(c.Node);
        EXPECT_EQ(Params(), c.Params);
    }
    QTest::mouseClick(conf->cbROEdt, Qt::LeftButton);
    EXPECT_EQ(Params(), "move width label ro E");

    TWinCtrlTree &name = *Ctrl("CONTRAG_NAME");
    Press(conf->btRigth);
    Press(conf->btBottom);
    Press(conf->btCaptUp);
    EXPECT_EQ(Values(*name.CtrlTree), "168,30,240,-,24,32 E");
    EXPECT_EQ(name.WinControl->pos(), QPoint(168, 30));
    EXPECT_EQ(name.LabelControl->pos(), QPoint(24, 32));
    Press(conf->btWidthDown, 31);
    EXPECT_EQ(name.CtrlTree->CWidth(), Variant(-8));
    EXPECT_EQ(name.WinControl->width(), 0);

    Focus("Вкладки");
    Press(conf->btHeightUp);
    Press(conf->btWidthDown);
    EXPECT_EQ(conf->FocusedData()->WinControl->size(), QSize(408, 190));
    Focus("Структура");
    const QSize card(conf->WinCard->Width(), conf->WinCard->HeightAtr());
    Press(conf->btWidthUp);
    Press(conf->btHeightUp, 2);
    EXPECT_EQ(QSize(conf->WinCard->Width(), conf->WinCard->HeightAtr()), card + QSize(8, 16)) << "detail pages below";
    EXPECT_EQ(Values(*conf->WinCard->Card->RootCtrlTree), "-,-,-,-,-,-");
    EXPECT_FALSE(conf->WinCard->DetPanel->findChild<QTabWidget *>()->isEnabled()) << "detail pages only show";

    conf->SetCardId(CardOf("UNIT"));
    Focus("Структура");
    const int height = conf->WinCard->Height();
    Press(conf->btHeightDown);
    EXPECT_EQ(conf->WinCard->Height(), height - 8) << "no detail pages";
}

// The popup offers what the focused node allows; new fields, tab panels and tabs land where the
// designer places them, with the flags their fields need. "Сохранить" writes the sizes and the whole
// tree in one transaction: a failure leaves the rows as they were and the layout in the designer;
// loaded again, directly and as the user's card of the object, the card shows what was designed.
// Deletes take everything below and unbind the preview's controls from the record.
TEST_F(WinCardConfTest, DesignsSavesAndDeletes)
{
    const int card = CardOf("CONTRAG", "Requisites");
    repo.Exec(QString("alter table CTRLTREE add constraint CK_TEST check (FLD_ID <> %1 or CTRLTREE_CLEFT <> 160)")
                  .arg(F("CONTRAG", "CONTRAG_ID")->Id()));
    const QString before = Stored(card);
    conf->SetCardId(card);
    EXPECT_EQ(Menu("Структура"), QStringList({"Добавить поле", "Добавить панель вкладок"}));
    EXPECT_EQ(Menu("Вкладки"), QStringList({"Добавить вкладку...", "Удалить панель вкладок"}));
    EXPECT_EQ(Menu("Основное"), QStringList({"Добавить поле", "Добавить панель вкладок", "Переименовать вкладку...",
                                             "Удалить вкладку"}));
    EXPECT_EQ(Menu("ИНН"), QStringList({"Добавить поле", "Удалить поле"}));
    EXPECT_EQ(FieldMenu("ИНН"), QStringList{"Код"});
    Add("ИНН", "Код");   // under an edit at 160, 30, 120 wide, its label at 8, 32
    EXPECT_EQ(Values(*Ctrl("CONTRAG_ID")->CtrlTree), "160,52,120,-,8,54 A E");
    EXPECT_EQ(Item("Основное")->indexOfChild(Item("Код")), 5) << "appended last";
    EXPECT_EQ(Params(), "move width label A E") << "the new node is focused";
    EXPECT_TRUE(FieldMenu("Код").isEmpty());

    const auto name = [](const char *title, const char *preset, const char *answer) {
        return [=](QWidget *w) {
            auto *input = qobject_cast<QInputDialog *>(w);
            EXPECT_EQ(input->windowTitle(), title);
            EXPECT_EQ(input->textValue(), preset);
            input->setTextValue(answer);
            ClickButton(w, answer ? "ОК" : "Отмена");
        };
    };
    {
        ModalScript names{name("Новая вкладка", "", nullptr), name("Новая вкладка", "", ""),
                          name("Новая вкладка", "", "Б"), name("Переименование вкладки", "Б", "В")};
        for (int i = 0; i < 3; ++i)
            Menu("Вкладки", {"Добавить вкладку..."});
        Menu("Б", {"Переименовать вкладку..."});
    }
    auto *pages = qobject_cast<QTabWidget *>(conf->FocusedData()->ParentWinCtrlTree->WinControl.data());   // of "В"
    EXPECT_EQ(QStringList({pages->tabText(2), pages->tabText(3), Item("Вкладки")->child(3)->text(0)}),
              QStringList({"", "В", "В"}));
    Menu("Адрес", {"Удалить поле"});
    Focus("Вкладки");
    Press(conf->btWidthDown, 20);
    Add("В", "Адрес");   // a page never shown is as wide as the one in front
    EXPECT_EQ(Ctrl("CONTRAG_ADDR")->CtrlTree->CWidth(), Variant(pages->currentWidget()->width() - 96 - 8));
    Menu("Оборот", {"Удалить поле"});
    Add("Покупатель", "Оборот");   // under a check box
    EXPECT_EQ(Values(*Ctrl("CONTRAG_TURN")->CtrlTree), "160,74,160,-,8,76 A E");
    Menu("Поставщик", {"Удалить поле"});
    Add("Оборот", "Поставщик");
    EXPECT_EQ(Values(*Ctrl("CONTRAG_SUPPL")->CtrlTree), "160,96,16,17,8,98");
    Focus("Структура");
    Press(conf->btWidthUp);
    Press(conf->btHeightUp);
    Focus("Наименование");
    QTest::mouseClick(conf->cbROAdd, Qt::LeftButton);

    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        QTest::mouseClick(conf->WinToolBar->GetByBtnType(TBtnType::btSave)->Widget(), Qt::LeftButton);
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(Stored(card), before) << "rolled back";
    Focus("Код");
    Press(conf->btRigth);
    conf->btSaveClick();
    const QString designed = Shape(*conf->WinCard->Card->RootCtrlTree);
    EXPECT_EQ(Stored(card), QString("440x192+%1 %2").arg(conf->WinCard->HeightDet()).arg(designed));
    // The administrator's own card of counterparties is this one.
    TWinCard modal(&host, &host, nullptr);
    modal.InitByUser(O("CONTRAG"), db.CurrentUserId);
    modal.InitDefaultValues(nullptr, Variant::Null());
    ModalScript script{[&](QWidget *w) {
        const TWinCtrlTree *key = modal.WinAtr->GetWinCtrlTreeByFldName("CONTRAG_ID");
        EXPECT_EQ(key->WinControl->geometry(), QRect(168, 52, 120, 21));
        EXPECT_EQ(key->LabelControl->pos(), QPoint(16, 54));
        EXPECT_EQ(modal.Width(), 440);
        EXPECT_EQ(modal.WinAtr->GetWinCtrlTreeByFldName("CONTRAG_ADDR")->ParentWinCtrlTree->Caption(), "В");
        EXPECT_TRUE(modal.WinAtr->GetWinCtrlTreeByFldName("CONTRAG_NAME")->ReadOnly()) << "as ticked for adding";
        ClickButton(w, "Отмена");
    }};
    modal.ShowModalCard();

    Menu("Вкладки", {"Удалить панель вкладок"});
    EXPECT_EQ(Texts(vt), QStringList{"Структура"});
    EXPECT_EQ(Params(), "") << "no node focused after a delete";
    EXPECT_TRUE(conf->WinCard->AtrPanel->findChildren<QTabWidget *>().isEmpty());
    conf->WinCard->WinAtr->Atr->GetAddByFldName("CONTRAG_NAME")->SetValue("reaches no control");
    EXPECT_EQ(FieldMenu("Структура").size(), O("CONTRAG")->FldList->Count());
    // On the card itself a new control is 96 from the left and as wide as the area allows.
    for (const auto &[width, expected] : {std::pair{400, 240}, {150, 80}, {300, 196}}) {
        conf->WinCard->SetWidth(width);
        Add("Структура", "Адрес");
        EXPECT_EQ(Values(*Ctrl("CONTRAG_ADDR")->CtrlTree), QString("96,8,%1,-,8,10").arg(expected));
        Menu("Адрес", {"Удалить поле"});
    }
    Menu("Структура", {"Добавить панель вкладок"});
    EXPECT_EQ(Values(*conf->FocusedData()->CtrlTree), "8,8,284,154,-,-");

    // The sum of a payment is typed when the payment is added.
    conf->SetCardId(CardOf("DEALPAYM"));
    Menu("Сумма платежа", {"Удалить поле"});
    Add("Структура", "Сумма платежа");
    EXPECT_EQ(Values(*Ctrl("DEALPAYM_SUM")->CtrlTree), "96,8,240,-,8,10 E");
    // A card stored without any control starts from its root, as new cards do.
    const int bare = db.GetGenId("CARD_ID");
    repo.Exec("insert into CARD (CARD_ID, OBJ_ID, CARD_WIDTH, CARD_HEIGHTATR, CARD_HEIGHTDET) "
              "values (:ID, :O, 416, 96, 0)",
              {{"ID", bare}, {"O", O("UNIT")->Id()}});
    conf->SetCardId(bare);
    Add("Структура", "Обозначение");
    conf->btSaveClick();
    EXPECT_EQ(Stored(bare), "416x96+0 1::-,-,-,-,-,-(4:Обозначение:96,8,240,-,8,10())");
}

} // namespace
