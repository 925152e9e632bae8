#include "ConfFixture.h"
#include "ObjLink.h"
#include "WinCardConf.h"

#include <QCheckBox>

namespace {

using namespace korvenix_test;

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

    // The parent links offer no add, change or delete, by button, key or double click.
    ClickRow(*conf->WinTblParent, "Contrag-Deal");
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel})
        EXPECT_FALSE(Enabled(*conf->WinTblParent, type));
    {
        ModalScript none{};
        for (int key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2})
            Key(*conf->WinTblParent, key);
        QTest::mouseDClick(Grid(*conf->WinTblParent)->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    }

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
// view and a card with both fields laid out; after the next login it is among the data, its
// window shows the chosen columns and its card takes rows. Deleted again, it leaves nothing
// behind. Each add of an object (also a cancelled one), confirmed change and completed delete
// reaches the main form's "Данные".
TEST_F(MDIConfTest, AnObjectMadeInTheConfiguratorIsUsedAfterTheNextLoginAndDeletedWithoutTrace)
{
    const QStringList menu = DataMenu();
    int fired = 0;
    auto act = [&](TWinTbl &list, TBtnType type, std::initializer_list<ModalScript::Step> steps) {
        const int before = fired;
        ModalScript script(steps);
        Press(list, type);
        return fired - before;
    };
    auto listen = [&] {
        const auto mainForms = conf->OnObjChangeData;
        conf->OnObjChangeData = [&, mainForms](TWinTbl *sender) {
            EXPECT_EQ(sender, conf->WinTblObj.get());
            ++fired;
            mainForms(sender);
        };
    };
    const ModalScript::Step ok = [](QWidget *card) { ClickButton(card, "ОК"); };
    auto typed = [&](std::initializer_list<std::pair<QString, QString>> values) {
        return [=](QWidget *card) {
            for (const auto &[caption, text] : values)
                Type(card, caption, text);
            ok(card);
        };
    };
    auto named = [&](const QString &name) {
        return [=](QWidget *card) {
            Type(card, "Имя", name);
            auto *box = Labelled<QCheckBox>(card, "По умолчанию");
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
            ok(card);
        };
    };
    listen();
    TWinTbl &objects = *conf->WinTblObj;
    EXPECT_EQ(act(objects, TBtnType::btAdd, {[](QWidget *card) { ClickButton(card, "Отмена"); }}), 1);
    EXPECT_EQ(act(objects, TBtnType::btAdd,
                  {typed({{"Таблица", "SKLAD"}, {"Наименование", "Склады"}, {"Краткое наименование", "Склад"}})}),
              1);
    ASSERT_TRUE(InRepository("SKLAD"));
    EXPECT_EQ(act(objects, TBtnType::btEdit, {typed({{"Краткое наименование", "Склады"}})}), 1);
    EXPECT_EQ(act(objects, TBtnType::btEdit, {[](QWidget *card) { ClickButton(card, "Отмена"); }}), 0);
    EXPECT_EQ(DataMenu(), menu + QStringList{"Склады"});

    EXPECT_EQ(act(*conf->WinTblFld, TBtnType::btAdd,
                  {[](QWidget *card) { Pick(card, "Тип поля"); }, [](QWidget *picker) { PickRow(picker, "Строка"); },
                   typed({{"Поле таблицы", "SKLAD_NAME"}, {"Наименование", "Название"}, {"Размер", "40"}})}),
              0);
    act(*conf->WinTblFld, TBtnType::btAdd,
        {[](QWidget *card) { Pick(card, "Тип поля"); }, [](QWidget *picker) { PickRow(picker, "Ссылка"); },
         [](QWidget *card) { Pick(card, "Внешний объект"); },
         [](QWidget *picker) {
             QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_End, Qt::ControlModifier);
             PickRow(picker, "Товары");
         },
         [](QWidget *card) { Pick(card, "Правило удаления"); }, [](QWidget *picker) { PickRow(picker, "Запрет удаления"); },
         typed({{"Поле таблицы", "PRODUCT_ID"}, {"Наименование", "Товар"}})});
    act(*conf->WinTblTbl, TBtnType::btAdd, {named("Main")});
    // The column tree was built again with every new field.
    for (const QStringList &path : {QStringList{"SKLAD_NAME"}, QStringList{"PRODUCT_ID", "PRODUCT_NAME"}}) {
        QTreeWidgetItem *node = Node(conf->TblTree->vt, path);
        ASSERT_NE(node, nullptr) << path.join(">").toStdString();
        node->setCheckState(0, Qt::Checked);
    }
    Press(*conf->TblTree, TBtnType::btSave);
    act(*conf->WinTblCard, TBtnType::btAdd, {named("Main")});
    // The new card, focused in its list, is laid out in the designer: its two fields on it.
    TWinCardConf &designer = *conf->WinCardConf;
    QTreeWidgetItem *root = designer.vt->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    for (const QString &field : {QStringLiteral("Название"), QStringLiteral("Товар")}) {
        Popup(designer.vt, root, {"Добавить поле", field});
        QTest::mouseClick(designer.btWidthUp, Qt::LeftButton);   // the new field, focused
    }
    Press(designer, TBtnType::btSave);

    Relogin();
    OpenData("SKLAD");
    TWinTbl &rows = *dynamic_cast<TMDITbl &>(*form->MDIList->Last()).GetWinTbl();
    QStringList columns;
    for (int c = 0; c < Grid(rows)->model()->columnCount(); ++c)
        columns << Grid(rows)->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(columns, QStringList({"Название", "Товар>Наименование"}));
    act(rows, TBtnType::btAdd, {typed({{"Название", "Склад 1"}})});
    EXPECT_EQ(Count("select count(*) from SKLAD where SKLAD_NAME = 'Склад 1'"), 1);

    conf = OpenConfig();
    listen();
    ClickRow(*conf->WinTblObj, "SKLAD");
    BoxSeen question;
    EXPECT_EQ(act(*conf->WinTblObj, TBtnType::btDel, {AnswerBox(question, "&Нет")}), 0);
    EXPECT_EQ(act(*conf->WinTblObj, TBtnType::btDel, {AnswerBox(question, "&Да")}), 1);
    EXPECT_EQ(question.Text, "Удалить запись?");
    EXPECT_FALSE(InRepository("SKLAD"));
    EXPECT_EQ(DataMenu(), menu);
    EXPECT_EQ(form->MDIList->Count(), 1);
    EXPECT_EQ(Traces("SKLAD"), 0);
    EXPECT_EQ(O("PRODUCT")->ChildList->Count(), Count("select count(*) from DEP where OBJ_ID = :O", {{"O", O("PRODUCT")->Id()}}));
    form->grab();
    Key(*conf->WinTblObj, Qt::Key_F5);
    ClickRow(*conf->WinTblObj, "PRODUCT");
    EXPECT_EQ(ShownRows(), ShownRows(O("PRODUCT")->Id()));
}

} // namespace
