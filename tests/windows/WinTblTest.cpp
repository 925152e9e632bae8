#include "Atr.h"
#include "Fld.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Main.h"
#include "ModalScript.h"
#include "ObjLink.h"
#include "RepoBuilder.h"
#include "Tbl.h"
#include "TestDatabase.h"
#include "WinTbl.h"
#include "CardHelpers.h"
#include "WinCard.h"
#include "WinDetTbl.h"
#include "WinTblPay.h"
#include "WinTblProd.h"
#include "WinTblShip.h"

#include <QApplication>
#include <QHeaderView>
#include <QSet>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A table window that tells which cards it made.
class TestWinTbl : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;
    using TWinTbl::vt;

    QList<bool> CardsAsked;
    TWinCard *LastCard = nullptr;
    int AfterDeletes = 0;

    std::unique_ptr<TWinCard> CreateCard(bool ANew) override
    {
        CardsAsked << ANew;
        std::unique_ptr<TWinCard> card = TWinTbl::CreateCard(ANew);
        LastCard = card.get();
        return card;
    }
    void AfterDelete() override { ++AfterDeletes; }
};

class WinTblTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        copy.WriteDefaultIni();
        DB = &db;
        db.Connect();
        db.Init();
        db.Login("admin", "");
        host.resize(600, 400);
    }
    void TearDown() override
    {
        win.reset();
        db.RollbackChanges();
        DB = nullptr;
        DevMode = false;
        QLocale::setDefault(QLocale::c());
    }

    TObj *O(const QString &table) const { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }
    TObjLink *RatesLink() const { return O("CURR")->ChildList->GetByName("Curr-CurRate"); }
    Variant Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return repo.Scalar(text, params);
    }
    Variant Curr(const QString &code) { return Scalar("select CURR_ID from CURR where CURR_CODE = :C", {{"C", code}}); }

    // The user's view of the object, or of the rates of one currency as a card's detail table
    // shows them, opened on the shown host.
    TestWinTbl &Open(const QString &table) { return Make(O(table), nullptr, Variant::Null()); }
    TestWinTbl &OpenRates(const Variant &currId) { return Make(nullptr, RatesLink(), currId); }
    TestWinTbl &Make(TObj *obj, TObjLink *link, const Variant &parentId)
    {
        win = std::make_unique<TestWinTbl>(&host, &host);
        win->InitByUser(obj, link, db.CurrentUserId, true);
        win->SetAlign(TAlign::alClient);
        if (!parentId.isNull())
            win->SetParentId(parentId);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
        win->Open();
        return *win;
    }
    template <typename Call>
    static QString ErrorOf(Call call)
    {
        try {
            call();
        } catch (const Exception &e) {
            return e.Message();
        }
        return "no error";
    }

    QAbstractItemModel *M() const { return win->vt->model(); }
    QString Text(int row, int column) const { return M()->index(row, column).data().toString(); }
    Variant Key(int row) const
    {
        Variant key;
        win->GetDataByIndexFld(row, win->TblObj()->PKFld, key);
        return key;
    }
    int Current() const { return win->vt->currentIndex().row(); }
    bool Enabled(TBtnType type) const { return win->WinToolBar->GetByBtnType(type)->Enabled(); }
    void Click(int row)
    {
        win->vt->scrollTo(M()->index(row, 0));
        const QRect rect = win->vt->visualRect(M()->index(row, 0));
        QTest::mouseClick(win->vt->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(win->vt, Qt::Key(key), modifiers); }

    // What a card's OK does with its record editor: post and commit in the write transaction.
    void Save(TAtr &atr)
    {
        db.StartTransaction();
        try {
            atr.Post();
            atr.Commit();
        } catch (...) {
            db.RollbackChanges();
            throw;
        }
    }
    // Units enough that opening reads only a part of them.
    void AddUnits(int count)
    {
        db.StartTransaction();
        auto block = db.CreateIBSQLC();
        block->SetSQL(QString("execute block as declare i integer = 0; begin while (i < %1) do begin "
                              "insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'u' || :i, 'Ед ' || :i); "
                              "i = i + 1; end end").arg(count));
        block->ExecImmediate();
        db.CommitTransaction();
    }
    // A new rate of the window's currency through a record editor, as the add card saves it.
    Variant AddRate(const QDate &date, double value)
    {
        TAtr atr;
        atr.SetObj(O("CURRATE"));
        atr.SetDefaultValues(win->Tbl->ObjLink(), win->ParentId());
        atr.GetAddByFldName("CURRATE_DATE")->SetValue(date);
        atr.GetAddByFldName("CURRATE_VALUE")->SetValue(value);
        atr.OnAfterCommit = [this](TAtr *sender) { win->AtrAfterCommit(sender); };
        Save(atr);
        return atr.RecId();
    }

    TestDatabase copy;
    TDB db;
    RepoBuilder repo{db};
    QWidget host;
    std::unique_ptr<TestWinTbl> win;
};

