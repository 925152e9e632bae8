#include "Align.h"
#include "Atr.h"
#include "AtrFld.h"
#include "Fld.h"
#include "ObjLink.h"
#include "CardHelpers.h"
#include "IBTransaction.h"
#include "WinBotBtns.h"
#include "WinCard.h"
#include "XDisplay.h"

#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <map>

namespace {

// Types each date into the box, come in as Tab brings the user (the day selected), and leaves it
// with Tab: what the box shows once left.
QStringList TypeDates(TDateEdit *date, const QStringList &typed)
{
    QStringList shown;
    for (const QString &text : typed) {
        date->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(date, text);
        QTest::keyClick(date, Qt::Key_Tab);
        shown << date->text();
    }
    return shown;
}

class WinCardTest : public LoggedInTest
{
protected:
    // The user's card of the object, modal, for a new record.
    TWinCard &NewCard(const QString &table, QWidget *owner = nullptr, QWidget *parent = nullptr)
    {
        card = std::make_unique<TWinCard>(owner, nullptr, parent);
        card->InitByUser(O(table), db.CurrentUserId);
        card->InitDefaultValues(nullptr, Variant::Null());
        return *card;
    }
    void TypeName(const QString &text) { TypeText(FieldControl<QLineEdit>(*card->WinAtr, "UNIT_NAME"), text); }
    int Units(const QString &name) { return Count("select count(*) from UNIT where UNIT_NAME = :N", {{"N", name}}); }

    std::unique_ptr<TWinCard> card;
};

TEST_F(WinCardTest, FormTakesTheCardsSizesAndResizesInStepsOfEight)
{
    // A deal's product: no detail links, so no detail part.
    NewCard("DEALPROD");
    EXPECT_EQ(card->Form->windowTitle(), "Товары сделок");
    EXPECT_EQ(QList<int>({card->Width(), card->Height(), card->HeightDet()}), QList<int>({416, 216 + 41, 200}));
    EXPECT_EQ(card->WinDetBook, nullptr);
    card->Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(card->Form));
    EXPECT_EQ(card->WinBotBtns->GetPanel()->geometry(), QRect(0, 216, 416, 41));
    // Dragging the border: the form takes the nearest step towards the size it was dragged to.
    card->Form->resize(416 + 21, 257 + 17);
    ASSERT_TRUE(WaitFor([&] { return card->Form->size() == QSize(432, 273); }));
    EXPECT_EQ(card->HeightAtr(), 232);

    // The admin's counterparty card with its deals below: a splitter under the attribute area,
    // moving it in steps of 8.
    card = std::make_unique<TWinCard>(nullptr, nullptr, nullptr);
    card->InitByName(O("CONTRAG"), "Requisites");
    EXPECT_EQ(card->Height(), 184 + TSplitterBar::BarHeight + 200 + 41);
    card->Form->show();
    TSplitterBar *bar = nullptr;
    for (QWidget *w : card->Form->findChildren<QWidget *>())
        bar = bar ? bar : dynamic_cast<TSplitterBar *>(w);
    ASSERT_NE(bar, nullptr);
    QList<int> heights;
    for (int dy : {13, 5, -9}) {
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(4, 1));
        QTest::mouseMove(bar, QPoint(4, 1 + dy));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(4, 1 + dy));
        heights << card->HeightAtr();
    }
    EXPECT_EQ(heights, QList<int>({192, 192, 176}));
    EXPECT_EQ(card->HeightDet(), 208);
}

// The window manager's maximize fills the screen with the card, frame and all, and its restore
// gives the card back its size: the steps of eight are for the sizes the user drags. The window
// manager is asked from outside the program, as its title bar's button asks it.
TEST_F(WinCardTest, MaximizedCardStaysInsideTheScreenAndRestoresItsSize)
{
    const QRect screen(0, 0, 1280, 800);
    if (RanOnXDisplay({true}, screen.size(), {"wmctrl"}))
        return;
    NewCard("DEAL");
    card->Form->show();
    ASSERT_TRUE(WaitFor([&] { return FrameOnTheServer(card->Form) != card->Form->geometry(); }));
    const QSize normal = card->Form->size();
    const auto maximize = [&](const QString &AHow) {
        RunX("wmctrl", {"-i", "-r", QString::number(card->Form->winId()), "-b", AHow + ",maximized_vert,maximized_horz"});
    };
    QRect frame;
    const auto filled = [&] {
        frame = FrameOnTheServer(card->Form);
        return card->Form->isMaximized() && screen.contains(frame) && frame.width() == screen.width()
               && frame.height() > screen.height() * 9 / 10;
    };
    maximize("add");
    // Maximized, and still so once the card has taken in its new size.
    EXPECT_TRUE(WaitFor(filled)) << Describe(frame);
    QTest::qWait(500);
    EXPECT_TRUE(filled()) << Describe(frame);

    maximize("remove");
    EXPECT_TRUE(WaitFor([&] { return !card->Form->isMaximized() && card->Form->size() == normal; }))
        << Describe(card->Form->geometry());

    // Resized through the window manager as by a drag of its border: a step of eight.
    RunX("wmctrl", {"-i", "-r", QString::number(card->Form->winId()), "-e",
                    QString("0,-1,-1,%1,%2").arg(normal.width() + 21).arg(normal.height() + 17)});
    EXPECT_TRUE(WaitFor([&] { return card->Form->size() == normal + QSize(16, 16); }))
        << Describe(card->Form->geometry());
}

