#include "Atr.h"
#include "CardHelpers.h"
#include "IBTransaction.h"
#include "ObjLink.h"
#include "WinCardPay.h"
#include "WinCardShip.h"
#include "DetBook.h"
#include "Fld.h"
#include "WinDetBook.h"
#include "WinDetTbl.h"
#include "WinTblPay.h"
#include "WinTblProd.h"
#include "XDisplay.h"

#include <QScrollBar>
#include <QSet>

namespace {

TEST(SpreadPaymentTest, PartsFollowWhatIsDueAndAddUpToTheSum)
{
    // The sum, what the products owe, their parts.
    const QList<QStringList> cases = {{"100", "1 1 1", "33.33 33.33 33.34"},
                                      {"0.05", "1 1", "0.03 0.02"},
                                      {"-0.05", "1 1", "-0.03 -0.02"},
                                      {"10", "1 2", "3.33 6.67"},
                                      {"0.1", "0.01 0.01 0.01", "0.03 0.03 0.04"},
                                      {"1000000000", "0.01 99999.99 7", "99.99 999929904.91 69995.10"}};
    const auto scaled = [](const QString &text) { return Variant(text.toDouble()).toCurrencyScaled(); };
    for (const QStringList &c : cases) {
        TDealProdSumList list;
        for (const QString &due : c[1].split(' '))
            list.push_back({Variant(), scaled(due), 0});
        SpreadPayment(list, scaled(c[0]));
        QStringList parts;
        for (const TDealProdSum &item : list)
            parts << QString::number(double(item.DealProdPaid) / Variant::CurrencyScale, 'f', 2);
        EXPECT_EQ(parts.join(' '), c[2]);
    }
}

// The deals of the sample database: deal 1 is paid in full, deal 22 in part (three products,
// here owing 1.00 each, shipped in part), deal 30 not at all.
class DealTest : public CardUseTest
{
protected:
    void SetUp() override
    {
        CardUseTest::SetUp();
        repo.Exec("update DEALPROD set DEALPROD_PAY = DEALPROD_PAID + 1 where DEAL_ID = 22");
        // A fault on demand: the third product row of a payment fails while the flag is set.
        repo.Exec("create exception KVX_TEST_FAULT 'Сбой записи'");
        repo.Exec("create trigger KVX_TEST_FAULT for PRODPAYM before insert as begin "
                  "if (rdb$get_context('USER_SESSION', 'FAULT') = '1' and "
                  "(select count(*) from PRODPAYM P where P.DEALPAYM_ID = new.DEALPAYM_ID) = 2) "
                  "then exception KVX_TEST_FAULT; end");
    }
    template <typename Card>
    std::unique_ptr<Card> NewCard(const QString &table, const QString &link, int deal)
    {
        auto card = std::make_unique<Card>(nullptr, nullptr, nullptr);
        card->InitByUser(O(table), db.CurrentUserId);
        card->InitDefaultValues(O("DEAL")->ChildList->GetByName(link), deal);
        return card;
    }
    static QList<bool> Ticks(QAbstractItemView *grid)
    {
        QList<bool> ticks;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            ticks << (grid->model()->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked);
        return ticks;
    }
    static TWinTbl *Table(const TWinDetBook &book, int pane)
    {
        return dynamic_cast<TWinDetTbl *>(book.Items(pane))->WinTbl.get();
    }
    static QModelIndex Cell(QAbstractItemView *grid, int row, const QString &header)
    {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (grid->model()->headerData(c, Qt::Horizontal).toString() == header)
                return grid->model()->index(row, c);
        ADD_FAILURE() << "no column " << header.toStdString();
        return {};
    }
    // The table of deals, deal 22 selected.
    void OpenDeal22()
    {
        Open("DEAL");
        int row = 0;
        while (row < table->Count() && Key(row) != Variant(22))
            ++row;
        Click(row);
    }
    // The text of the focused row of the table window in the column with that header.
    QString FocusedCell(const QString &header) const
    {
        return Cell(Grid(), Grid()->currentIndex().row(), header).data().toString();
    }
    // The deals whose totals do not add up: what is paid on the deal, on its payments and on its
    // products; what is shipped on its shipments and on its products.
    static int DealsNotAddingUp()
    {
        return Count("select count(*) from DEAL D where "
                     "D.DEAL_PAID <> (select coalesce(sum(DEALPAYM_SUM), 0) from DEALPAYM where DEAL_ID = D.DEAL_ID) "
                     "or D.DEAL_PAID <> (select coalesce(sum(DEALPROD_PAID), 0) from DEALPROD where DEAL_ID = D.DEAL_ID) "
                     "or (select coalesce(sum(DEALSHIP_CNT), 0) from DEALSHIP where DEAL_ID = D.DEAL_ID) "
                     "<> (select coalesce(sum(DEALPROD_SHPD), 0) from DEALPROD where DEAL_ID = D.DEAL_ID)");
    }
    // A picker's rows, every one of them read.
    static int PickerRows(QWidget *picker)
    {
        auto *grid = picker->findChild<QAbstractItemView *>();
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        return grid->model()->rowCount();
    }
};

TEST_F(DealTest, PaymentIsSpreadOverTheTickedProductsAndSavedWithItsRowsOrNotAtAll)
{
    OpenDeal22();
    const int payments = Count("select count(*) from DEALPAYM"), parts = Count("select count(*) from PRODPAYM");
    const Variant paid = repo.Scalar("select DEAL_PAID from DEAL where DEAL_ID = 22");
    BoxSeen fault;
    QList<bool> ticksBefore, ticksAfter;
    QString sumAfter, paidOnCard;
    {
        ModalScript script{
            [](QWidget *deal) { QTest::keyClick(DetailGrid(deal, "Платежи"), Qt::Key_Insert); },
            [&](QWidget *card) {
                ticksBefore = Ticks(DetailGrid(card, "Товары сделок"));
                Type(card, "Сумма платежа", "100");
                repo.Scalar("select rdb$set_context('USER_SESSION', 'FAULT', '1') from rdb$database");
                ClickButton(card, "ОК");
            },
            AnswerBox(fault, "OK"),
            [&](QWidget *card) {
                // Nothing is kept, and the card keeps what the user gave it.
                EXPECT_EQ(Count("select count(*) from PRODPAYM"), parts);
                EXPECT_FALSE(db.WriteTransaction().InTransaction());
                ticksAfter = Ticks(DetailGrid(card, "Товары сделок"));
                sumAfter = Labelled(card, "Сумма платежа")->text();
                repo.Scalar("select rdb$set_context('USER_SESSION', 'FAULT', null) from rdb$database");
                ClickButton(card, "ОК");
            },
            [&](QWidget *deal) {
                paidOnCard = Labelled(deal, "Оплачено")->text();
                ClickButton(deal, "Отмена");
            }};
        Press(Qt::Key_F2);
    }
    EXPECT_TRUE(fault.Text.contains("Сбой записи")) << fault.Text.toStdString();
    EXPECT_EQ(QList<QList<bool>>({ticksBefore, ticksAfter}), QList<QList<bool>>(2, {true, true, true}));
    EXPECT_EQ(sumAfter, "100");
    // One payment, its parts in cents with the rest on the last product, and the totals after it.
    EXPECT_EQ(Count("select count(*) from DEALPAYM"), payments + 1);
    const Variant payment = repo.Scalar("select max(DEALPAYM_ID) from DEALPAYM where DEAL_ID = 22");
    EXPECT_EQ(repo.Scalar("select count(*) || ' ' || sum(iif(PRODPAYM_SUM = 33.33, 1, 0)) || ' ' || "
                          "sum(iif(PRODPAYM_SUM = 33.34, 1, 0)) from PRODPAYM where DEALPAYM_ID = :P",
                          {{"P", payment}}),
              Variant("3 2 1"));
    EXPECT_EQ(repo.Scalar("select DEALPAYM_SUM from DEALPAYM where DEALPAYM_ID = :P", {{"P", payment}}), Variant(100));
    EXPECT_EQ(repo.Scalar("select sum(DEALPROD_PAID - DEALPROD_PAY) from DEALPROD where DEAL_ID = 22"), Variant(97));
    const Variant paidNow = repo.Scalar("select DEAL_PAID from DEAL where DEAL_ID = 22");
    EXPECT_EQ(paidNow, paid + Variant(100));
    EXPECT_EQ(paidOnCard, db.VarToStrByFldType(paidNow, TFldType::ftNum182));
}

// A payment and a shipment made from a deal's card show at once on its products tab; the deal's
// row in the table of deals follows them also when the deal's card is then cancelled. A payment's
// sum that is no number stops OK before the payment is spread over anything.
TEST_F(DealTest, ProductsTabAndDealsRowFollowPaymentsAndShipmentsAndASumThatIsNoNumberIsRefused)
{
    OpenDeal22();
    const int payments = Count("select count(*) from DEALPAYM");
    // The total of a column of the products tab, and what the database holds for it.
    const auto shown = [](QWidget *deal, const QString &header) {
        QAbstractItemView *grid = DetailGrid(deal, "Товары сделок");
        double total = 0;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            total += QLocale().toDouble(Cell(grid, r, header).data().toString());
        return total;
    };
    const auto stored = [&](const QString &field) {
        return repo.Scalar("select sum(" + field + ") from DEALPROD where DEAL_ID = 22").toDouble();
    };
    BoxSeen typed, refused;
    {
        ModalScript script{[](QWidget *deal) { QTest::keyClick(DetailGrid(deal, "Платежи"), Qt::Key_Insert); },
                           [](QWidget *payment) { Type(payment, "Сумма платежа", "1,2,3"); },
                           AnswerBox(typed, "OK"),
                           [](QWidget *payment) { ClickButton(payment, "ОК"); },
                           AnswerBox(refused, "OK"),
                           [](QWidget *payment) {
                               Type(payment, "Сумма платежа", "100");
                               ClickButton(payment, "ОК");
                           },
                           [&](QWidget *deal) {
                               EXPECT_NEAR(shown(deal, "Оплачено"), stored("DEALPROD_PAID"), 0.001);
                               QTest::keyClick(DetailGrid(deal, "Отгрузки"), Qt::Key_Insert);
                           },
                           [](QWidget *shipment) { ClickButton(shipment, "ОК"); },
                           [&](QWidget *deal) {
                               EXPECT_NEAR(shown(deal, "Отгружено"), stored("DEALPROD_SHPD"), 0.001);
                               ClickButton(deal, "Отмена");
                           }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(refused.Text, "Поле \"Сумма платежа\": \"1,2,3\" не является числом.");
    EXPECT_EQ(Count("select count(*) from DEALPAYM"), payments + 1);
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = 22 and DEALPROD_SHPD <> DEALPROD_SHIP"), 0);
    EXPECT_EQ(table->FocusedRecId(), Variant(22));
    EXPECT_EQ(FocusedCell("Оплачено"),
              db.VarToStrByFldType(repo.Scalar("select DEAL_PAID from DEAL where DEAL_ID = 22"), TFldType::ftNum182));
}

TEST_F(DealTest, PaymentCardRefusesBeforeAnythingIsPosted)
{
    const int payments = Count("select count(*) from DEALPAYM");
    std::unique_ptr<TWinCardPay> card = NewCard<TWinCardPay>("DEALPAYM", "DealPaym", 1);
    card->Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(card->Form));
    // The messages about the sum bring its control to the front.
    QLineEdit *sum = Labelled(card->Form, "Сумма платежа");
    TObjLink *parts = O("DEALPAYM")->ChildList->GetByName("Paym-ProdPaym");
    const QList<std::tuple<std::function<void()>, QString, bool>> cases = {
        {[] {}, "Сумма платежа не может быть равна нулю.", true},
        {[&] { TypeText(sum, ""); }, "Не указана сумма платежа.", true},
        // A deal paid in full: nothing is ticked.
        {[&] { TypeText(sum, "50"); }, "Не отмечен ни один продукт.", false},
        {[&] { card->Products()->SetRowChecked(0, true); }, "У отмеченных продуктов нет суммы к оплате.", false},
        {[&] { parts->SetName("Прочее"); }, "У объекта \"Платежи по сделкам\" нет связи \"Paym-ProdPaym\".", false},
        {[&] {
             parts->SetName("Paym-ProdPaym");
             O("PRODPAYM")->SetTable("PRODPAYM_OLD");
         },
         "Объект с таблицей \"PRODPAYM\" не найден.", false}};
    for (const auto &[change, message, focused] : cases) {
        sum->clearFocus();
        change();
        // A deal still owing: the links are looked up before anything is posted.
        if (message.startsWith("У объекта")) {
            card = NewCard<TWinCardPay>("DEALPAYM", "DealPaym", 30);
            sum = Labelled(card->Form, "Сумма платежа");
            TypeText(sum, "10");
        }
        EXPECT_EQ(ErrorOf([&] { card->OkClick(); }), message);
        EXPECT_EQ(sum->hasFocus(), focused) << message.toStdString();
        EXPECT_FALSE(db.WriteTransaction().InTransaction());
    }
    O("PRODPAYM_OLD")->SetTable("PRODPAYM");
    EXPECT_EQ(Count("select count(*) from DEALPAYM"), payments);

    // No amount to pay counts as nothing due, no payment as nothing paid.
    TWinTblProd *products = card->Products();
    products->SetDataByIndexFld(0, F("DEALPROD", "DEALPROD_PAY"), Variant::Null());
    products->SetDataByIndexFld(1, F("DEALPROD", "DEALPROD_PAID"), Variant::Null());
    ClickTool(card->Form, "Снять все отметки");
    ClickTool(card->Form, "Отметить неоплаченные");
    EXPECT_EQ(QList<bool>({products->RowChecked(0), products->RowChecked(1)}), QList<bool>({false, true}));
    // A failure once all is committed is told, and OK goes through: there is nothing left to save.
    card->WinAtr->Atr->OnAfterCommit = [](TAtr *) { throw ExceptionPos("Строка не перечитана."); };
    BoxSeen told;
    {
        ModalScript script{AnswerBox(told, "OK")};
        card->OkClick();
    }
    EXPECT_EQ(told.Text, "Строка не перечитана.");
    EXPECT_EQ(repo.Scalar("select list(DEALPROD_ID || ':' || PRODPAYM_SUM) from PRODPAYM where DEALPAYM_ID = :P",
                          {{"P", card->RecId()}}),
              Variant(products->Value(1, "DEALPROD_ID").toString() + ":10.00"));
}

TEST_F(DealTest, ShipmentOfWhatIsLeftUpdatesTheProductsAndItsTotal)
{
    std::unique_ptr<TWinCardShip> card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    QAbstractItemView *grid = DetailGrid(card->Form, "Товары сделок");
    const auto shipped = [&] {
        QStringList texts;
        for (int r = 0; r < 3; ++r)
            texts << Cell(grid, r, "Отгружено").data().toString();
        return texts;
    };
    // Typed over, then back to what was left when the card opened.
    const QStringList left = shipped();
    EXPECT_TRUE(grid->model()->setData(Cell(grid, 0, "Отгружено"), "1"));
    EXPECT_EQ(shipped()[0], "1");
    ClickTool(card->Form, "Сбросить все в ноль");
    EXPECT_EQ(shipped(), QStringList(3, "0"));
    ClickTool(card->Form, "Установить остатки");
    EXPECT_EQ(shipped(), left);
    EXPECT_EQ(QSet<QString>(left.begin(), left.end()), QSet<QString>({"0", "3"}));
    card->OkClick();
    const QList<std::pair<QString, Variant>> shipment = {{"S", card->RecId()}};
    EXPECT_EQ(Count("select count(*) from PRODSHIP where DEALSHIP_ID = :S", shipment), 2);
    EXPECT_EQ(Count("select DEALSHIP_CNT from DEALSHIP where DEALSHIP_ID = :S", shipment), 6);
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = 22 and DEALPROD_SHPD <> DEALPROD_SHIP"), 0);

    // Nothing left to ship, or a deal without products.
    card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    EXPECT_EQ(ErrorOf([&] { card->OkClick(); }), "Укажите количество для отгрузки.");
    repo.Exec("insert into DEAL (DEAL_ID, DEAL_NUM, DEAL_DATE, CONTRAG_ID, CURR_ID) select 1000, 'Пустая', "
              "current_date, CONTRAG_ID, CURR_ID from DEAL where DEAL_ID = 22");
    card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 1000);
    EXPECT_EQ(ErrorOf([&] { card->OkClick(); }), "Нет продуктов для отгрузки.");
    EXPECT_EQ(Count("select count(*) from DEALSHIP where DEAL_ID = 1000"), 0);
}

// The quantities of a shipment are typed into their cells as into any grid's: a double click or a
// typed character starts a cell's edit (the character its first text), Enter ends the edit and
// stays in the card, and Enter outside an edit is the card's OK. The column is in sight in the
// card's own width.
TEST_F(DealTest, ShipmentQuantitiesAreTypedIntoTheirCellsAndEnterOutsideAnEditIsOk)
{
    std::unique_ptr<TWinCardShip> card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    TWinTbl *products = Table(*card->WinDetBook, 0);
    ASSERT_GE(products->Count(), 2);
    QString firstText, typedFirst, openAfterEnter;
    {
        ModalScript script{[&](QWidget *form) {
            QAbstractItemView *grid = DetailGrid(form, "Товары сделок");
            const auto spot = [&](int row) { return grid->visualRect(Cell(grid, row, "Отгружено")).center(); };
            EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(Cell(grid, 0, "Отгружено"))));
            EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
            const auto editor = [&] { return grid->viewport()->findChild<QLineEdit *>(); };

            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, spot(0));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, spot(0));
            ASSERT_NE(editor(), nullptr) << "a double click starts no edit";
            QTest::keyClick(editor(), Qt::Key_2);
            QTest::keyClick(editor(), Qt::Key_Return);
            ASSERT_TRUE(WaitFor([&] { return !editor(); }));
            openAfterEnter = form->isVisible() ? "open" : "closed";
            firstText = Cell(grid, 0, "Отгружено").data().toString();

            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, spot(1));
            QTest::keyClick(grid, Qt::Key_3);
            ASSERT_NE(editor(), nullptr) << "a typed character starts no edit";
            typedFirst = editor()->text();
            QTest::keyClick(editor(), Qt::Key_Return);
            ASSERT_TRUE(WaitFor([&] { return !editor(); }));
            QTest::keyClick(grid, Qt::Key_Return);
        }};
        EXPECT_EQ(card->ShowModalCard(), mrOk);
    }
    EXPECT_EQ(QStringList({openAfterEnter, firstText, typedFirst}), QStringList({"open", "2", "3"}));
    const auto shipped = [&](int row) {
        return repo.Scalar("select PRODSHIP_CNT from PRODSHIP where DEALSHIP_ID = :S and DEALPROD_ID = :P",
                           {{"S", card->RecId()}, {"P", dynamic_cast<TWinTblProd *>(products)->Value(row, "DEALPROD_ID")}});
    };
    EXPECT_EQ(QList<Variant>({shipped(0), shipped(1)}), QList<Variant>({Variant(2), Variant(3)}));
}