TEST_F(WinTblTest, ColumnsButtonsAndCellTextsFollowTheViewAndTheLocale)
{
    win = std::make_unique<TestWinTbl>(&host, &host);
    win->InitByUser(O("CURRATE"), nullptr, db.CurrentUserId, true);
    // Prepared, not open: every button is off; "Закрыть" is only there in developer mode.
    QStringList captions;
    for (TWinToolBtn *btn : *win->WinToolBar) {
        captions << btn->Caption();
        EXPECT_FALSE(btn->Enabled()) << btn->Caption().toStdString();
    }
    EXPECT_EQ(captions, QStringList({"Добавить", "Изменить", "Удалить", "Обновить", "Закрыть"}));
    EXPECT_FALSE(win->WinToolBar->GetByBtnType(TBtnType::btClose)->Visible());
    QHeaderView *header = win->vt->horizontalHeader();
    ASSERT_EQ(M()->columnCount(), 3);
    EXPECT_EQ(M()->headerData(0, Qt::Horizontal).toString(), "Валюта>Код валюты");
    EXPECT_EQ(M()->headerData(1, Qt::Horizontal).toString(), "Дата");
    EXPECT_EQ(QList<int>({header->sectionSize(0), header->sectionSize(1), header->sectionSize(2)}),
              QList<int>({150, 70, 100}));

    win->Open();
    win->GotoEnd();
    EXPECT_EQ(win->Count(), Scalar("select count(*) from CURRATE").toInt());
    // The first rate of the dollar: columns read their row elements through their tags.
    const Variant usd = Curr("USD");
    int row = 0;
    while (row < win->Count() && !(Text(row, 0) == "USD" && Text(row, 1) == "01.01.2025"))
        ++row;
    ASSERT_LT(row, win->Count());
    EXPECT_EQ(Text(row, 2), "98,45");
    Variant code;
    win->GetDataByIndexFld(row, F("CURR", "CURR_CODE"), code);
    EXPECT_EQ(code, Variant("USD"));
    win->SetDataByIndexFld(row, F("CURRATE", "CURRATE_VALUE"), Variant::FromCurrency(qint64(-12345000)));
    win->SetDataByIndexFld(row, F("CURRATE", "CURRATE_DATE"), Variant::Null());
    EXPECT_EQ(Text(row, 2), "-1234,5");
    EXPECT_EQ(Text(row, 1), "");
    // A field the select does not hold.
    EXPECT_EQ(ErrorOf([&] { win->GetDataByIndexFld(0, F("CURR", "CURR_NAME"), code); }),
              "GetDataByIndexFld: В таблице объекта \"Курсы валют\" не найдено поле \"Наименование\".");
    EXPECT_EQ(ErrorOf([&] { win->SetDataByIndexFld(0, F("CURR", "CURR_NAME"), 1); }),
              "SetDataByIndexFld: В таблице объекта \"Курсы валют\" не найдено поле \"Наименование\".");

    // Booleans: "да" for 1, empty for 0 and Null.
    Open("CONTRAG");
    win->GotoEnd();
    const int buyer = 5;
    ASSERT_EQ(M()->headerData(buyer, Qt::Horizontal).toString(), "Покупатель");
    QSet<QString> texts;
    for (int r = 0; r < win->Count(); ++r)
        texts << Text(r, buyer);
    EXPECT_EQ(texts, QSet<QString>({"да", ""}));
    win->SetDataByIndexFld(0, F("CONTRAG", "CONTRAG_BUYER"), Variant::Null());
    EXPECT_EQ(Text(0, buyer), "");
    win->SetDataByIndexFld(0, F("CONTRAG", "CONTRAG_BUYER"), 1);
    EXPECT_EQ(Text(0, buyer), "да");
    EXPECT_EQ(M()->columnCount(), 8);
    EXPECT_EQ(win->vt->horizontalHeader()->sectionSize(buyer), 50);

    DevMode = true;
    win = std::make_unique<TestWinTbl>(&host, &host);
    EXPECT_TRUE(win->WinToolBar->GetByBtnType(TBtnType::btClose)->Visible());
}