TEST_F(WinCardTest, FailureAfterTheCommitLeavesTheCardOnTheSavedRecord)
{
    NewCard("UNIT");
    TypeName("ящ");
    int commits = 0;
    card->WinAtr->Atr->OnAfterCommit = [&](TAtr *) {
        if (++commits == 1)
            throw ExceptionPos("Строка таблицы не перечитана.");
    };
    BoxSeen error;
    bool newAfterError = true;
    {
        ModalScript script{[](QWidget *w) { ClickButton(w, "ОК"); }, AnswerBox(error, "OK"), [&](QWidget *w) {
                               newAfterError = card->WinAtr->Atr->New();
                               ClickButton(w, "ОК");
                           }};
        EXPECT_EQ(card->ShowModalCard(), mrOk);
    }
    EXPECT_EQ(error.Text, "Строка таблицы не перечитана.");
    EXPECT_FALSE(newAfterError);
    EXPECT_EQ(QList<int>({commits, Units("ящ")}), QList<int>({2, 1}));
}

TEST_F(WinCardTest, EmbeddedCardLeavesEnterAndEscapeToItsHost)
{
    QDialog host;
    host.resize(600, 400);
    auto *hostEdit = new QLineEdit(&host);
    auto *hostOk = new QPushButton("Сохранить", &host);
    hostOk->setDefault(true);
    int hostOks = 0;
    QObject::connect(hostOk, &QPushButton::clicked, [&] { ++hostOks; });
    auto *preview = new QWidget(&host);
    preview->setGeometry(0, 30, 480, 320);
    NewCard("UNIT", &host, preview);
    ModalScript script{[&](QWidget *) {
        // The preview's own buttons close nothing and write nothing.
        TypeName("ящ");
        ClickButton(card->Form, "ОК");
        ClickButton(card->Form, "Отмена");
        EXPECT_TRUE(host.isVisible());
        // Enter and Escape typed in the host are the host's.
        QTest::keyClick(hostEdit, Qt::Key_Return);
        EXPECT_EQ(hostOks, 1);
        QTest::keyClick(hostEdit, Qt::Key_Escape);
    }};
    EXPECT_EQ(host.exec(), QDialog::Rejected);
    EXPECT_EQ(Units("ящ"), 0);
}

// Under another language the date box takes that language's separators, the same way.
TEST_F(WinCardTest, DatesAreTypedWithTheSeparatorsOfTheLanguage)
{
    const QList<std::pair<QLocale, QStringList>> languages = {
        {QLocale(QLocale::English, QLocale::UnitedStates), {"12/25/25", "1/5/26", "3/14/25"}},
        {QLocale::c(), {"25 Dec 2025", "5 Jan 2026", "14 Mar 2025"}}};
    const QStringList dates = {"2025-12-25", "2026-01-05", "2025-03-14"};
    for (const auto &[language, typed] : languages) {
        QLocale::setDefault(language);
        NewCard("DEAL");
        card->Form->show();
        card->Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(card->Form));
        auto *date = Labelled<TDateCheckEdit>(card->Form, "Дата")->DateEdit();
        QStringList taken;
        for (const QString &text : typed) {
            date->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(date, text);
            QTest::keyClick(date, Qt::Key_Tab);
            taken << date->date().toString(Qt::ISODate);
        }
        EXPECT_EQ(taken, dates) << language.name().toStdString();
        EXPECT_EQ(card->WinAtr->Atr->GetAddByFldName("DEAL_DATE")->Value(),
                  Variant(QDate::fromString(dates.last(), Qt::ISODate)));
    }
}