// Without the mouse: the keyboard enters a row at its first cell, and F2 or a typed digit there
// edits the row's quantity.
TEST_F(DealTest, ShipmentQuantitiesAreTypedFromTheKeyboardAlone)
{
    std::unique_ptr<TWinCardShip> card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    TWinTblProd *products = dynamic_cast<TWinTblProd *>(Table(*card->WinDetBook, 0));
    QStringList typed;
    {
        ModalScript script{[&](QWidget *form) {
            QAbstractItemView *grid = DetailGrid(form, "Товары сделок");
            const auto editor = [&] { return grid->viewport()->findChild<QLineEdit *>(); };
            grid->setFocus(Qt::TabFocusReason);
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_F2);
            ASSERT_NE(editor(), nullptr) << "F2 starts no edit";
            editor()->selectAll();
            QTest::keyClick(editor(), Qt::Key_2);
            QTest::keyClick(editor(), Qt::Key_Return);
            ASSERT_TRUE(WaitFor([&] { return !editor(); }));
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_Home);
            QTest::keyClick(grid, Qt::Key_1);
            ASSERT_NE(editor(), nullptr) << "a typed digit starts no edit";
            QTest::keyClick(editor(), Qt::Key_Return);
            ASSERT_TRUE(WaitFor([&] { return !editor(); }));
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                typed << Cell(grid, r, "Отгружено").data().toString();
            QTest::keyClick(grid, Qt::Key_Return);
        }};
        EXPECT_EQ(card->ShowModalCard(), mrOk);
    }
    ASSERT_EQ(typed.size(), 3);
    EXPECT_EQ(QStringList({typed[0], typed[2]}), QStringList({"2", "1"}));
    EXPECT_EQ(Count("select count(*) from PRODSHIP where DEALSHIP_ID = :S and PRODSHIP_CNT in (1, 2) and DEALPROD_ID in "
                    "(:A, :B)",
                    {{"S", card->RecId()}, {"A", products->Value(0, "DEALPROD_ID")}, {"B", products->Value(2, "DEALPROD_ID")}}),
              2);
}