TEST_F(WinTblTest, DetailTableOpensOnItsMasterKeyOnly)
{
    // No master key yet: a Null filter value, no rows.
    OpenRates(Variant::Null());
    EXPECT_TRUE(win->ParentId().isNull());
    EXPECT_EQ(win->Count(), 0);
    // An empty result: add, re-read and close on, change and delete off.
    EXPECT_TRUE(Enabled(TBtnType::btAdd));
    EXPECT_TRUE(Enabled(TBtnType::btReopen));
    EXPECT_TRUE(Enabled(TBtnType::btClose));
    EXPECT_FALSE(Enabled(TBtnType::btEdit));
    EXPECT_FALSE(Enabled(TBtnType::btDel));
    EXPECT_TRUE(win->FocusedRecId().isNull());

    win->SetParentId(Curr("EUR"));
    Press(Qt::Key_F5);
    win->GotoEnd();
    EXPECT_EQ(win->Count(), 25);
    // A selected row turns change and delete on; closing reports the selection lost.
    QList<Variant> focus;
    win->OnChangeFocus = [&](TWinTbl *w) { focus << w->FocusedRecId(); };
    Click(2);
    EXPECT_EQ(focus, QList<Variant>({Key(2)}));
    EXPECT_TRUE(Enabled(TBtnType::btEdit) && Enabled(TBtnType::btDel));
    // Opening an open select starts over instead of adding to the rows.
    win->Open();
    win->GotoEnd();
    EXPECT_EQ(win->Count(), 25);
    win->Close();
    EXPECT_EQ(win->Count(), 0);
    ASSERT_EQ(focus.size(), 2);
    EXPECT_TRUE(focus[1].isNull());
    for (TWinToolBtn *btn : *win->WinToolBar)
        EXPECT_FALSE(btn->Enabled()) << btn->Caption().toStdString();
    // Ctrl+End on a closed table does nothing.
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(win->Count(), 0);
}

