#include "ConfFixture.h"
#include "ObjLink.h"
#include "WinCardConf.h"

#include <QCheckBox>

namespace {

class MDIConfTest : public ConfFixture
{
protected:
    // The rows of each list of an object's pages, -1 for a closed one; with an id, as the
    // repository's tables hold them.
    std::vector<int> ShownRows()
    {
        std::vector<int> rows;
        for (TWinTbl *list : std::initializer_list<TWinTbl *>{conf->WinTblFld.get(), conf->WinTblDepChildObj.get(),
                                                              conf->WinTblParent.get(), conf->WinTblCard.get(),
                                                              conf->WinTblTbl.get(), conf->WinTblDetBook.get()})
            rows.push_back(IsOpen(*list) ? Rows(*list) : -1);
        return rows;
    }
    std::vector<int> ShownRows(int objId)
    {
        std::vector<int> rows;
        for (const char *table : {"FLD where OBJ_ID = :ID", "DEP where OBJ_ID = :ID",
                                  "DEP D join FLD F on F.FLD_ID = D.FLD_ID where F.OBJ_ID = :ID",
                                  "CARD where OBJ_ID = :ID", "TBL where OBJ_ID = :ID", "DETBOOK where OBJ_ID = :ID"})
            rows.push_back(Count(QString("select count(*) from ") + table, {{"ID", objId}}));
        return rows;
    }
    // Presses the button of the list; the steps answer the windows that come.
    static void Act(TWinTbl &list, TBtnType type, std::initializer_list<ModalScript::Step> steps)
    {
        ModalScript script(steps);
        Press(list, type);
    }
    // A card step: types the texts into the edits of the captions, then OK.
    static ModalScript::Step Typed(std::initializer_list<std::pair<QString, QString>> values)
    {
        return [values = QList<std::pair<QString, QString>>(values)](QWidget *card) {
            for (const auto &[caption, text] : values)
                Type(card, caption, text);
            ClickButton(card, "ОК");
        };
    }
    // Two steps: the picker of the caption's control opened from the card, and its row chosen.
    static std::array<ModalScript::Step, 2> Picked(const QString &caption, const QString &row)
    {
        return {[=](QWidget *card) { Pick(card, caption); }, [=](QWidget *picker) {
                    QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_End, Qt::ControlModifier);
                    PickRow(picker, row);
                }};
    }
    bool Empty()
    {
        return ShownRows() == std::vector<int>(6, -1) && !IsOpen(*conf->WinTblChildTbl) &&
               conf->TblTree->vt->topLevelItemCount() == 0 && conf->TblTreeChild->vt->topLevelItemCount() == 0 &&
               conf->WinDetCheckList->Count() == 0 && conf->WinCardConf->CardId().isNull();
    }
};