// A required field left empty keeps the card open on its control, the first tab brought
// forward. Cancelling a changed card asks first: no (Escape answers the question so) keeps it open
// with what was typed, so Enter saves it once the field is filled; "&Да" lets a change go unsaved.
TEST_F(CardUseTest, CounterpartyIsAddedThroughItsCard)
{
    Open("CONTRAG");
    const int rows = table->Count(), stored = Count("select count(*) from CONTRAG");
    BoxSeen check, drop;
    QWidget *focused = nullptr;
    const auto escape = [](QWidget *card) { QTest::keyClick(card, Qt::Key_Escape); };
    {
        ModalScript script{[](QWidget *card) {
                               card->findChild<QTabWidget *>()->setCurrentIndex(1);
                               Type(card, "Телефон", "+7 900 000-00-00");
                               ClickButton(card, "ОК");
                           },
                           AnswerBox(check, "OK"),
                           [&](QWidget *card) {
                               focused = card->focusWidget();
                               EXPECT_EQ(card->findChild<QTabWidget *>()->currentIndex(), 0);
                               EXPECT_EQ(focused, Labelled(card, "Наименование"));
                               escape(card);
                           },
                           escape,
                           [&](QWidget *card) {
                               Type(card, "Наименование", "ООО «Проба»");
                               QTest::mouseClick(Labelled<QCheckBox>(card, "Покупатель"), Qt::LeftButton, {}, QPoint(4, 8));
                               QTest::keyClick(focused, Qt::Key_Return);
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(check.Text,
              "Невозможно добавить запись для объекта \"Контрагенты\", т.к. для поля \"Наименование\" не указано значение.");
    EXPECT_EQ(QList<int>({table->Count(), Count("select count(*) from CONTRAG")}), QList<int>({rows + 1, stored + 1}));
    const Variant key = table->FocusedRecId();
    EXPECT_EQ(repo.Scalar("select CONTRAG_NAME || '|' || CONTRAG_PHONE || '|' || CONTRAG_BUYER from CONTRAG "
                          "where CONTRAG_ID = :K",
                          {{"K", key}}),
              Variant("ООО «Проба»|+7 900 000-00-00|1"));

    {
        ModalScript script{[&](QWidget *card) {
                               Type(card, "ИНН", "7700000001");
                               escape(card);
                           },
                           AnswerBox(drop, "&Да")};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(QStringList({drop.Title, drop.Text}), QStringList({"Подтверждение", "Отменить изменения?"}));
    EXPECT_EQ(Count("select count(*) from CONTRAG where CONTRAG_INN = '7700000001'"), 0);
    EXPECT_TRUE(FocusedRow().contains("ООО «Проба»"));
}

TEST_F(CardUseTest, PriceChangedThroughF2RecomputesOnScreenAndWritesOnlyWhatChanged)
{
    Open("PRODUCT");
    Click(0);
    const Variant key = table->FocusedRecId();
    QString withVat;
    {
        ModalScript script{[&](QWidget *card) {
            Type(card, "Цена", "200");
            withVat = Labelled(card, "Цена с НДС")->text();
            // Someone else renames the product meanwhile.
            repo.Exec("update PRODUCT set PRODUCT_NAME = 'Чужое имя' where PRODUCT_ID = :K", {{"K", key}});
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(withVat, "240");
    EXPECT_EQ(repo.Scalar("select PRODUCT_NAME || '|' || PRODUCT_PRICE || '|' || PRODUCT_PRICEVAT from PRODUCT "
                          "where PRODUCT_ID = :K",
                          {{"K", key}}),
              Variant("Чужое имя|200.00|240.00"));
    EXPECT_TRUE(FocusedRow().contains("200"));
}

TEST_F(CardUseTest, DuplicateRateIsRefusedAndTheCardKeepsWhatWasTyped)
{
    Open("CURRATE");
    const int rows = table->Count();
    const auto pickUsd = [](QWidget *picker) {
        auto *grid = picker->findChild<QAbstractItemView *>();
        const QPoint row = grid->visualRect(FindRow(grid, "USD")).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
        // A double click on the empty space below the rows chooses nothing; on a row it does.
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(row.x(), grid->viewport()->height() - 2));
        EXPECT_TRUE(picker->isVisible());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
    };
    BoxSeen duplicate;
    QString currency;
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Валюта"); },
                           pickUsd,
                           [&](QWidget *card) {
                               currency = Labelled(card, "Валюта")->text();
                               // A date picker of no value stands unchecked.
                               EXPECT_FALSE(Labelled<TDateCheckEdit>(card, "Дата")->Checked());
                               SetDate(Labelled<TDateCheckEdit>(card, "Дата"), QDate(2025, 1, 1));
                               Type(card, "Курс", "99,5");
                               ClickButton(card, "ОК");
                           },
                           AnswerBox(duplicate, "OK"),
                           [&](QWidget *card) {
                               SetDate(Labelled<TDateCheckEdit>(card, "Дата"), QDate(2030, 1, 1));
                               ClickButton(card, "ОК");
                           }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(currency, "USD");
    EXPECT_TRUE(duplicate.Text.contains("UQ_CURRATE_CURR_DATE")) << duplicate.Text.toStdString();
    EXPECT_EQ(Count("select count(*) from CURRATE R join CURR C on C.CURR_ID = R.CURR_ID "
                    "where C.CURR_CODE = 'USD' and R.CURRATE_VALUE = 99.5"),
              1);
    EXPECT_EQ(table->Count(), rows + 1);
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
}

// Typing a price key by key: what can still become a number asks nothing, anything else is told
// once; while the card shows a text its price did not take, OK refuses on that control and writes
// nothing. Leaving the control shows the price as it is stored.
TEST_F(CardUseTest, PriceIsSavedAsShownOrNotAtAll)
{
    Open("PRODUCT");
    Click(0);
    const QString priceOf = "select PRODUCT_PRICE from PRODUCT where PRODUCT_ID = " + table->FocusedRecId().toString();
    const Variant stored = repo.Scalar(priceOf);
    const QStringList onTheWay = {"-12,5", ",5", "-,", "+", "3,", "1e", "1e-"};
    QStringList shown;
    BoxSeen garbage, refused;
    QString shownOnLeaving;
    QLineEdit *price = nullptr;
    {
        ModalScript script{[&](QWidget *card) {
                               price = Labelled(card, "Цена");
                               for (const QString &typed : onTheWay) {
                                   TypeText(price, typed);
                                   shown << price->text();
                               }
                               TypeText(price, "abc");
                           },
                           AnswerBox(garbage, "OK"),
                           [](QWidget *card) { ClickButton(card, "ОК"); },
                           AnswerBox(refused, "OK"),
                           [&](QWidget *card) {
                               EXPECT_EQ(card->focusWidget(), price);
                               EXPECT_EQ(price->text(), "abc");
                               EXPECT_EQ(repo.Scalar(priceOf), stored);
                               EXPECT_FALSE(db.WriteTransaction().InTransaction());
                               // Leaving takes the focus from a window the box gave back.
                               card->activateWindow();
                               EXPECT_TRUE(QTest::qWaitForWindowActive(card));
                               price->setFocus();
                               TypeText(price, "10,999");
                               QTest::keyClick(price, Qt::Key_Tab);
                               shownOnLeaving = price->text();
                               ClickButton(card, "ОК");
                           }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(shown, onTheWay);
    EXPECT_EQ(garbage.Seen, 1);
    EXPECT_EQ(garbage.Text, "\"a\" не является числом.");
    EXPECT_EQ(refused.Text, "Поле \"Цена\": \"abc\" не является числом.");
    EXPECT_EQ(shownOnLeaving, "11");
    EXPECT_EQ(repo.Scalar(priceOf), Variant(11));
}

// A card opens on its first control that takes input, a stored record's as a new one's. What the
// user types there, or pastes elsewhere, takes no more than its column holds, and Enter stores what
// the card shows.
TEST_F(CardUseTest, CardsOpenOnTheirFirstInputAndStoreTextsAsShown)
{
    Open("UNIT");
    Click(0);
    const QString full = QString("Ящик деревянный ").repeated(9);
    QString shownFull, shownShort;
    for (const auto key : {Qt::Key_F2, Qt::Key_Insert}) {
        QWidget *focused = nullptr, *firstInput = nullptr;
        {
            ModalScript script{[&](QWidget *card) {
                EXPECT_TRUE(QTest::qWaitForWindowActive(card));
                focused = QApplication::focusWidget();
                firstInput = Labelled(card, "Обозначение");
                if (key == Qt::Key_F2 || !focused)
                    return ClickButton(card, "Отмена");
                for (const QChar typed : QString("ящ").repeated(15)) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
                    QApplication::sendEvent(focused, &press);
                }
                shownShort = Labelled(card, "Обозначение")->text();
                QApplication::clipboard()->setText(full);
                QLineEdit *fullEdit = Labelled(card, "Наименование");
                fullEdit->setFocus();
                QTest::keyClick(fullEdit, Qt::Key_V, Qt::ControlModifier);
                shownFull = fullEdit->text();
                QTest::keyClick(fullEdit, Qt::Key_Return);
            }};
            Press(key);
        }
        EXPECT_EQ(focused, firstInput) << key;
    }
    EXPECT_EQ(QList<qsizetype>({shownFull.size(), shownShort.size()}), QList<qsizetype>({100, 20}));
    EXPECT_EQ(repo.Scalar("select UNIT_FULL from UNIT where UNIT_NAME = :N", {{"N", shownShort}}), Variant(shownFull));
}

// Dates are typed with their separators, a one-digit day or month included, or without them; the
// box shows once left what the card saves.
TEST_F(CardUseTest, DatesAreTakenAsTypedWithOrWithoutTheirDots)
{
    Open("DEAL");
    Click(0);
    const Variant key = table->FocusedRecId();
    const QStringList typed = {"15.01.2026", "28.02.2025", "1.3.2025", "15012026", "31.1.2025", "5.1.2026"};
    QStringList shownOnLeaving;
    {
        ModalScript script{[&](QWidget *card) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            auto *date = Labelled<TDateCheckEdit>(card, "Дата")->DateEdit();
            shownOnLeaving = TypeDates(date, typed);
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(shownOnLeaving,
              QStringList({"15.01.2026", "28.02.2025", "01.03.2025", "15.01.2026", "31.01.2025", "05.01.2026"}));
    EXPECT_EQ(repo.Scalar("select DEAL_DATE from DEAL where DEAL_ID = :K", {{"K", key}}), Variant(QDate(2026, 1, 5)));
}

// A year typed with one or two digits is the nearest one of those digits once the date is left or
// saved with Enter: 00 to 29 of this century, 30 to 99 of the last one. The box shows what is saved.
TEST_F(CardUseTest, ShortYearIsTakenAsTheNearestYearOfItsDigits)
{
    Open("DEAL");
    Click(0);
    const Variant key = table->FocusedRecId();
    const QStringList typed = {"15.01.26", "1.3.95", "5.1.5", "150130", "31.12.2029", "15.06.00"};
    QStringList shownOnLeaving;
    QString shownOnEnter;
    {
        ModalScript script{[&](QWidget *card) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            auto *date = Labelled<TDateCheckEdit>(card, "Дата")->DateEdit();
            shownOnLeaving = TypeDates(date, typed);
            // Enter saves the card with the year taken as leaving the box takes it.
            date->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(date, "7.8.29");
            QTest::keyClick(date, Qt::Key_Return);
            shownOnEnter = date->text();
        }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(shownOnLeaving,
              QStringList({"15.01.2026", "01.03.1995", "05.01.2005", "15.01.1930", "31.12.2029", "15.06.2000"}));
    EXPECT_EQ(shownOnEnter, "07.08.2029");
    EXPECT_EQ(repo.Scalar("select DEAL_DATE from DEAL where DEAL_ID = :K", {{"K", key}}), Variant(QDate(2029, 8, 7)));
}

// A day the month shown while it is typed has not (29 in a February of a common year, 31 in
// February or April) is still the day typed once the month and year typed after it hold it.
TEST_F(CardUseTest, ADayTypedBeforeItsMonthAndYearIsTheDayTaken)
{
    Open("DEAL");
    Click(0);
    const Variant key = table->FocusedRecId();
    QStringList shown;
    {
        ModalScript script{[&](QWidget *card) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            auto *date = Labelled<TDateCheckEdit>(card, "Дата")->DateEdit();
            date->setDate(QDate(2026, 12, 7));
            shown = TypeDates(date, {"29.02.2024", "15.02.2026", "31.01.2026", "10.02.2025", "30.4.2026",
                                     "31.12.2026", "10.02.2026", "5.2.2026", "31.02.2026"});
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_F2);
    }
    // No 31st of February: the box keeps what it can show, the last day of that month.
    EXPECT_EQ(shown, QStringList({"29.02.2024", "15.02.2026", "31.01.2026", "10.02.2025", "30.04.2026",
                                  "31.12.2026", "10.02.2026", "05.02.2026", "28.02.2026"}));
    EXPECT_EQ(repo.Scalar("select DEAL_DATE from DEAL where DEAL_ID = :K", {{"K", key}}), Variant(QDate(2026, 2, 28)));
}

// Tab and Shift+Tab go from the date to the card's next or previous control at once, whatever part
// the user is in; coming back either way puts the user on the day, and the arrows move on inside.
TEST_F(CardUseTest, TabLeavesTheDateForTheNextControl)
{
    Open("DEAL");
    Click(0);
    const Variant key = table->FocusedRecId();
    QStringList focusedAfter, selectedOnEntering;
    QString shownOnLeaving;
    QDateTimeEdit::Section sectionAfterArrows = QDateTimeEdit::NoSection;
    {
        ModalScript script{[&](QWidget *card) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            auto *picker = Labelled<TDateCheckEdit>(card, "Дата");
            auto *date = picker->DateEdit();
            auto *edit = date->findChild<QLineEdit *>();
            const std::map<QWidget *, QString> names = {
                {date, "Дата"}, {picker->CheckBox(), "check"}, {Labelled(card, "Контрагент"), "Контрагент"}};
            const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
                QTest::keyClick(QApplication::focusWidget(), key, modifiers);
                QWidget *focused = QApplication::focusWidget();
                while (focused && !names.count(focused))
                    focused = focused->parentWidget();
                focusedAfter << (focused ? names.at(focused) : QString("?"));
                if (focused == date)
                    selectedOnEntering << edit->selectedText();
            };
            date->setDate(QDate(2026, 12, 7));
            date->setFocus(Qt::TabFocusReason);
            selectedOnEntering << edit->selectedText();
            // Tab leaves with the day half typed, and Shift+Tab from the day as from the year.
            QTest::keyClicks(date, "2");
            press(Qt::Key_Tab);
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            QTest::keyClicks(date, "20.3.2026");
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            shownOnLeaving = date->text();
            press(Qt::Key_Tab);
            // The arrows move on to the month, and Tab still leaves from there.
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(date, Qt::Key_Right);
            sectionAfterArrows = date->currentSection();
            press(Qt::Key_Tab);
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(focusedAfter, QStringList({"Контрагент", "Дата", "check", "Дата", "Контрагент"}));
    EXPECT_EQ(selectedOnEntering, QStringList({"07", "02", "20"}));
    EXPECT_EQ(shownOnLeaving, "20.03.2026");
    EXPECT_EQ(sectionAfterArrows, QDateTimeEdit::MonthSection);
    EXPECT_EQ(repo.Scalar("select DEAL_DATE from DEAL where DEAL_ID = :K", {{"K", key}}), Variant(QDate(2026, 3, 20)));
}

// A click into a part of a date puts the user there as Tab does: what is typed next replaces that
// part, and the rest of the date follows with its dots.
TEST_F(CardUseTest, DateTypedAfterAClickIntoOneOfItsPartsReplacesThatPart)
{
    Open("DEAL");
    Click(0);
    // The date, then the place clicked into (a character of "dd.MM.yyyy"), then what is typed.
    const QList<std::tuple<QString, int, QString>> cases = {
        {"07.12.2026", 1, "5.3.2026"}, {"07.12.2026", 0, "28.02.2025"}, {"07.12.2026", 4, "4.2025"}};
    QStringList shown;
    BoxSeen drop;
    {
        ModalScript script{[&](QWidget *card) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            auto *date = Labelled<TDateCheckEdit>(card, "Дата")->DateEdit();
            auto *edit = date->findChild<QLineEdit *>();
            for (const auto &[start, place, typed] : cases) {
                date->setDate(QDate::fromString(start, "dd.MM.yyyy"));
                QPoint spot(0, edit->height() / 2);
                while (spot.x() < edit->width() && edit->cursorPositionAt(spot) < place)
                    spot.rx()++;
                EXPECT_EQ(edit->cursorPositionAt(spot), place);
                QTest::mouseClick(edit, Qt::LeftButton, {}, spot);
                QTest::keyClicks(date, typed);
                shown << date->text();
            }
            ClickButton(card, "Отмена");
        },
                           AnswerBox(drop, "&Да")};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(shown, QStringList({"05.03.2026", "28.02.2025", "07.04.2025"}));
}

// A picker opens on the record its control holds, current and selected: Enter keeps it and the
// arrows move on from it. Over an empty control no row is chosen, and Enter leaves it empty.
TEST_F(CardUseTest, PickerOpensOnTheValueItsControlHolds)
{
    repo.Exec("update DEAL set CURR_ID = (select CURR_ID from CURR where CURR_CODE = 'EUR') where DEAL_ID = 22");
    Open("DEAL");
    int deal = 0;
    while (deal < table->Count() && Key(deal) != Variant(22))
        ++deal;
    Click(deal);
    // Whether the picker opened current and selected on EUR's row.
    const auto onEur = [](QWidget *picker) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(picker));
        auto *grid = picker->findChild<QAbstractItemView *>();
        const int current = grid->currentIndex().isValid() ? grid->currentIndex().row() : -1;
        return current == FindRow(grid, "EUR").row() && grid->selectionModel()->isRowSelected(current);
    };
    // The card once its picker closed: what its currency shows, then the card let go unsaved.
    const auto shownThenCancel = [](QString &shown) {
        return [&shown](QWidget *card) {
            shown = Labelled(card, "Валюта")->text();
            ClickButton(card, "Отмена");
        };
    };
    bool first = false, second = false;
    int downTo = -1, expectedDown = -1;
    QString kept, moved, expectedMoved;
    BoxSeen drop;
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Валюта"); },
                           [&](QWidget *picker) {
                               first = onEur(picker);
                               QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_Return);
                           },
                           [&](QWidget *card) {
                               kept = Labelled(card, "Валюта")->text();
                               Pick(card, "Валюта");
                           },
                           [&](QWidget *picker) {
                               second = onEur(picker);
                               auto *grid = picker->findChild<QAbstractItemView *>();
                               expectedDown = std::min(grid->currentIndex().row() + 1, grid->model()->rowCount() - 1);
                               expectedMoved = grid->model()->index(expectedDown, 0).data().toString();
                               QTest::keyClick(grid, Qt::Key_Down);
                               downTo = grid->currentIndex().row();
                               QTest::keyClick(grid, Qt::Key_Return);
                           },
                           shownThenCancel(moved), AnswerBox(drop, "&Да")};
        Press(Qt::Key_F2);
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(kept, "EUR");
    EXPECT_EQ(downTo, expectedDown);
    EXPECT_EQ(moved, expectedMoved);

    Open("CURRATE");
    bool current = true, selected = true;
    QString left = "not seen";
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Валюта"); },
                           [&](QWidget *picker) {
                               EXPECT_TRUE(QTest::qWaitForWindowActive(picker));
                               auto *grid = picker->findChild<QAbstractItemView *>();
                               current = grid->currentIndex().isValid();
                               selected = grid->selectionModel()->hasSelection();
                               QTest::keyClick(grid, Qt::Key_Return);
                           },
                           shownThenCancel(left), AnswerBox(drop, "&Да")};
        Press(Qt::Key_Insert);
    }
    EXPECT_FALSE(current);
    EXPECT_FALSE(selected);
    EXPECT_EQ(left, "");
}

// A picker opened on a value far down its list shows that row whole, not behind the grid's
// bottom edge or its scroll bar.
TEST_F(CardUseTest, PickerShowsTheRowOfItsValueWhole)
{
    Open("DEALPROD");
    Click(0);
    const auto currentRowSeen = [](QWidget *picker) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(picker));
        auto *grid = picker->findChild<QAbstractItemView *>();
        return grid->currentIndex().isValid() && grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex()));
    };
    bool seen = false;
    int rows = 0;
    BoxSeen drop;
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Товар"); },
                           [&](QWidget *picker) {
                               auto *grid = picker->findChild<QAbstractItemView *>();
                               QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
                               rows = grid->model()->rowCount();
                               QTest::keyClick(grid, Qt::Key_Return);
                           },
                           [](QWidget *card) { Pick(card, "Товар"); },
                           [&](QWidget *picker) {
                               seen = currentRowSeen(picker);
                               QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_Escape);
                           },
                           [](QWidget *card) { ClickButton(card, "Отмена"); }, AnswerBox(drop, "&Да")};
        Press(Qt::Key_F2);
    }
    EXPECT_GT(rows, 12) << "too few products to need scrolling";
    EXPECT_TRUE(seen);
}