TEST_F(WinTblTest, AlwaysOnFiltersApplyAtEveryOpening)
{
    // The user admin chose the price list: active products that belong to a group.
    Open("PRODUCT");
    const int expected = Scalar("select count(*) from PRODUCT where PRODUCT_ACTIVE = 1 and PRODGRP_ID is not null").toInt();
    ASSERT_LT(expected, Scalar("select count(*) from PRODUCT").toInt());
    for (int i = 0; i < 2; ++i) {
        Click(0);
        Press(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(win->Count(), expected);
        EXPECT_EQ(Current(), expected - 1);
        win->Reopen();
    }
}

TEST_F(WinTblTest, CommittedRecordsAreInsertedAboveTheFocusOrReReadInPlace)
{
    OpenRates(Curr("USD"));
    win->GotoEnd();
    const int count = win->Count();
    // No focused row: the new record becomes row 0, focused and selected, with the master key.
    const Variant first = AddRate(QDate(2030, 1, 1), 90.5);
    EXPECT_EQ(win->Count(), count + 1);
    EXPECT_EQ(Key(0), first);
    EXPECT_EQ(Text(0, 0), "01.01.2030");
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(win->FocusedRecId(), first);
    EXPECT_EQ(Scalar("select CURR_ID from CURRATE where CURRATE_ID = :ID", {{"ID", first}}), Curr("USD"));

    // Row 3 focused: the new one takes its place, the old row 3 and the rest move down.
    Click(3);
    const Variant old3 = Key(3), old4 = Key(4);
    const Variant second = AddRate(QDate(2030, 2, 1), 91);
    EXPECT_EQ(Key(3), second);
    EXPECT_EQ(Key(4), old3);
    EXPECT_EQ(Key(5), old4);
    EXPECT_EQ(Current(), 3);
    EXPECT_TRUE(win->vt->selectionModel()->isRowSelected(3));

    // A changed record: only its row changes, position and focus stay.
    Click(4);
    const QString neighbour = Text(5, 1);
    TAtr atr;
    atr.SetObj(O("CURRATE"));
    atr.SetRecId(win->FocusedRecId());
    atr.GetAddByFldName("CURRATE_VALUE")->SetValue(77.25);
    atr.OnAfterCommit = [this](TAtr *sender) { win->AtrAfterCommit(sender); };
    Save(atr);
    EXPECT_EQ(Text(4, 1), "77,25");
    EXPECT_EQ(Key(4), old3);
    EXPECT_EQ(Text(5, 1), neighbour);
    EXPECT_EQ(Current(), 4);
    EXPECT_EQ(win->Count(), count + 2);

    // Deleted meanwhile by someone else: the re-read takes the row out and the focus moves on.
    repo.Exec("delete from CURRATE where CURRATE_ID = :ID", {{"ID", old3}});
    atr.GetAddByFldName("CURRATE_VALUE")->SetValue(78);
    Save(atr);
    EXPECT_EQ(win->Count(), count + 1);
    EXPECT_EQ(Key(4), old4);
    EXPECT_EQ(win->FocusedRecId(), old4);

    // A changed record that is not the focused one: its own row is re-read, wherever it is.
    Click(1);
    const Variant focusedKey = Key(1);
    const QString focusedValue = Text(1, 1);
    atr.SetRecId(old4);
    atr.GetAddByFldName("CURRATE_VALUE")->SetValue(79);
    Save(atr);
    EXPECT_EQ(QList<Variant>({Key(1), Key(4)}), QList<Variant>({focusedKey, old4}));
    EXPECT_EQ(QStringList({Text(1, 1), Text(4, 1)}), QStringList({focusedValue, "79"}));

    // A new record whose first commit could not place its row, saved again as a change (as a
    // card does): it is inserted above the focus, and the focused row keeps its own values.
    TAtr added;
    added.SetObj(O("CURRATE"));
    added.SetDefaultValues(win->Tbl->ObjLink(), win->ParentId());
    added.GetAddByFldName("CURRATE_DATE")->SetValue(QDate(2030, 3, 1));
    added.GetAddByFldName("CURRATE_VALUE")->SetValue(92);
    added.OnAfterCommit = [](TAtr *) { throw ExceptionPos("Строка не перечитана."); };
    EXPECT_EQ(ErrorOf([&] { Save(added); }), "Строка не перечитана.");
    added.SetRecId(added.RecId());
    added.GetAddByFldName("CURRATE_VALUE")->SetValue(93);
    added.OnAfterCommit = [this](TAtr *sender) { win->AtrAfterCommit(sender); };
    Save(added);
    EXPECT_EQ(QList<Variant>({Key(1), Key(2)}), QList<Variant>({added.RecId(), focusedKey}));
    EXPECT_EQ(QStringList({Text(1, 1), Text(2, 1)}), QStringList({"93", focusedValue}));
    EXPECT_EQ(win->Count(), count + 2);
}

TEST_F(WinTblTest, DeleteAsksRemovesTheRowAndMovesTheFocus)
{
    OpenRates(Curr("CNY"));
    win->GotoEnd();
    int changes = 0;
    win->OnChangeData = [&](TWinTbl *) { ++changes; };
    auto rates = [&] { return Scalar("select count(*) from CURRATE where CURR_ID = :C", {{"C", Curr("CNY")}}).toInt(); };
    const int count = win->Count();

    // "Нет" changes nothing.
    Click(count - 1);
    BoxSeen no, last, middle;
    {
        ModalScript script{AnswerBox(no, "&Нет")};
        Press(Qt::Key_Delete);
    }
    EXPECT_EQ(no.Title, "Подтверждение");
    EXPECT_EQ(no.Text, "Удалить запись?");
    EXPECT_EQ(win->Count(), count);
    EXPECT_EQ(changes, 0);

    // The last row: the focus goes to the previous one.
    const Variant before = Key(count - 2);
    {
        ModalScript script{AnswerBox(last, "&Да")};
        Press(Qt::Key_Delete);
    }
    EXPECT_EQ(win->Count(), count - 1);
    EXPECT_EQ(rates(), count - 1);
    EXPECT_EQ(win->FocusedRecId(), before);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(win->AfterDeletes, 1);

    // A middle row: the next one takes its place and the focus.
    Click(1);
    const Variant next = Key(2);
    {
        ModalScript script{AnswerBox(middle, "&Да")};
        QTest::mouseClick(win->WinToolBar->GetByBtnType(TBtnType::btDel)->Widget(), Qt::LeftButton);
    }
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(win->FocusedRecId(), next);

    // The only row: no focus is left, change and delete go off.
    repo.Exec("delete from CURRATE where CURR_ID = :C and CURRATE_ID <> :K", {{"C", Curr("CNY")}, {"K", next}});
    win->Reopen();
    Click(0);
    {
        ModalScript script{AnswerBox(middle, "&Да")};
        Press(Qt::Key_Delete);
    }
    EXPECT_EQ(win->Count(), 0);
    EXPECT_TRUE(win->FocusedRecId().isNull());
    EXPECT_FALSE(Enabled(TBtnType::btDel));
    EXPECT_TRUE(Enabled(TBtnType::btAdd));
}

TEST_F(WinTblTest, FailedDeleteIsRolledBackAndKeepsRowAndFocus)
{
    // A counterparty with deals cannot go.
    Open("CONTRAG");
    win->GotoEnd();
    int row = 0;
    while (Scalar("select count(*) from DEAL where CONTRAG_ID = :C", {{"C", Key(row)}}).toInt() == 0)
        ++row;
    Click(row);
    const Variant key = Key(row);
    int changes = 0;
    win->OnChangeData = [&](TWinTbl *) { ++changes; };
    BoxSeen yes;
    ModalScript script{AnswerBox(yes, "&Да")};
    EXPECT_ANY_THROW(win->DeleteClick());
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(Key(row), key);
    EXPECT_EQ(win->FocusedRecId(), key);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(win->AfterDeletes, 0);
}

TEST_F(WinTblTest, KeysAndDoubleClickRunTheActionsOfEnabledButtonsOnly)
{
    OpenRates(Curr("EUR"));
    QStringList log;
    win->OnChangeData = [&](TWinTbl *) { log << "data"; };
    win->OnAddClick = [&](TWinTbl *) { log << "add"; };
    // Nothing selected: F2 and Delete find their buttons off.
    {
        ModalScript none{};
        Press(Qt::Key_F2);
        Press(Qt::Key_Delete);
    }
    EXPECT_TRUE(win->CardsAsked.isEmpty());

    // Insert: the add action opens a new rate's card under the currency; OK adds the row.
    {
        ModalScript script{[&](QWidget *card) {
            log << "card";
            SetDate(FieldControl<TDateCheckEdit>(*win->LastCard->WinAtr, "CURRATE_DATE"), QDate(2031, 5, 5));
            TypeInto(*win->LastCard->WinAtr, "CURRATE_VALUE", "100");
            ClickButton(card, "ОК");
        }};
        Press(Qt::Key_Insert);
    }
    EXPECT_EQ(win->CardsAsked, QList<bool>({true}));
    EXPECT_EQ(log, QStringList({"add", "card", "data"}));
    EXPECT_EQ(Text(0, 0), "05.05.2031");
    EXPECT_EQ(Scalar("select CURR_ID from CURRATE where CURRATE_ID = :ID", {{"ID", Key(0)}}), Curr("EUR"));
    log.clear();

    // F2 and a double click on the focused row: a card that is not confirmed changes nothing.
    const auto cancel = [](QWidget *card) { QTest::keyClick(card, Qt::Key_Escape); };
    {
        ModalScript script{cancel, cancel};
        Press(Qt::Key_F2);
        QTest::mouseDClick(win->vt->viewport(), Qt::LeftButton, {}, win->vt->visualRect(M()->index(0, 0)).center());
    }
    EXPECT_EQ(win->CardsAsked, QList<bool>({true, false, false}));
    EXPECT_TRUE(log.isEmpty());
    {
        ModalScript script{[](QWidget *card) { ClickButton(card, "ОК"); }};
        QTest::mouseClick(win->WinToolBar->GetByBtnType(TBtnType::btEdit)->Widget(), Qt::LeftButton);
    }
    EXPECT_EQ(log, QStringList({"data"}));

    // An add whose first step fails opens no card.
    win->OnAddClick = [](TWinTbl *) { throw ExceptionPos("Карточка не сохранена."); };
    EXPECT_THROW(win->AddClick(), ExceptionPos);
    EXPECT_EQ(win->CardsAsked.size(), 4);

    // Buttons locked off: the keys do nothing, whatever the selection.
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel}) {
        win->WinToolBar->GetByBtnType(type)->SetEnabled(false);
        win->WinToolBar->GetByBtnType(type)->AlwaysDisable = true;
    }
    Click(1);
    EXPECT_FALSE(win->FocusedRecId().isNull());
    {
        ModalScript none{};
        for (int key : {Qt::Key_F2, Qt::Key_Insert, Qt::Key_Delete})
            Press(key);
    }
    EXPECT_EQ(win->CardsAsked.size(), 4);
    win->EnableAddBtn();
    EXPECT_FALSE(Enabled(TBtnType::btAdd));
}