TEST_F(MDIConfTest, ListsOpenAndCloseWithTheirMastersAsTheUserClicks)
{
    DevMode = true;   // the parent links stay read-only even for the developer
    EXPECT_EQ(OpenConfig(), conf);
    EXPECT_EQ(form->mdi->subWindowList().size(), 1);
    EXPECT_TRUE(Empty());

    // Moving from object to object reopens every list of the pages for the new one.
    for (const QString table : {"PRODUCT", "DEAL"}) {
        ClickRow(*conf->WinTblObj, table);
        EXPECT_EQ(ShownRows(), ShownRows(O(table)->Id())) << table.toStdString();
        EXPECT_EQ(conf->TblTree->vt->topLevelItemCount(), StoredFields(O(table)));
        EXPECT_EQ(conf->WinDetCheckList->Count(), std::count_if(O(table)->ChildList->begin(), O(table)->ChildList->end(),
                                                                [](const TObjLink *link) { return link->Det(); }));
    }

    // A link: its views and its detail object's fields; a view: its columns ticked; the link
    // deselected: both emptied.
    ClickRow(*conf->WinTblDepChildObj, "DealProd");
    EXPECT_EQ(Rows(*conf->WinTblChildTbl), Count("select count(*) from TBL where DEP_ID = :ID",
                                                 {{"ID", O("DEAL")->ChildList->GetByName("DealProd")->Id()}}));
    EXPECT_EQ(conf->TblTreeChild->vt->topLevelItemCount(), StoredFields(O("DEALPROD")));
    EXPECT_EQ(Ticks(conf->TblTreeChild->vt), 0);
    ClickRowAt(*conf->WinTblChildTbl, 0);
    EXPECT_GT(Ticks(conf->TblTreeChild->vt), 0);
    ClickRow(*conf->WinTblDepChildObj, "DealProd", Qt::ControlModifier);
    EXPECT_FALSE(IsOpen(*conf->WinTblChildTbl));
    EXPECT_EQ(conf->TblTreeChild->vt->topLevelItemCount(), 0);

    // The object's views tick their columns, its detail books their links, its cards are laid
    // out in the designer.
    ClickRowAt(*conf->WinTblTbl, 0);
    EXPECT_EQ(conf->TblTree->TblId(), conf->WinTblTbl->FocusedRecId());
    ClickRowAt(*conf->WinTblDetBook, 0);
    EXPECT_EQ(conf->WinDetCheckList->DetBookId(), conf->WinTblDetBook->FocusedRecId());
    ClickRowAt(*conf->WinTblCard, 0);
    EXPECT_EQ(conf->WinCardConf->CardId(), conf->WinTblCard->FocusedRecId());

    // The parent links offer no add, change or delete.
    ClickRow(*conf->WinTblParent, "Contrag-Deal");
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel})
        EXPECT_FALSE(Enabled(*conf->WinTblParent, type));

    // Deselecting the object closes every list of its pages and empties the editors.
    ClickRow(*conf->WinTblObj, "DEAL", Qt::ControlModifier);
    EXPECT_TRUE(Empty());

    // Closing the window with rows selected everywhere frees it; the menu makes a new one.
    ClickRow(*conf->WinTblObj, "DEAL");
    conf->GetForm()->close();
    EXPECT_TRUE(WaitFor([&] { return form->MDIList->Count() == 0; }));
    EXPECT_NE(OpenConfig(), nullptr);
}