// A quantity that is no number is refused with the cell's value kept, and the user is back in the
// grid: the next key goes to the products, not to the card's OK.
TEST_F(DealTest, RefusedQuantityLeavesTheUserInTheGrid)
{
    // Where the focus goes once the error box is gone is the window system's to say.
    if (RanOnXDisplay({true}))
        return;
    std::unique_ptr<TWinCardShip> card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    QString refused, kept;
    QWidget *focused = nullptr, *grid = nullptr;
    {
        ModalScript script{[&](QWidget *form) {
                               QAbstractItemView *products = DetailGrid(form, "Товары сделок");
                               grid = products;
                               const QModelIndex cell = Cell(products, 0, "Отгружено");
                               QTest::mouseClick(products->viewport(), Qt::LeftButton, {},
                                                 products->visualRect(cell).center());
                               QTest::keyClick(products, Qt::Key_X);
                               QTest::keyClick(products->viewport()->findChild<QLineEdit *>(), Qt::Key_Return);
                           },
                           [&](QWidget *box) {
                               // Answered from the keyboard once it has taken the focus, as the user does.
                               EXPECT_TRUE(QTest::qWaitForWindowActive(box));
                               for (QLabel *label : box->findChildren<QLabel *>())
                                   refused += label->text();
                               QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                           },
                           [&](QWidget *form) {
                               EXPECT_TRUE(QTest::qWaitForWindowActive(form));
                               WaitFor([&] { return QApplication::focusWidget() != nullptr; });
                               focused = QApplication::focusWidget();
                               kept = Cell(DetailGrid(form, "Товары сделок"), 0, "Отгружено").data().toString();
                               ClickButton(form, "Отмена");
                           }};
        card->ShowModalCard();
    }
    EXPECT_TRUE(refused.contains("\"x\" не является числом.")) << refused.toStdString();
    EXPECT_EQ(focused, grid);
    EXPECT_EQ(kept, "3");
}

