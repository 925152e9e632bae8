#include "AtrItem.h"
#include "Card.h"
#include "ConfFixture.h"
#include "CtrlTree.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinCardConf.h"
#include "WinCtrlTree.h"

#include <QDialog>
#include <QInputDialog>

namespace {

// The configurator's card layout designer, its page in front.
class WinCardConfTest : public ConfFixture
{
protected:
    void SetUp() override
    {
        ConfFixture::SetUp();
        d = conf->WinCardConf.get();
        vt = d->vt;
        ShowPage(vt);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()) && WaitFor([&] { return vt->isVisible() && vt->width() > 0; }));
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
        return Popup(vt, node.isEmpty() ? nullptr : Item(node), path);
    }
    void Add(const QString &node, const QString &field) { Menu(node, {"Добавить поле", field}); }
    TWinCtrlTree *Ctrl(const QString &field) const { return d->WinCard->WinAtr->GetWinCtrlTreeByFldName(field); }
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

    TWinCardConf *d = nullptr;
    QTreeWidget *vt = nullptr;
};

// Nothing to edit after Null or after a card that cannot be loaded: the card shown before is
// dropped and cannot be saved over. A node made current by the keyboard focus is not focused.
// The preview's buttons and keys stay its own.
TEST_F(WinCardConfTest, EmptyWithoutACardAndThePreviewKeepsToItself)
{
    const int card =
        Repo().Scalar("select CARD_ID from CARD where OBJ_ID = :O and CARD_DEFAULT = 1", {{"O", O("UNIT")->Id()}}).toInt();
    const QString stored = Stored(card);
    d->SetCardId(card);
    vt->setFocus(Qt::TabFocusReason);
    EXPECT_NE(vt->currentItem(), nullptr) << "taking the focus made a node current";
    EXPECT_TRUE(!d->FocusedData() && !d->btLeft->isEnabled()) << "but nobody focused it";
    Menu("Обозначение", {"Удалить поле"});   // a change left unsaved
    for (const Variant &id : {Variant(card + 1000), Variant::Null()}) {
        EXPECT_EQ(ErrorOf([&] { d->SetCardId(id); }), id.isNull() ? "no error" : "Карточка не найдена.");
        EXPECT_TRUE(!Enabled(*d, TBtnType::btSave) && vt->topLevelItemCount() == 0 && !d->WinCard && Menu("").isEmpty());
        d->btSaveClick();
        EXPECT_EQ(Stored(card), stored);
        d->SetCardId(card);
    }

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

// The popup offers the fields not on the card; a new field lands below the focused one with the
// flags it needs, a new tab's fields are as wide as the page in front. "Сохранить" writes the sizes
// and the whole tree in one transaction: a failure leaves the rows as they were and the layout in
// the designer. Deletes take everything below and unbind the preview's controls from the record.
// A card stored without controls gets its root.
TEST_F(WinCardConfTest, DesignsSavesAndDeletes)
{
    const int card = Repo().Scalar("select CARD_ID from CARD where CARD_NAME = 'Requisites'").toInt();
    Repo().Exec(QString("alter table CTRLTREE add constraint CK_TEST check (FLD_ID <> %1 or CTRLTREE_CLEFT <> 160)")
                    .arg(F("CONTRAG", "CONTRAG_ID")->Id()));
    const QString before = Stored(card);
    d->SetCardId(card);
    EXPECT_EQ(Menu("ИНН", {"Добавить поле"}), QStringList{"Код"}) << "the fields not on the card";
    Add("ИНН", "Код");   // under an edit at 160, 30, 120 wide, its label at 8, 32
    EXPECT_EQ(Values(*Ctrl("CONTRAG_ID")->CtrlTree), "160,52,120,-,8,54 A E");

    {
        ModalScript names{[](QWidget *w) {
            EXPECT_EQ(w->windowTitle(), "Новая вкладка");
            qobject_cast<QInputDialog *>(w)->setTextValue("Б");
            ClickButton(w, "ОК");
        }};
        Menu("Вкладки", {"Добавить вкладку..."});
    }
    auto *pages = qobject_cast<QTabWidget *>(d->FocusedData()->ParentWinCtrlTree->WinControl.data());   // of "Б"
    EXPECT_EQ(QStringList({pages->tabText(2), Item("Вкладки")->child(2)->text(0)}), QStringList({"Б", "Б"}));
    Menu("Адрес", {"Удалить поле"});
    Focus("Вкладки");
    for (int i = 0; i < 20; ++i)
        QTest::mouseClick(d->btWidthDown, Qt::LeftButton);
    Add("Б", "Адрес");   // a page never shown is as wide as the one in front
    EXPECT_EQ(Ctrl("CONTRAG_ADDR")->CtrlTree->CWidth(), Variant(pages->currentWidget()->width() - 96 - 8));

    Focus("Структура");
    QTest::mouseClick(d->btWidthUp, Qt::LeftButton);   // the card's own row changes too
    Focus("Наименование");
    QTest::mouseClick(d->cbROAdd, Qt::LeftButton);
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Press(*d, TBtnType::btSave);
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(Stored(card), before) << "rolled back";
    Focus("Код");
    QTest::mouseClick(d->btRigth, Qt::LeftButton);
    d->btSaveClick();
    const QString designed = Shape(*d->WinCard->Card->RootCtrlTree);
    EXPECT_EQ(Stored(card), QString("440x184+%1 %2").arg(d->WinCard->HeightDet()).arg(designed));
    EXPECT_TRUE(designed.contains(":Наименование:160,8,240,-,8,10 A(")) << "ticked read-only for adding";

    Menu("Вкладки", {"Удалить панель вкладок"});
    EXPECT_EQ(Texts(vt), QStringList{"Структура"});
    EXPECT_TRUE(!d->FocusedData() && !d->btLeft->isEnabled()) << "no node focused after a delete";
    EXPECT_TRUE(d->WinCard->AtrPanel->findChildren<QTabWidget *>().isEmpty());
    d->WinCard->WinAtr->Atr->GetAddByFldName("CONTRAG_NAME")->SetValue("reaches no control");
    EXPECT_EQ(Menu("Структура", {"Добавить поле"}).size(), O("CONTRAG")->FldList->Count());

    // A card stored without any control starts from its root.
    const int bare = DB->GetGenId("CARD_ID");
    Repo().Exec("insert into CARD (CARD_ID, OBJ_ID, CARD_WIDTH, CARD_HEIGHTATR, CARD_HEIGHTDET) values (:ID, :O, 416, 96, 0)",
                {{"ID", bare}, {"O", O("UNIT")->Id()}});
    d->SetCardId(bare);
    Add("Структура", "Обозначение");
    d->btSaveClick();
    EXPECT_EQ(Stored(bare), "416x96+0 1::-,-,-,-,-,-(4:Обозначение:96,8,240,-,8,10())");
}

// A save is done once it has committed, whatever the engine says afterwards when asked to take up
// the rows the save deleted: no box, and the next save goes through.
TEST_F(WinCardConfTest, ASaveIsDoneOnceCommitted)
{
    FailTheCommitAfterEachTreeSave();
    const int card = Repo().Scalar("select CARD_ID from CARD where CARD_NAME = 'Requisites'").toInt();
    d->SetCardId(card);
    ModalScript none{};
    for (int save = 0; save < 2; ++save) {
        Focus("Структура");
        QTest::mouseClick(d->btWidthUp, Qt::LeftButton);
        Press(*d, TBtnType::btSave);
        EXPECT_EQ(Stored(card), QString("%1x%2+%3 %4")
                                    .arg(d->WinCard->Width())
                                    .arg(d->WinCard->HeightAtr())
                                    .arg(d->WinCard->HeightDet())
                                    .arg(Shape(*d->WinCard->Card->RootCtrlTree)));
    }
    EXPECT_EQ(FailedCommits(), 2);
}

// The designer writes a card of four levels (edits, a page control, its tabs, their fields) as
// these rows, numbered in pre-order: each control's field, type, bounds, caption, places and flags.
TEST_F(WinCardConfTest, SavesTheCardAsTheseRows)
{
    const int card = Repo().Scalar("select CARD_ID from CARD where CARD_NAME = 'Requisites'").toInt();
    d->SetCardId(card);
    Add("ИНН", "Код");
    Focus("Вкладки");
    QTest::mouseClick(d->btWidthDown, Qt::LeftButton);
    Focus("Наименование");
    QTest::mouseClick(d->cbROAdd, Qt::LeftButton);
    Focus("Код");
    QTest::mouseClick(d->btRigth, Qt::LeftButton);
    Press(*d, TBtnType::btSave);
    Press(*d, TBtnType::btSave);   // a tree saved over itself
    const QStringList rows =
        RowTexts("select F.FLD_FIELD, T.CTRLTRTP_NAME, C.CTRLTREE_LFT, C.CTRLTREE_RGT, C.CTRLTREE_CAPT, C.CTRLTREE_CLEFT, "
                 "C.CTRLTREE_CTOP, C.CTRLTREE_CWIDTH, C.CTRLTREE_CHEIGHT, C.CTRLTREE_LLEFT, C.CTRLTREE_LTOP, "
                 "C.CTRLTREE_LWIDTH, C.CTRLTREE_LHEIGHT, C.CTRLTREE_ROADD, C.CTRLTREE_ROEDT from CTRLTREE C "
                 "left join FLD F on F.FLD_ID = C.FLD_ID left join CTRLTRTP T on T.CTRLTRTP_ID = C.CTRLTRTP_ID "
                 "where C.CARD_ID = :C order by C.CTRLTREE_LFT",
                 {{"C", card}});
    EXPECT_EQ(rows, QStringList({"- Root 1 26 - - - - - - - - - 0 0",
                                 "- PageControl 2 25 - 8 8 408 168 - - - - 0 0",
                                 "- TabSheet 3 16 Основное - - - - - - - - 0 0",
                                 "CONTRAG_NAME EditStr 4 5 - 160 8 240 - 8 10 144 16 1 0",
                                 "CONTRAG_INN EditStr 6 7 - 160 30 120 - 8 32 144 16 0 0",
                                 "CONTRAG_BUYER CheckBox 8 9 - 160 52 16 17 8 54 144 16 0 0",
                                 "CONTRAG_SUPPL CheckBox 10 11 - 160 74 16 17 8 76 144 16 0 0",
                                 "CONTRAG_TURN EditNum182 12 13 - 160 96 120 - 8 98 144 16 1 1",
                                 "CONTRAG_ID EditInt 14 15 - 168 52 120 - 16 54 - - 1 1",
                                 "- TabSheet 17 24 Контакты - - - - - - - - 0 0",
                                 "CONTRAG_PHONE EditStr 18 19 - 160 8 120 - 8 10 144 16 0 0",
                                 "CONTRAG_EMAIL EditStr 20 21 - 160 30 240 - 8 32 144 16 0 0",
                                 "CONTRAG_ADDR EditStr 22 23 - 160 52 240 - 8 54 144 16 0 0"}));
}

} // namespace
