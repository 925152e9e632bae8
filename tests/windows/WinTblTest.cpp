#include "Atr.h"
#include "CardHelpers.h"
#include "IBDatabase.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Ini.h"

#include <QHeaderView>
#include <QSet>

namespace {

class WinTblTest : public CardUseTest
{
protected:
    QAbstractItemModel *M() const { return Grid()->model(); }
    QString Text(int row, int column) const { return M()->index(row, column).data().toString(); }
    int Current() const { return Grid()->currentIndex().row(); }
    Variant Curr(const QString &code) { return repo.Scalar("select CURR_ID from CURR where CURR_CODE = :C", {{"C", code}}); }

    // What a card's OK does with its record editor: post and commit in the write transaction,
    // the window hearing of the commit unless the test says otherwise.
    void Save(TAtr &atr)
    {
        if (!atr.OnAfterCommit)
            atr.OnAfterCommit = [this](TAtr *sender) { table->AtrAfterCommit(sender); };
        db.StartTransaction();
        atr.Post();
        atr.Commit();
    }
    TAtr &Editor(TAtr &atr, const Variant &key, const QList<std::pair<QString, Variant>> &values)
    {
        atr.SetObj(table->TblObj());
        if (key.isNull())
            atr.SetDefaultValues(nullptr, Variant::Null());
        else
            atr.SetRecId(key);
        for (const auto &[field, value] : values)
            atr.GetAddByFldName(field)->SetValue(value);
        return atr;
    }
    // A new record of the window's object with these values, saved.
    Variant Add(const QList<std::pair<QString, Variant>> &values)
    {
        TAtr atr;
        Save(Editor(atr, Variant::Null(), values));
        return atr.RecId();
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
};

TEST_F(WinTblTest, ColumnsCellTextsAndRowsFollowTheViewTheLocaleAndTheFilters)
{
    Open("CURRATE");
    QHeaderView *header = Grid()->horizontalHeader();
    ASSERT_EQ(M()->columnCount(), 3);
    EXPECT_EQ(M()->headerData(0, Qt::Horizontal).toString(), "Валюта>Код валюты");
    EXPECT_EQ(QList<int>({header->sectionSize(0), header->sectionSize(1), header->sectionSize(2)}),
              QList<int>({150, 70, 100}));
    // The first rate of the dollar: columns read their row elements through their tags.
    int row = 0;
    while (row < table->Count() && !(Text(row, 0) == "USD" && Text(row, 1) == "01.01.2025"))
        ++row;
    ASSERT_LT(row, table->Count());
    EXPECT_EQ(Text(row, 2), "98,45");
    table->SetDataByIndexFld(row, F("CURRATE", "CURRATE_VALUE"), Variant::FromCurrency(qint64(-12345000)));
    table->SetDataByIndexFld(row, F("CURRATE", "CURRATE_DATE"), Variant::Null());
    EXPECT_EQ(QStringList({Text(row, 1), Text(row, 2)}), QStringList({"", "-1234,5"}));

    // Booleans: "да" for 1, empty for 0 and Null.
    Open("CONTRAG");
    ASSERT_EQ(M()->headerData(5, Qt::Horizontal).toString(), "Покупатель");
    QStringList texts;
    for (const Variant &buyer : {Variant(1), Variant(0), Variant::Null()}) {
        table->SetDataByIndexFld(0, F("CONTRAG", "CONTRAG_BUYER"), buyer);
        texts << Text(0, 5);
    }
    EXPECT_EQ(texts, QStringList({"да", "", ""}));

    // Opening applies the always-on filters. The user admin chose the price list: active products
    // that belong to a group.
    Open("PRODUCT");
    const int expected = Count("select count(*) from PRODUCT where PRODUCT_ACTIVE = 1 and PRODGRP_ID is not null");
    ASSERT_LT(expected, Count("select count(*) from PRODUCT"));
    EXPECT_EQ(table->Count(), expected);
}

TEST_F(WinTblTest, CommittedRecordsAreInsertedAboveTheFocusOrReReadInPlace)
{
    Open("CURRATE");
    const int count = table->Count();
    // Row 3 focused: the new one takes its place, the old row 3 and the rest move down.
    Click(3);
    const Variant old3 = Key(3), old4 = Key(4);
    const Variant added = Add({{"CURR_ID", Curr("USD")}, {"CURRATE_DATE", QDate(2030, 2, 1)}, {"CURRATE_VALUE", 91}});
    EXPECT_EQ(QList<Variant>({Key(3), Key(4), Key(5)}), QList<Variant>({added, old3, old4}));
    EXPECT_EQ(Current(), 3);
    EXPECT_TRUE(Grid()->selectionModel()->isRowSelected(3));

    // Changed, then deleted by someone else before the window re-reads it: the re-read takes
    // the row out and the focus moves on.
    Click(4);
    TAtr atr;
    Editor(atr, old3, {{"CURRATE_VALUE", 78}});
    atr.OnAfterCommit = [&](TAtr *sender) {
        repo.Exec("delete from CURRATE where CURRATE_ID = :ID", {{"ID", old3}});
        table->AtrAfterCommit(sender);
    };
    Save(atr);
    EXPECT_EQ(table->Count(), count);
    EXPECT_EQ(QList<Variant>({Key(4), table->FocusedRecId()}), QList<Variant>({old4, old4}));

    // A changed record that is not the focused one: its own row is re-read, wherever it is.
    Click(1);
    const Variant focusedKey = Key(1);
    const QString focusedValue = Text(1, 2);
    TAtr changed;
    Save(Editor(changed, old4, {{"CURRATE_VALUE", 79}}));
    EXPECT_EQ(QList<Variant>({Key(1), Key(4)}), QList<Variant>({focusedKey, old4}));
    EXPECT_EQ(QStringList({Text(1, 2), Text(4, 2)}), QStringList({focusedValue, "79"}));

    // A new record whose first commit could not place its row, saved again as a change (as a
    // card does): it is inserted above the focus, and the focused row keeps its own values.
    TAtr again;
    Editor(again, Variant::Null(), {{"CURR_ID", Curr("USD")}, {"CURRATE_DATE", QDate(2030, 3, 1)}, {"CURRATE_VALUE", 92}});
    again.OnAfterCommit = [](TAtr *) { throw ExceptionPos("Строка не перечитана."); };
    EXPECT_EQ(ErrorOf([&] { Save(again); }), "Строка не перечитана.");
    again.OnAfterCommit = nullptr;
    again.SetRecId(again.RecId());
    again.GetAddByFldName("CURRATE_VALUE")->SetValue(93);
    Save(again);
    EXPECT_EQ(QList<Variant>({Key(1), Key(2)}), QList<Variant>({again.RecId(), focusedKey}));
    EXPECT_EQ(QStringList({Text(1, 2), Text(2, 2)}), QStringList({"93", focusedValue}));
    EXPECT_EQ(table->Count(), count + 1);
}

TEST_F(WinTblTest, DeleteAsksRemovesTheRowAndMovesTheFocusOrIsRolledBack)
{
    Open("CURRATE");
    int changes = 0;
    table->OnChangeData = [&](TWinTbl *) { ++changes; };
    const int count = table->Count();
    // "Нет" changes nothing; the last row gives the focus to the previous one.
    const Variant previous = Key(count - 2);
    BoxSeen no, yes;
    {
        ModalScript script{AnswerBox(no, "&Нет"), AnswerBox(yes, "&Да")};
        Click(count - 1);
        Press(Qt::Key_Delete);
        EXPECT_EQ(QList<int>({table->Count(), changes}), QList<int>({count, 0}));
        Press(Qt::Key_Delete);
        EXPECT_EQ(table->FocusedRecId(), previous);
    }
    EXPECT_EQ(QStringList({no.Title, no.Text}), QStringList({"Подтверждение", "Удалить запись?"}));
    EXPECT_EQ(QList<int>({table->Count(), Count("select count(*) from CURRATE"), changes}),
              QList<int>({count - 1, count - 1, 1}));

    // A counterparty with deals cannot go: the delete is rolled back, row and focus stay, and
    // the box says which records still refer to it above the engine's own text.
    Open("CONTRAG");
    table->OnChangeData = [&](TWinTbl *) { ++changes; };
    int row = 0;
    while (Count("select count(*) from DEAL where CONTRAG_ID = :C", {{"C", Key(row)}}) == 0)
        ++row;
    Click(row);
    const Variant key = Key(row);
    BoxSeen refused;
    {
        ModalScript script{AnswerBox(yes, "&Да"), AnswerBox(refused, "OK")};
        Press(Qt::Key_Delete);
    }
    const QStringList lines = refused.Text.split('\n');
    ASSERT_GE(lines.size(), 2) << refused.Text.toStdString();
    EXPECT_EQ(lines[0], "Запись нельзя удалить: на неё ссылаются записи объекта \"Сделки\". Сначала удалите или "
                        "измените их.");
    EXPECT_EQ(lines[1], "violation of FOREIGN KEY constraint \"FK_DEAL_CONTRAG_ID\" on table \"DEAL\"");
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(QList<Variant>({Key(row), table->FocusedRecId()}), QList<Variant>({key, key}));
    EXPECT_EQ(changes, 1);
}

// Another user is changing the record right now (written, not yet committed): its delete is
// refused, the row stays, and the box says to try the delete again later.
TEST_F(WinTblTest, ARecordAnotherUserIsChangingRightNowIsNotDeletedAndTheBoxSaysToTryTheDeleteAgain)
{
    Open("CURRATE");
    const Variant key = Key(0);
    TIBDatabase otherUser;
    LoadDBParams(otherUser, TDB::IniFileName(), copy.Path(), "UTF8");
    otherUser.Open();
    TIBTransaction writing(&otherUser);
    writing.StartTransaction();
    TIBSQL held(&otherUser, &writing);
    held.SetSQL("update CURRATE set CURRATE_VALUE = CURRATE_VALUE + 1 where CURRATE_ID = :ID");
    held.ParamByName("ID") = key;
    held.ExecQuery();
    BoxSeen yes, refused;
    {
        ModalScript script{AnswerBox(yes, "&Да"), AnswerBox(refused, "OK")};
        Click(0);
        Press(Qt::Key_Delete);
    }
    EXPECT_EQ(refused.Text.section('\n', 0, 0), "Эту запись или итог по ней сейчас изменяет другой пользователь. "
                                                "Повторите удаление чуть позже.");
    EXPECT_EQ(QList<Variant>({Key(0), table->FocusedRecId()}), QList<Variant>({key, key}));
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
}

TEST_F(WinTblTest, KeysAndDoubleClickRunTheActionsOfEnabledButtonsOnly)
{
    Open("CURRATE", false);
    QStringList log;
    table->OnChangeData = [&](TWinTbl *) { log << "data"; };
    table->OnAddClick = [&](TWinTbl *) { log << "add"; };
    const auto cancel = [&](QWidget *card) {
        log << card->windowTitle();
        QTest::keyClick(card, Qt::Key_Escape);
    };
    // Nothing selected: F2 and Delete find their buttons off, Insert opens a new rate's card.
    EXPECT_FALSE(table->WinToolBar->GetByBtnType(TBtnType::btEdit)->Enabled());
    // F2 and a double click on a row open its card; only a confirmed one changes data.
    {
        ModalScript script{cancel, cancel, cancel, [](QWidget *card) { ClickButton(card, "ОК"); }};
        Press(Qt::Key_F2);
        Press(Qt::Key_Delete);
        Press(Qt::Key_Insert);
        Click(0);
        Press(Qt::Key_F2);
        QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualRect(M()->index(0, 0)).center());
        QTest::mouseClick(table->WinToolBar->GetByBtnType(TBtnType::btEdit)->Widget(), Qt::LeftButton);
    }
    EXPECT_EQ(log, QStringList({"add", "Курсы валют", "data", "Курсы валют", "Курсы валют", "data"}));