// A product shipped beyond its quantity has nothing left to ship: the card proposes 0 for it, also
// after "Установить остатки", and writes no row for it. A negative quantity given in its cell is
// refused before anything is written.
TEST_F(DealTest, ShipmentNeverProposesOrWritesANegativeQuantity)
{
    // Deal 22's product 64: 3 to ship, 4 shipped; 65 shipped in full; 66 has 3 left.
    repo.Exec("update DEALPROD set DEALPROD_SHIP = 3 where DEALPROD_ID = 64");
    const int shipments = Count("select count(*) from DEALSHIP");
    std::unique_ptr<TWinCardShip> card = NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22);
    QAbstractItemView *grid = DetailGrid(card->Form, "Товары сделок");
    const auto proposed = [&] {
        QStringList texts;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            texts << Cell(grid, r, "Отгружено").data().toString();
        texts.sort();
        return texts;
    };
    EXPECT_EQ(proposed(), QStringList({"0", "0", "3"}));
    ClickTool(card->Form, "Сбросить все в ноль");
    ClickTool(card->Form, "Установить остатки");
    EXPECT_EQ(proposed(), QStringList({"0", "0", "3"}));

    EXPECT_TRUE(grid->model()->setData(Cell(grid, 0, "Отгружено"), "-1"));
    EXPECT_EQ(ErrorOf([&] { card->OkClick(); }), "Количество для отгрузки не может быть отрицательным.");
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(Count("select count(*) from DEALSHIP"), shipments);

    ClickTool(card->Form, "Установить остатки");
    card->OkClick();
    EXPECT_EQ(repo.Scalar("select list(DEALPROD_ID || ':' || cast(PRODSHIP_CNT as integer)) from PRODSHIP "
                          "where DEALSHIP_ID = :S",
                          {{"S", card->RecId()}}),
              Variant("66:3"));
}

