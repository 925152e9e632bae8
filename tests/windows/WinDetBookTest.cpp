#include "CardHelpers.h"
#include "DetBook.h"
#include "Fld.h"
#include "ObjLink.h"
#include "WinDetBook.h"
#include "WinDetTbl.h"

#include <QSet>

namespace {

class WinDetBookTest : public CardUseTest
{
protected:
    // The deal's detail book on a new panel of the shown host, and its tab captions.
    std::unique_ptr<TWinDetBook> Book(QWidget *panel)
    {
        host.show();
        auto book = std::make_unique<TWinDetBook>(panel, panel);
        book->Init(O("DEAL"), db.CurrentUserId);
        return book;
    }
    static QStringList Tabs(const QWidget *panel)
    {
        QStringList tabs;
        const auto *pc = panel->findChild<QTabWidget *>();
        for (int i = 0; pc && i < pc->count(); ++i)
            tabs << pc->tabText(i);
        return tabs;
    }
    static TWinTbl *Table(const TWinDetBook &book, int pane)
    {
        return dynamic_cast<TWinDetTbl *>(book.Items(pane))->WinTbl.get();
    }

    QWidget host;
};

TEST_F(WinDetBookTest, TabsFollowTheUsersBookAndStandEightPixelsInside)
{
    auto *panel = new QWidget(&host);
    panel->resize(600, 200);
    const std::unique_ptr<TWinDetBook> book = Book(panel);
    // A tab per link, in the book's order, captioned with the detail object's short caption.
    QStringList captions;
    for (TObjLink *link : book->DetBook->ObjLinkList)
        captions << link->ChildFld()->Obj()->Capt2();
    EXPECT_EQ(Tabs(panel), captions);
    EXPECT_EQ(QSet<QString>(captions.begin(), captions.end()), QSet<QString>({"Отгрузки", "Платежи", "Товары сделок"}));
    auto *pc = panel->findChild<QTabWidget *>();
    EXPECT_EQ(pc->geometry(), QRect(8, 8, 584, 184));
    panel->resize(700, 300);
    EXPECT_EQ(pc->geometry(), QRect(8, 8, 684, 284));
    // Before the record has a key the tables stay closed: only adding is offered.
    book->EnableAddBtn();
    for (int pane = 0; pane < book->Count(); ++pane)
        for (TWinToolBtn *btn : *Table(*book, pane)->WinToolBar)
            EXPECT_EQ(btn->Enabled(), btn->BtnType() == TBtnType::btAdd) << btn->Caption().toStdString();

    // The admin's own book of deals beats the default: shipments, whose views are gone, and
    // payments.
    const Variant shipLink = O("DEAL")->ChildList->GetByName("DealShip")->Id();
    repo.Exec("insert into DETBOOK (DETBOOK_ID, OBJ_ID, DETBOOK_CAPT, DETBOOK_DEFAULT, DETBOOK_DEV) "
              "values (1000, :OBJ, 'Своя', 0, 0)",
              {{"OBJ", O("DEAL")->Id()}});
    repo.Exec("insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) select 1000 + DEP_ID, 1000, DEP_ID from DEP "
              "where DEP_ID in (:SHIP, :PAYM)",
              {{"SHIP", shipLink}, {"PAYM", O("DEAL")->ChildList->GetByName("DealPaym")->Id()}});
    repo.Exec("insert into USRDET (USRDET_ID, USR_ID, DETBOOK_ID) values (1000, :U, 1000)", {{"U", db.CurrentUserId}});
    repo.Exec("delete from TBL where DEP_ID = :DEP", {{"DEP", shipLink}});
    auto *own = new QWidget(&host);
    const std::unique_ptr<TWinDetBook> ownBook = Book(own);
    const QStringList tabs = Tabs(own);
    EXPECT_EQ(QSet<QString>(tabs.begin(), tabs.end()), QSet<QString>({"Отгрузки", "Платежи"}));
    const int shipments = tabs.indexOf("Отгрузки");
    EXPECT_EQ(Table(*ownBook, shipments), nullptr);
    EXPECT_TRUE(own->findChild<QTabWidget *>()->widget(shipments)->children().isEmpty());
    // The empty pane is skipped by everything the card asks of the book.
    ownBook->EnableAddBtn();
    ownBook->SetParentId(22);
    ownBook->Open();
    EXPECT_EQ(Table(*ownBook, 1 - shipments)->Count(), Count("select count(*) from DEALPAYM where DEAL_ID = 22"));
    ownBook->Close();
    EXPECT_EQ(Table(*ownBook, 1 - shipments)->Count(), 0);
}

TEST_F(WinDetBookTest, NewDealIsSavedBeforeItsFirstProductAndStaysWhenCancelled)
{
    Open("DEAL");
    const int deals = Count("select count(*) from DEAL");
    int savedFirst = 0, productRows = 0;
    Variant inGrid;
    QString sum;
    {
        ModalScript script{
            [](QWidget *card) {
                Type(card, "Номер", "Т-1");
                QTest::keyClick(Labelled<QLineEdit>(card, "Контрагент"), Qt::Key_F2);
            },
            PickFirstRow,
            [](QWidget *card) { QTest::keyClick(Labelled<QLineEdit>(card, "Валюта"), Qt::Key_F2); },
            PickFirstRow,
            [](QWidget *card) { QTest::keyClick(DetailGrid(card, "Товары сделок"), Qt::Key_Insert); },
            [&](QWidget *product) {
                // The deal is committed before its product card opens, and its row is in the grid.
                savedFirst = Count("select count(*) from DEAL where DEAL_NUM = 'Т-1'");
                inGrid = table->FocusedRecId();
                QTest::keyClick(Labelled<QLineEdit>(product, "Товар"), Qt::Key_F2);
            },
            PickFirstRow,
            [](QWidget *product) {
                Type(product, "Количество", "2");
                ClickButton(product, "ОК");
            },
            [&](QWidget *card) {
                productRows = DetailGrid(card, "Товары сделок")->model()->rowCount();
                sum = Labelled<QLineEdit>(card, "Сумма")->text();
                // A second product, cancelled: the saved deal is not posted again.
                QTest::keyClick(DetailGrid(card, "Товары сделок"), Qt::Key_Insert);
            },
            [](QWidget *product) { ClickButton(product, "Отмена"); },
            [](QWidget *card) { ClickButton(card, "Отмена"); }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(QList<int>({savedFirst, productRows}), QList<int>({1, 1}));
    // Cancelling the deal keeps it, with its product and the sum the triggers gave it.
    EXPECT_EQ(Count("select count(*) from DEAL"), deals + 1);
    const Variant key = repo.Scalar("select DEAL_ID from DEAL where DEAL_NUM = 'Т-1'");
    EXPECT_EQ(QList<Variant>({inGrid, table->FocusedRecId()}), QList<Variant>({key, key}));
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = :K", {{"K", key}}), 1);
    const Variant stored = repo.Scalar("select DEAL_SUM from DEAL where DEAL_ID = :K", {{"K", key}});
    EXPECT_NE(stored, Variant(0));
    EXPECT_EQ(sum, db.VarToStrByFldType(stored, TFldType::ftNum182));
}

} // namespace