// A developer makes an object of warehouses with a name and a link to the products, gives it a
// view and a card with both fields laid out; the main form's "Данные" follows at once. After the
// next login its window shows the chosen columns and its card takes rows. Deleted again, it
// leaves nothing behind.
TEST_F(MDIConfTest, AnObjectMadeInTheConfiguratorIsUsedAfterTheNextLoginAndDeletedWithoutTrace)
{
    const QStringList menu = Captions(form->miData);
    auto named = [&](QWidget *card) {
        Type(card, "Имя", "Main");
        auto *box = Labelled<QCheckBox>(card, "По умолчанию");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
        ClickButton(card, "ОК");
    };
    TWinTbl &objects = *conf->WinTblObj;
    Act(objects, TBtnType::btAdd,
        {Typed({{"Таблица", "SKLAD"}, {"Наименование", "Склады"}, {"Краткое наименование", "Склад"}})});
    ASSERT_TRUE(InRepository("SKLAD"));
    EXPECT_EQ(Captions(form->miData), menu + QStringList{"Склад"});
    const auto type = Picked("Тип поля", "Строка"), link = Picked("Тип поля", "Ссылка");
    const auto master = Picked("Внешний объект", "Товары"), rule = Picked("Правило удаления", "Запрет удаления");
    Act(*conf->WinTblFld, TBtnType::btAdd,
        {type[0], type[1], Typed({{"Поле таблицы", "SKLAD_NAME"}, {"Наименование", "Название"}, {"Размер", "40"}})});
    Act(*conf->WinTblFld, TBtnType::btAdd, {link[0], link[1], master[0], master[1], rule[0], rule[1],
                                           Typed({{"Поле таблицы", "PRODUCT_ID"}, {"Наименование", "Товар"}})});
    Act(*conf->WinTblTbl, TBtnType::btAdd, {named});
    // The column tree was built again with every new field.
    for (const QStringList &path : {QStringList{"SKLAD_NAME"}, QStringList{"PRODUCT_ID", "PRODUCT_NAME"}}) {
        QTreeWidgetItem *node = Node(conf->TblTree->vt, path);
        ASSERT_NE(node, nullptr) << path.join(">").toStdString();
        node->setCheckState(0, Qt::Checked);
    }
    Press(*conf->TblTree, TBtnType::btSave);
    Act(*conf->WinTblCard, TBtnType::btAdd, {named});
    // The new card, focused in its list, is laid out in the designer from its root: its two fields on it.
    TWinCardConf &designer = *conf->WinCardConf;
    ASSERT_NE(designer.vt->topLevelItem(0), nullptr);
    for (const QString &field : {QStringLiteral("Название"), QStringLiteral("Товар")}) {
        Popup(designer.vt, designer.vt->topLevelItem(0), {"Добавить поле", field});
        QTest::mouseClick(designer.btWidthUp, Qt::LeftButton);   // the new field, focused
    }
    Press(designer, TBtnType::btSave);

    LogIn();
    OpenData("SKLAD");
    TWinTbl &rows = *dynamic_cast<TMDITbl &>(*form->MDIList->Last()).GetWinTbl();
    QStringList columns;
    for (int c = 0; c < Grid(rows)->model()->columnCount(); ++c)
        columns << Grid(rows)->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(columns, QStringList({"Название", "Товар>Наименование"}));
    Act(rows, TBtnType::btAdd, {Typed({{"Название", "Склад 1"}})});
    EXPECT_EQ(Count("select count(*) from SKLAD where SKLAD_NAME = 'Склад 1'"), 1);

    const QList<std::pair<QString, Variant>> sequence = {{"S", O("SKLAD")->PKFld->Field()}};
    const QString sequences = "select count(*) from RDB$GENERATORS where RDB$GENERATOR_NAME = :S";
    ASSERT_EQ(Count(sequences, sequence), 1);
    conf = OpenConfig();
    ClickRow(*conf->WinTblObj, "SKLAD");
    BoxSeen question;
    Act(*conf->WinTblObj, TBtnType::btDel, {AnswerBox(question, "&Да")});
    EXPECT_EQ(question.Text, "Удалить запись?");
    EXPECT_FALSE(InRepository("SKLAD"));
    EXPECT_EQ(Captions(form->miData), menu);
    EXPECT_EQ(form->MDIList->Count(), 1);
    EXPECT_EQ(Count(sequences, sequence), 0);
    EXPECT_EQ(Count("select count(*) from OBJ where OBJ_TABLE = 'SKLAD'"), 0);
    EXPECT_EQ(Count("select count(*) from FLD where OBJ_ID not in (select OBJ_ID from OBJ)"), 0);
    EXPECT_EQ(O("PRODUCT")->ChildList->Count(),
              Count("select count(*) from DEP where OBJ_ID = :O", {{"O", O("PRODUCT")->Id()}}));
}