// A character beyond the basic plane counts once, as in the column: a stored name of 100 of them
// is shown and saved whole, and typing or pasting stops at the column's size.
TEST_F(CardUseTest, TextsCountCharactersBeyondTheBasicPlaneAsTheirColumnsDo)
{
    const QString smile = QString::fromUtf8("😀");
    const Variant key = repo.Scalar("select min(CONTRAG_ID) from CONTRAG");
    repo.Exec("update CONTRAG set CONTRAG_NAME = :N where CONTRAG_ID = :K", {{"N", smile.repeated(100)}, {"K", key}});
    Open("CONTRAG");
    int row = 0;
    while (row < table->Count() && Key(row) != key)
        ++row;
    Click(row);
    QString shown, afterOneMore, typed, pasted;
    {
        ModalScript script{[&](QWidget *card) {
            // One key gives one character, as a keyboard gives it.
            const auto typeSmile = [&](QLineEdit *edit) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, smile);
                QApplication::sendEvent(edit, &press);
            };
            QLineEdit *name = Labelled(card, "Наименование");
            shown = name->text();
            name->setFocus();
            name->end(false);
            typeSmile(name);
            afterOneMore = name->text();
            QLineEdit *phone = Labelled(card, "Телефон");
            TypeText(phone, "+");
            for (int i = 0; i < 25; ++i)
                typeSmile(phone);
            typed = phone->text();
            phone->clear();
            QApplication::clipboard()->setText("7" + smile.repeated(30));
            phone->setFocus();
            QTest::keyClick(phone, Qt::Key_V, Qt::ControlModifier);
            pasted = phone->text();
            TypeText(phone, "+7 900 000-00-01");
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_F2);
    }
    EXPECT_EQ(shown, smile.repeated(100));
    EXPECT_EQ(afterOneMore, smile.repeated(100));
    EXPECT_EQ(typed, "+" + smile.repeated(19));
    EXPECT_EQ(pasted, "7" + smile.repeated(19));
    EXPECT_EQ(repo.Scalar("select CONTRAG_NAME || '|' || CONTRAG_PHONE from CONTRAG where CONTRAG_ID = :K", {{"K", key}}),
              Variant(smile.repeated(100) + "|+7 900 000-00-01"));
}