TEST_F(WinTblTest, ChecksAndEditableColumns)
{
    OpenRates(Curr("USD"));
    const QModelIndex first = M()->index(0, 0);
    EXPECT_FALSE(M()->flags(first) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(first.data(Qt::CheckStateRole).isValid());
    win->SetCheckSupport(true);
    ASSERT_TRUE(M()->flags(first) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(win->GetFirstChecked().isNull());
    EXPECT_TRUE(win->GetNextChecked().isNull());
    M()->setData(M()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    win->SetRowChecked(3, true);
    EXPECT_TRUE(win->RowChecked(1));
    EXPECT_EQ(M()->index(3, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(win->GetFirstChecked(), Key(1));
    EXPECT_EQ(win->GetNextChecked(), Key(3));
    EXPECT_TRUE(win->GetNextChecked().isNull());
    EXPECT_TRUE(win->GetNextChecked().isNull());
    EXPECT_EQ(win->GetFirstChecked(), Key(1));

    // The rate column edited in place: pale blue, converted by its field type, never written.
    TFld *value = F("CURRATE", "CURRATE_VALUE");
    EXPECT_FALSE(win->EditableColumn(F("CURR", "CURR_NAME"), true));
    ASSERT_TRUE(win->EditableColumn(value, true));
    EXPECT_EQ(M()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(223, 223, 255));
    EXPECT_FALSE(M()->flags(M()->index(0, 0)) & Qt::ItemIsEditable);
    Click(2);
    win->vt->setCurrentIndex(M()->index(2, 1));
    const Variant stored = Scalar("select CURRATE_VALUE from CURRATE where CURRATE_ID = :ID", {{"ID", Key(2)}});
    // F2 is the change action's key too: its card comes first, then the grid's editor.
    auto edit = [&](const QString &text) {
        {
            ModalScript card{[](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }};
            Press(Qt::Key_F2);
        }
        const QPointer<QLineEdit> editor = win->vt->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
    };
    // The grid commits the editor's text once the key has been handled.
    auto commit = [&] {
        const QPointer<QLineEdit> editor = win->vt->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !editor; }));
    };
    edit("12,5");
    commit();
    EXPECT_EQ(Text(2, 1), "12,5");
    BoxSeen error;
    edit("много");
    {
        ModalScript script{AnswerBox(error, "OK")};
        commit();
    }
    EXPECT_EQ(error.Text, "\"много\" не является числом.");
    EXPECT_EQ(Text(2, 1), "12,5");
    EXPECT_EQ(Scalar("select CURRATE_VALUE from CURRATE where CURRATE_ID = :ID", {{"ID", Key(2)}}), stored);
    ASSERT_TRUE(win->EditableColumn(value, false));
    EXPECT_FALSE(M()->index(0, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(M()->flags(M()->index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(WinTblTest, CreateWinTblComparesLinkNamesExactly)
{
    const QList<std::pair<QString, const std::type_info *>> kinds = {
        {"DealProd", &typeid(TWinTblProd)}, {"DealPaym", &typeid(TWinTblPay)}, {"DealShip", &typeid(TWinTblShip)},
        {"dealprod", &typeid(TWinTbl)},     {"DEALPAYM", &typeid(TWinTbl)},    {"Contrag-Deal", &typeid(TWinTbl)}};
    for (const auto &[name, kind] : kinds) {
        TObjLink link;
        link.SetName(name);
        const std::unique_ptr<TWinTbl> table = CreateWinTbl(&host, &host, &link);
        EXPECT_EQ(typeid(*table), *kind) << name.toStdString();
        EXPECT_EQ(table->GetPanel()->parentWidget(), &host);
    }
}

// A hundred thousand units: opening reads about a screenful, Ctrl+End the rest.
TEST_F(WinTblTest, LazyFetchReadsWhatTheGridShows)
{
    AddUnits(100000);
    const int total = Scalar("select count(*) from UNIT").toInt();
    Open("UNIT");
    for (int i = 0; i < 5; ++i)
        QTest::qWait(20);
    // The rows in the grid's height, the last one cut, plus one.
    const int rowHeight = win->vt->rowHeight(0);
    const int screen = (win->vt->viewport()->height() + rowHeight - 1) / rowHeight + 1;
    EXPECT_GE(win->Count(), screen);
    EXPECT_LE(win->Count(), screen + 2);
    // Scrolling to the bottom brings the next screenful, and only that.
    const int opened = win->Count();
    win->vt->scrollToBottom();
    for (int i = 0; i < 5; ++i)
        QTest::qWait(20);
    EXPECT_GE(win->Count(), opened + screen - 2);
    EXPECT_LE(win->Count(), opened + screen + 2);

    Click(0);
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(win->Count(), total);
    EXPECT_EQ(Current(), total - 1);
}

} // namespace

// Right after opening and right after F5 no row is chosen yet: Ctrl+End still goes to the last.
TEST_F(WinTblTest, CtrlEndGoesToTheLastRowBeforeAnyRowWasChosen)
{
    AddUnits(1000);
    Open("UNIT");
    const int total = Scalar("select count(*) from UNIT").toInt();
    for (int i = 0; i < 2; ++i) {
        ASSERT_LT(win->Count(), total);
        ASSERT_FALSE(win->vt->currentIndex().isValid());
        Press(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(win->Count(), total);
        EXPECT_EQ(Current(), total - 1);
        EXPECT_EQ(win->FocusedRecId(), Key(total - 1));
        Press(Qt::Key_F5);
    }
}

// The select reads committed records as it goes, so it also gives a record committed after it
// opened; one the window placed itself is not shown a second time.
TEST_F(WinTblTest, RecordAddedWhileFetchingShowsOnce)
{
    AddUnits(5000);
    Open("UNIT");
    ASSERT_LT(win->Count(), 1000);
    TAtr atr;
    atr.SetObj(O("UNIT"));
    atr.SetDefaultValues(nullptr, Variant::Null());
    atr.GetAddByFldName("UNIT_NAME")->SetValue("новая");
    atr.OnAfterCommit = [this](TAtr *sender) { win->AtrAfterCommit(sender); };
    Save(atr);
    EXPECT_EQ(Key(0), atr.RecId());
    win->GotoEnd();
    EXPECT_EQ(win->Count(), Scalar("select count(*) from UNIT").toInt());
    QSet<qint64> keys;
    for (int row = 0; row < win->Count(); ++row)
        keys << Key(row).toInt64();
    EXPECT_EQ(keys.size(), win->Count());
}