    // An add whose first step fails opens no card; buttons locked off: the keys do nothing.
    ModalScript none{};
    table->OnAddClick = [](TWinTbl *) { throw ExceptionPos("Карточка не сохранена."); };
    EXPECT_THROW(table->AddClick(), ExceptionPos);
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel}) {
        table->WinToolBar->GetByBtnType(type)->SetEnabled(false);
        table->WinToolBar->GetByBtnType(type)->AlwaysDisable = true;
    }
    Click(1);
    for (int key : {Qt::Key_F2, Qt::Key_Insert, Qt::Key_Delete})
        Press(key);
    // Hidden and shown again, a button that is off stays off.
    table->WinToolBar->GetByBtnType(TBtnType::btAdd)->SetVisible(false);
    table->WinToolBar->GetByBtnType(TBtnType::btAdd)->SetVisible(true);
    QTest::mouseClick(table->WinToolBar->GetByBtnType(TBtnType::btAdd)->Widget(), Qt::LeftButton);
}

TEST_F(WinTblTest, ChecksAndEditableColumns)
{
    Open("CURRATE");
    EXPECT_FALSE(M()->flags(M()->index(0, 0)) & Qt::ItemIsUserCheckable);
    table->SetCheckSupport(true);
    ASSERT_TRUE(M()->flags(M()->index(0, 0)) & Qt::ItemIsUserCheckable);
    M()->setData(M()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(table->RowChecked(1));

    // The rate column edited in place: pale blue, converted by its field type, never written.
    TFld *value = F("CURRATE", "CURRATE_VALUE");
    EXPECT_FALSE(table->EditableColumn(F("CURR", "CURR_NAME"), true));
    ASSERT_TRUE(table->EditableColumn(value, true));
    EXPECT_EQ(M()->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(223, 223, 255));
    EXPECT_FALSE(M()->flags(M()->index(0, 1)) & Qt::ItemIsEditable);
    Click(2);
    Grid()->setCurrentIndex(M()->index(2, 2));
    const Variant stored = repo.Scalar("select CURRATE_VALUE from CURRATE where CURRATE_ID = :ID", {{"ID", Key(2)}});
    // F2 is the change action's key too: its card comes first, then the grid's editor, whose text
    // the grid commits once Enter has been handled.
    QPointer<QLineEdit> editor;
    const auto edit = [&](const QString &text) {
        {
            ModalScript card{[](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }};
            Press(Qt::Key_F2);
        }
        editor = Grid()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
    };
    const auto commit = [&] {
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !editor; }));
    };
    edit("12,5");
    commit();
    BoxSeen error;
    edit("много");
    {
        ModalScript script{AnswerBox(error, "OK")};
        commit();
    }
    EXPECT_EQ(error.Text, "\"много\" не является числом.");
    EXPECT_EQ(Text(2, 2), "12,5");
    EXPECT_EQ(repo.Scalar("select CURRATE_VALUE from CURRATE where CURRATE_ID = :ID", {{"ID", Key(2)}}), stored);
    // A double click on the edited column starts the cell's edit and opens no card.
    {
        ModalScript noCard{};
        const QPoint cell = Grid()->visualRect(M()->index(2, 2)).center();
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::qWait(50);
    }
    editor = Grid()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    // The edited column stands next to the first one, and goes back to its place when it is read-only.
    EXPECT_EQ(Grid()->horizontalHeader()->visualIndex(2), 1);
    ASSERT_TRUE(table->EditableColumn(value, false));
    EXPECT_FALSE(M()->index(0, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(Grid()->horizontalHeader()->visualIndex(2), 2);
}

// Opening reads about a screenful, scrolling down the next one and Ctrl+End the rest. Right
// after opening and right after F5 no row is chosen yet: Ctrl+End still goes to the last.
TEST_F(WinTblTest, LazyFetchAndCtrlEndBeforeAnyRowWasChosen)
{
    AddUnits(1000);
    const int total = Count("select count(*) from UNIT");
    Open("UNIT", false);
    QTest::qWait(100);
    // The rows in the grid's height, the last one cut, plus one.
    const int rowHeight = Grid()->rowHeight(0);
    const int screen = (Grid()->viewport()->height() + rowHeight - 1) / rowHeight + 1;
    EXPECT_GE(table->Count(), screen);
    EXPECT_LE(table->Count(), screen + 2);
    const int opened = table->Count();
    Grid()->scrollToBottom();
    QTest::qWait(100);
    EXPECT_GE(table->Count(), opened + screen - 2);
    EXPECT_LE(table->Count(), opened + screen + 2);

    // As before the grid first had the focus (which makes the first row current).
    Grid()->setCurrentIndex(QModelIndex());
    for (int i = 0; i < 2; ++i) {
        ASSERT_LT(table->Count(), total);
        ASSERT_FALSE(Grid()->currentIndex().isValid());
        Press(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(table->Count(), total);
        EXPECT_EQ(Current(), total - 1);
        EXPECT_EQ(table->FocusedRecId(), Key(total - 1));
        Press(Qt::Key_F5);
    }
}

// The select reads committed records as it goes, so it also gives a record committed after it
// opened; one the window placed itself is not shown a second time.
TEST_F(WinTblTest, RecordAddedWhileFetchingShowsOnce)
{
    AddUnits(5000);
    Open("UNIT", false);
    ASSERT_LT(table->Count(), 1000);
    EXPECT_EQ(Key(0), Add({{"UNIT_NAME", "новая"}}));
    table->GotoEnd();
    EXPECT_EQ(table->Count(), Count("select count(*) from UNIT"));
    QSet<qint64> keys;
    for (int row = 0; row < table->Count(); ++row)
        keys << Key(row).toInt64();
    EXPECT_EQ(keys.size(), table->Count());
}

} // namespace