TEST_F(DealTest, CardsOfNewPaymentsAndShipmentsNeedTheirColumns)
{
    // A products view without a needed column: the card is not built.
    const auto column = [&](const QString &from, const QString &to) {
        repo.Exec("update TBLTREE set FLD_ID = (select FLD_ID from FLD where FLD_FIELD = :TO) where FLD_ID = "
                  "(select FLD_ID from FLD where FLD_FIELD = :FROM) and TBL_ID in (select TBL_ID from TBL where DEP_ID = :D)",
                  {{"FROM", from}, {"TO", to}, {"D", O("DEAL")->ChildList->GetByName("DealProd")->Id()}});
    };
    column("DEALPROD_PAY", "DEALPROD_DLV");
    column("DEALPROD_SHPD", "DEALPROD_PRICE");
    EXPECT_EQ(ErrorOf([&] { NewCard<TWinCardPay>("DEALPAYM", "DealPaym", 22); }),
              "Для таблицы объекта \"Товары сделок\" не включен столбец \"К оплате\".");
    EXPECT_EQ(ErrorOf([&] { NewCard<TWinCardShip>("DEALSHIP", "DealShip", 22); }),
              "Для таблицы объекта \"Товары сделок\" не включен столбец \"Отгружено\".");
    // A payment that exists is changed in the plain card.
    QWidget host;
    TWinTblPay payments(&host, &host);
    payments.InitByUser(nullptr, O("DEAL")->ChildList->GetByName("DealPaym"), db.CurrentUserId, true);
    EXPECT_EQ(typeid(*payments.CreateCard(false)), typeid(TWinCard));
}