// A new field or link shows at once in every list of the object's pages that it belongs to: a link
// field's link among the links into its object; a link of an object to itself also among the
// object's fields and, again, among the links into it.
TEST_F(MDIConfTest, ListsShowANewFieldOrLinkAtOnce)
{
    const auto follow = [&](const QString &table) { return ShownRows() == ShownRows(O(table)->Id()); };
    ClickRow(*conf->WinTblObj, "PRODUCT");
    const int links = Rows(*conf->WinTblParent);
    const auto type = Picked("Тип поля", "Ссылка"), master = Picked("Внешний объект", "UNIT");
    const auto rule = Picked("Правило удаления", "Запрет удаления");
    Act(*conf->WinTblFld, TBtnType::btAdd, {type[0], type[1], master[0], master[1], rule[0], rule[1],
                                           Typed({{"Поле таблицы", "UNIT2_ID"}, {"Наименование", "Вторая единица"}})});
    EXPECT_EQ(Rows(*conf->WinTblParent), links + 1);
    EXPECT_TRUE(follow("PRODUCT"));

    ClickRow(*conf->WinTblObj, "CONTRAG");
    const auto detail = Picked("Подчинённый объект", "CONTRAG");
    Act(*conf->WinTblDepChildObj, TBtnType::btAdd,
        {detail[0], detail[1],
         Typed({{"Имя связи", "Contrag-Head"}, {"Поле таблицы", "HEAD_ID"}, {"Наименование поля", "Головной"}})});
    EXPECT_EQ(O("CONTRAG")->ParentList->GetByName("Contrag-Head"), O("CONTRAG")->ChildList->GetByName("Contrag-Head"));
    EXPECT_TRUE(follow("CONTRAG"));
}

// A card's sizes saved in the designer show at once in the card's row of the list above it.
TEST_F(MDIConfTest, TheCardsRowShowsTheSizesTheDesignerSaved)
{
    ClickRow(*conf->WinTblObj, "DEALPROD");
    ClickRowAt(*conf->WinTblCard, 0);
    TWinCardConf &designer = *conf->WinCardConf;
    ASSERT_FALSE(designer.CardId().isNull());
    QTreeWidget *vt = designer.vt;
    ShowPage(vt);
    QTest::mouseClick(vt->viewport(), Qt::LeftButton, {}, vt->visualItemRect(vt->topLevelItem(0)).center());
    QTest::mouseClick(designer.btWidthUp, Qt::LeftButton);
    QTest::mouseClick(designer.btHeightUp, Qt::LeftButton);
    Press(designer, TBtnType::btSave);
    const Variant id = designer.CardId();
    const QList<std::pair<QString, Variant>> card = {{"ID", id}};
    for (const char *column : {"CARD_WIDTH", "CARD_HEIGHTATR"}) {
        const int stored = Count(QString("select %1 from CARD where CARD_ID = :ID").arg(column), card);
        EXPECT_EQ(FindRow(Grid(*conf->WinTblCard), QString::number(stored)).row(), 0) << column;
    }
    EXPECT_EQ(conf->WinTblCard->FocusedRecId(), id);
    EXPECT_EQ(designer.CardId(), id);
}

// A field's size typed key by key: a lone sign asks nothing, garbage is told once, and the size
// typed again is saved.
TEST_F(MDIConfTest, FieldSizeIsSavedAsTyped)
{
    ClickRow(*conf->WinTblObj, "UNIT");
    BoxSeen garbage;
    QString sign;
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Тип поля"); },
                           [](QWidget *picker) {
                               QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_End, Qt::ControlModifier);
                               PickRow(picker, "Строка");
                           },
                           [&](QWidget *card) {
                               Type(card, "Поле таблицы", "UNIT_NOTE");
                               Type(card, "Наименование", "Заметка");
                               Type(card, "Размер", "-");
                               sign = Labelled(card, "Размер")->text();
                               Type(card, "Размер", "4xy");
                           },
                           AnswerBox(garbage, "OK"),
                           [](QWidget *card) {
                               Type(card, "Размер", "40");
                               ClickButton(card, "ОК");
                           }};
        Press(*conf->WinTblFld, TBtnType::btAdd);
    }
    EXPECT_EQ(sign, "-");
    EXPECT_EQ(garbage.Seen, 1);
    EXPECT_EQ(garbage.Text, "\"4x\" не является целым числом.");
    EXPECT_EQ(Count("select count(*) from FLD where FLD_FIELD = 'UNIT_NOTE' and FLD_SIZE = 40"), 1);
}

} // namespace