// A group's total of its products' optional bonus, kept by the summing field's triggers, follows
// what the product card writes: a value typed, another typed over it, the edit emptied (Null),
// and a value again.
TEST_F(CardUseTest, AGroupsTotalFollowsAnOptionalValueTheCardFillsAndEmpties)
{
    const auto newField = [this](const QList<std::pair<QString, Variant>> &values) {
        TAtrFld atr;
        atr.SetObj(O("FLD"));
        atr.SetDefaultValues(nullptr, Variant::Null());
        for (const auto &[field, value] : values)
            atr.GetAddByFldName(field)->SetValue(value);
        db.StartTransaction();
        atr.Post();
        atr.Commit();
    };
    const Variant number = db.FldTypeToCode(TFldType::ftNum182);
    newField({{"OBJ_ID", O("PRODUCT")->Id()}, {"FLDTYPE_ID", number}, {"FLD_FIELD", "BONUS"}, {"FLD_CAPT", "Бонус"},
              {"FLD_NOTNULL", false}, {"FLD_DEF0", false}});
    newField({{"OBJ_ID", O("PRODGRP")->Id()}, {"FLDTYPE_ID", number}, {"FLD_FIELD", "BONUSES"},
              {"DEP_ID_AGR", O("PRODGRP")->ChildList->GetByName("ProdGrp-Product")->Id()},
              {"FLD_ID_AGR", F("PRODUCT", "BONUS")->Id()}});
    // The product card shows the bonus below its other controls.
    const Variant card = repo.Scalar("select C.CARD_ID from CARD C join OBJ O on O.OBJ_ID = C.OBJ_ID "
                                     "where O.OBJ_TABLE = 'PRODUCT' and C.CARD_DEFAULT = 1");
    const Variant root = repo.Scalar("select CTRLTREE_RGT from CTRLTREE where CARD_ID = :C and CTRLTREE_LFT = 1",
                                     {{"C", card}});
    repo.Exec("update CTRLTREE set CTRLTREE_RGT = CTRLTREE_RGT + 2 where CARD_ID = :C and CTRLTREE_LFT = 1", {{"C", card}});
    repo.Exec("insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, FLD_ID, CTRLTREE_LFT, CTRLTREE_RGT, "
              "CTRLTREE_CLEFT, CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_LLEFT, CTRLTREE_LTOP, CTRLTREE_LWIDTH, "
              "CTRLTREE_LHEIGHT, CTRLTREE_ROADD, CTRLTREE_ROEDT) values (next value for CTRLTREE_ID, :C, (select "
              "CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = 'EditNum182'), :F, :L, :L + 1, 160, 228, 120, 8, 230, 144, "
              "16, 0, 0)",
              {{"C", card}, {"F", F("PRODUCT", "BONUS")->Id()}, {"L", root}});

    Open("PRODUCT");
    int row = 0;
    while (repo.Scalar("select PRODGRP_ID from PRODUCT where PRODUCT_ID = :K", {{"K", Key(row)}}).isNull())
        ++row;
    const Variant product = Key(row);
    const Variant group = repo.Scalar("select PRODGRP_ID from PRODUCT where PRODUCT_ID = :K", {{"K", product}});
    Click(row);
    for (const auto &[typed, stored] : {std::pair<QString, Variant>{"400", 400}, {"250", 250}, {"", Variant::Null()},
                                        {"75", 75}}) {
        {
            ModalScript script{[&](QWidget *form) {
                Type(form, "Бонус", typed);
                ClickButton(form, "ОК");
            }};
            Press(Qt::Key_F2);
        }
        EXPECT_EQ(repo.Scalar("select BONUS from PRODUCT where PRODUCT_ID = :K", {{"K", product}}), stored);
        EXPECT_EQ(repo.Scalar("select BONUSES - coalesce((select sum(BONUS) from PRODUCT where PRODGRP_ID = G.PRODGRP_ID), 0) "
                              "from PRODGRP G where G.PRODGRP_ID = :G", {{"G", group}}),
                  Variant(0)) << typed.toStdString();
        EXPECT_EQ(repo.Scalar("select BONUSES from PRODGRP where PRODGRP_ID = :G", {{"G", group}}),
                  stored.isNull() ? Variant(0) : stored) << typed.toStdString();
    }
}

} // namespace