TEST_F(DealTest, DetailTabsFollowTheUsersBookAndStandEightPixelsInside)
{
    // The admin's own book of deals beats the default: shipments, whose views are gone, and
    // payments. The empty pane is skipped by everything the card asks of the book.
    const Variant shipLink = O("DEAL")->ChildList->GetByName("DealShip")->Id();
    repo.Exec("insert into DETBOOK (DETBOOK_ID, OBJ_ID, DETBOOK_CAPT, DETBOOK_DEFAULT, DETBOOK_DEV) "
              "values (1000, :OBJ, 'Своя', 0, 0)",
              {{"OBJ", O("DEAL")->Id()}});
    repo.Exec("insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) select 1000 + DEP_ID, 1000, DEP_ID from DEP "
              "where DEP_ID in (:SHIP, :PAYM)",
              {{"SHIP", shipLink}, {"PAYM", O("DEAL")->ChildList->GetByName("DealPaym")->Id()}});
    repo.Exec("insert into USRDET (USRDET_ID, USR_ID, DETBOOK_ID) values (1000, :U, 1000)", {{"U", db.CurrentUserId}});
    repo.Exec("delete from TBL where DEP_ID = :DEP", {{"DEP", shipLink}});
    QWidget host;
    auto *panel = new QWidget(&host);
    panel->resize(600, 200);
    host.show();
    TWinDetBook book(panel, panel);
    book.Init(O("DEAL"), db.CurrentUserId);
    auto *pc = panel->findChild<QTabWidget *>();
    const QStringList tabs = {pc->tabText(0), pc->tabText(1)};
    EXPECT_EQ(QSet<QString>(tabs.begin(), tabs.end()), QSet<QString>({"Отгрузки", "Платежи"}));
    EXPECT_EQ(pc->count(), 2);
    EXPECT_EQ(pc->geometry(), QRect(8, 8, 584, 184));
    panel->resize(700, 300);
    EXPECT_EQ(pc->geometry(), QRect(8, 8, 684, 284));
    const int shipments = tabs.indexOf("Отгрузки");
    EXPECT_EQ(Table(book, shipments), nullptr);
    EXPECT_TRUE(pc->widget(shipments)->children().isEmpty());
    book.EnableAddBtn();
    book.SetParentId(22);
    book.Open();
    EXPECT_EQ(Table(book, 1 - shipments)->Count(), Count("select count(*) from DEALPAYM where DEAL_ID = 22"));
    book.Close();
    EXPECT_EQ(Table(book, 1 - shipments)->Count(), 0);
}

TEST_F(DealTest, NewDealIsSavedBeforeItsFirstProductAndStaysWhenCancelled)
{
    Open("DEAL");
    const int deals = Count("select count(*) from DEAL");
    int savedFirst = 0, productRows = 0;
    Variant inGrid;
    QString sum;
    const auto pickFirst = [](QWidget *picker) { PickRow(picker); };
    {
        ModalScript script{
            [](QWidget *card) {
                Type(card, "Номер", "Т-1");
                Pick(card, "Контрагент");
            },
            pickFirst,
            [](QWidget *card) { Pick(card, "Валюта"); },
            pickFirst,
            [](QWidget *card) { QTest::keyClick(DetailGrid(card, "Товары сделок"), Qt::Key_Insert); },
            [&](QWidget *product) {
                // The deal is committed before its product card opens, and its row is in the grid.
                savedFirst = Count("select count(*) from DEAL where DEAL_NUM = 'Т-1'");
                inGrid = table->FocusedRecId();
                Pick(product, "Товар");
            },
            pickFirst,
            [](QWidget *product) {
                Type(product, "Количество", "2");
                ClickButton(product, "ОК");
            },
            [&](QWidget *card) {
                productRows = DetailGrid(card, "Товары сделок")->model()->rowCount();
                sum = Labelled(card, "Сумма")->text();
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
    // The deal's row, inserted when the deal was saved for its product, was read again.
    EXPECT_EQ(FocusedCell("Сумма"), sum);
}

// The deal's products, payments and shipments, and their product rows, added from "Данные": the
// required master link that no master filled is chosen in the card. Under a master it stays as
// the master gave it.
TEST_F(DealTest, DealDetailsAddedOnTheirOwnChooseTheirMaster)
{
    const QList<std::pair<QString, QString>> links = {{"DEALPROD", "DEAL_ID"}, {"DEALPAYM", "DEAL_ID"},
                                                      {"DEALSHIP", "DEAL_ID"}, {"PRODPAYM", "DEALPAYM_ID"},
                                                      {"PRODSHIP", "DEALSHIP_ID"}};
    for (const auto &[table, field] : links) {
        SCOPED_TRACE(table.toStdString());
        TWinCard card(nullptr, nullptr, nullptr);
        card.InitByUser(O(table), db.CurrentUserId);
        card.InitDefaultValues(nullptr, Variant::Null());
        TWinCtrlTree *master = FieldNode(*card.WinAtr, field);
        ASSERT_NE(master, nullptr);
        EXPECT_TRUE(!master->ReadOnly() && master->ShowButton());
        card.InitDefaultValues(F(table, field)->FKObj()->ChildList->GetByFld(F(table, field)), 1);
        EXPECT_TRUE(master->ReadOnly());
    }

    Open("DEALPROD");
    const int rows = Count("select count(*) from DEALPROD where DEAL_ID = 30");
    const QString deal = repo.Scalar("select DEAL_NUM from DEAL where DEAL_ID = 30").toString();
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Сделка"); },
                           [&](QWidget *picker) {
                               QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_End, Qt::ControlModifier);
                               PickRow(picker, deal);
                           },
                           [](QWidget *card) { Pick(card, "Товар"); },
                           [](QWidget *picker) { PickRow(picker); },
                           [](QWidget *card) {
                               Type(card, "Количество", "2");
                               ClickButton(card, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = 30"), rows + 1);
}

// A payment and a shipment added from their own lists are made as under their deal: OK before a
// deal is chosen names the deal; once it is chosen the deal's products show, those owing ticked
// and what is left to ship proposed, and OK writes them with the payment or shipment. The totals
// of the deal and of its products follow, in the database and in the deals list.
TEST_F(DealTest, PaymentsAndShipmentsAddedFromTheirOwnListsGoToTheProductsOfTheChosenDeal)
{
    ASSERT_EQ(DealsNotAddingUp(), 0);
    const QString deal = repo.Scalar("select DEAL_NUM from DEAL where DEAL_ID = 22").toString();
    const Variant paid = repo.Scalar("select DEAL_PAID from DEAL where DEAL_ID = 22");
    const auto chooseDeal = [&](QWidget *picker) {
        PickerRows(picker);
        PickRow(picker, deal);
    };
    BoxSeen noDeal;
    QList<bool> ticks;
    Open("DEALPAYM");
    {
        ModalScript script{[](QWidget *payment) {
                               Type(payment, "Сумма платежа", "20");
                               ClickButton(payment, "ОК");
                           },
                           AnswerBox(noDeal, "OK"),
                           [](QWidget *payment) { Pick(payment, "Сделка"); },
                           chooseDeal,
                           [&](QWidget *payment) {
                               ticks = Ticks(DetailGrid(payment, "Товары сделок"));
                               ClickButton(payment, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(noDeal.Text, "Не выбрана сделка.");
    EXPECT_EQ(ticks, QList<bool>(3, true));
    const Variant payment = repo.Scalar("select max(DEALPAYM_ID) from DEALPAYM where DEAL_ID = 22");
    EXPECT_EQ(table->FocusedRecId(), payment);
    EXPECT_EQ(repo.Scalar("select DEALPAYM_SUM from DEALPAYM where DEALPAYM_ID = :P", {{"P", payment}}), Variant(20));
    EXPECT_EQ(Count("select count(*) from PRODPAYM where DEALPAYM_ID = :P", {{"P", payment}}), 3);

    QStringList proposed;
    Open("DEALSHIP");
    {
        ModalScript script{[](QWidget *shipment) { Pick(shipment, "Сделка"); },
                           chooseDeal,
                           [&](QWidget *shipment) {
                               QAbstractItemView *grid = DetailGrid(shipment, "Товары сделок");
                               for (int r = 0; r < grid->model()->rowCount(); ++r)
                                   proposed << Cell(grid, r, "Отгружено").data().toString();
                               ClickButton(shipment, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    proposed.sort();
    EXPECT_EQ(proposed, QStringList({"0", "3", "3"}));
    const QList<std::pair<QString, Variant>> shipment = {
        {"S", repo.Scalar("select max(DEALSHIP_ID) from DEALSHIP where DEAL_ID = 22")}};
    EXPECT_EQ(Count("select count(*) from PRODSHIP where DEALSHIP_ID = :S", shipment), 2);
    EXPECT_EQ(Count("select DEALSHIP_CNT from DEALSHIP where DEALSHIP_ID = :S", shipment), 6);
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = 22 and DEALPROD_SHPD <> DEALPROD_SHIP"), 0);

    EXPECT_EQ(DealsNotAddingUp(), 0);
    const Variant paidNow = repo.Scalar("select DEAL_PAID from DEAL where DEAL_ID = 22");
    EXPECT_EQ(paidNow, paid + Variant(20));
    OpenDeal22();
    EXPECT_EQ(FocusedCell("Оплачено"), db.VarToStrByFldType(paidNow, TFldType::ftNum182));
}

// The deal chosen again in its picker, the one the card already shows, keeps what the user did to its
// products: the ticks taken off a payment's products and the quantity typed for a shipment are the
// ones OK writes.
TEST_F(DealTest, DealChosenAgainKeepsTheTicksAndQuantitiesGivenToItsProducts)
{
    const QString deal = repo.Scalar("select DEAL_NUM from DEAL where DEAL_ID = 22").toString();
    const auto chooseDeal = [&](QWidget *picker) {
        PickerRows(picker);
        PickRow(picker, deal);
    };
    // Enter in the picker keeps the deal it opened on.
    const auto keepDeal = [](QWidget *picker) {
        QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_Return);
    };
    QList<bool> ticks;
    Open("DEALPAYM");
    {
        ModalScript script{[](QWidget *payment) { Pick(payment, "Сделка"); },
                           chooseDeal,
                           [](QWidget *payment) {
                               QAbstractItemView *grid = DetailGrid(payment, "Товары сделок");
                               ClickCell(grid, 0);
                               QTest::keyClick(grid, Qt::Key_Space);
                               Pick(payment, "Сделка");
                           },
                           keepDeal,
                           [&](QWidget *payment) {
                               ticks = Ticks(DetailGrid(payment, "Товары сделок"));
                               Type(payment, "Сумма платежа", "20");
                               ClickButton(payment, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(ticks, QList<bool>({false, true, true}));
    EXPECT_EQ(Count("select count(*) from PRODPAYM R join DEALPAYM P on P.DEALPAYM_ID = R.DEALPAYM_ID "
                    "where P.DEALPAYM_ID = (select max(DEALPAYM_ID) from DEALPAYM where DEAL_ID = 22)"),
              2);

    QString typed;
    Open("DEALSHIP");
    {
        ModalScript script{[](QWidget *shipment) { Pick(shipment, "Сделка"); },
                           chooseDeal,
                           [](QWidget *shipment) {
                               QAbstractItemView *grid = DetailGrid(shipment, "Товары сделок");
                               ClickTool(shipment, "Сбросить все в ноль");
                               const QModelIndex cell = Cell(grid, 0, "Отгружено");
                               QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
                               QTest::keyClick(grid, Qt::Key_1);
                               QTest::keyClick(grid->viewport()->findChild<QLineEdit *>(), Qt::Key_Return);
                               Pick(shipment, "Сделка");
                           },
                           keepDeal,
                           [&](QWidget *shipment) {
                               QAbstractItemView *grid = DetailGrid(shipment, "Товары сделок");
                               for (int r = 0; r < grid->model()->rowCount(); ++r)
                                   typed += Cell(grid, r, "Отгружено").data().toString();
                               ClickButton(shipment, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(typed, "100");
    EXPECT_EQ(Count("select DEALSHIP_CNT from DEALSHIP where DEALSHIP_ID = (select max(DEALSHIP_ID) from DEALSHIP "
                    "where DEAL_ID = 22)"),
              1);
    EXPECT_EQ(DealsNotAddingUp(), 0);
}

// A product row of a payment or a shipment made on its own takes only a product of that payment's
// or shipment's deal, and a shipped quantity is never negative: the product picker lists the
// deal's products, and a row that breaks either is refused whichever card writes it, added or
// changed, with nothing saved.
TEST_F(DealTest, ProductRowsMadeOnTheirOwnStayWithinTheirDeal)
{
    repo.Exec("insert into DEALSHIP (DEALSHIP_ID, DEAL_ID, DEALSHIP_DATE, DEALSHIP_DOC) values (1000, 22, current_date, 'Н-1000')");
    repo.Exec("insert into DEALPAYM (DEALPAYM_ID, DEAL_ID, DEALPAYM_DATE, DEALPAYM_DOC) values (1000, 22, current_date, 'П-1000')");
    const int shipRows = Count("select count(*) from PRODSHIP"), payRows = Count("select count(*) from PRODPAYM");
    int listed = 0;
    BoxSeen negative;
    Open("PRODSHIP");
    {
        ModalScript script{[](QWidget *row) { Pick(row, "Отгрузка"); },
                           [](QWidget *picker) {
                               PickerRows(picker);
                               PickRow(picker, "Н-1000");
                           },
                           [](QWidget *row) { Pick(row, "Товар сделки"); },
                           [&](QWidget *picker) {
                               listed = PickerRows(picker);
                               PickRow(picker);
                           },
                           [](QWidget *row) {
                               Type(row, "Количество", "-5");
                               ClickButton(row, "ОК");
                           },
                           AnswerBox(negative, "OK"),
                           [&](QWidget *row) {
                               EXPECT_EQ(Count("select count(*) from PRODSHIP"), shipRows);
                               Type(row, "Количество", "2");
                               ClickButton(row, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(listed, Count("select count(*) from DEALPROD where DEAL_ID = 22"));
    EXPECT_EQ(negative.Text, "Отгруженное количество товара не может быть отрицательным.");
    EXPECT_EQ(Count("select count(*) from PRODSHIP R join DEALPROD P on P.DEALPROD_ID = R.DEALPROD_ID "
                    "where R.DEALSHIP_ID = 1000 and P.DEAL_ID = 22 and R.PRODSHIP_CNT = 2"),
              1);

    // A product of deal 30 given by its value, to a new row and to a row that exists.
    const Variant other = repo.Scalar("select min(DEALPROD_ID) from DEALPROD where DEAL_ID = 30");
    const QString refused = "Товар сделки \"" +
                            repo.Scalar("select R.PRODUCT_NAME || ' (' || D.DEAL_NUM || ')' from DEALPROD P "
                                        "join PRODUCT R on R.PRODUCT_ID = P.PRODUCT_ID join DEAL D on D.DEAL_ID = P.DEAL_ID "
                                        "where P.DEALPROD_ID = :P",
                                        {{"P", other}})
                                .toString() +
                            "\" не входит в сделку \"" +
                            repo.Scalar("select D.DEAL_NUM || ', ' || C.CONTRAG_NAME from DEAL D "
                                        "join CONTRAG C on C.CONTRAG_ID = D.CONTRAG_ID where D.DEAL_ID = 22")
                                .toString() +
                            "\", к которой относится ";
    const Variant shipped = repo.Scalar("select min(PRODSHIP_ID) from PRODSHIP where DEALSHIP_ID = 1000");
    const QList<std::tuple<QString, QString, Variant, QString>> cases = {
        {"PRODPAYM", "DEALPAYM_ID", 1000, "платёж."},
        {"PRODSHIP", "DEALSHIP_ID", 1000, "отгрузка."},
        {"PRODSHIP", "", shipped, "отгрузка."}};
    for (const auto &[rowTable, master, key, word] : cases) {
        SCOPED_TRACE(rowTable.toStdString());
        TWinCard card(nullptr, nullptr, nullptr);
        card.InitByUser(O(rowTable), db.CurrentUserId);
        if (master.isEmpty()) {
            card.SetRecId(key);
        } else {
            card.InitDefaultValues(nullptr, Variant::Null());
            FieldNode(*card.WinAtr, master)->SetValue(key);
            TypeText(Labelled(card.Form, rowTable == "PRODPAYM" ? "Сумма" : "Количество"), "1");
        }
        FieldNode(*card.WinAtr, "DEALPROD_ID")->SetValue(other);
        EXPECT_EQ(ErrorOf([&] { card.OkClick(); }), refused + word);
        EXPECT_FALSE(db.WriteTransaction().InTransaction());
    }
    EXPECT_EQ(Count("select count(*) from PRODSHIP"), shipRows + 1);
    EXPECT_EQ(Count("select count(*) from PRODPAYM"), payRows);
    EXPECT_EQ(Count("select count(*) from PRODSHIP where DEALPROD_ID = :P", {{"P", other}}),
              Count("select count(*) from PRODSHIP R join DEALSHIP S on S.DEALSHIP_ID = R.DEALSHIP_ID "
                    "where R.DEALPROD_ID = :P and S.DEAL_ID = 30", {{"P", other}}));
    EXPECT_EQ(DealsNotAddingUp(), 0);
}

} // namespace
