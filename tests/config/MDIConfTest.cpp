#include "ConfFixture.h"
#include "ObjLink.h"

#include <QCheckBox>

namespace {

using korvenix_test::ConfFixture;

class MDIConfTest : public ConfFixture
{
protected:
    // Rows each list of the object's pages shows, as the repository's tables hold them.
    std::vector<int> ExpectedRows(int objId)
    {
        const QList<std::pair<QString, Variant>> id{{"ID", objId}};
        return {Count("select count(*) from FLD where OBJ_ID = :ID", id),
                Count("select count(*) from DEP where OBJ_ID = :ID", id),
                Count("select count(*) from DEP D join FLD F on F.FLD_ID = D.FLD_ID where F.OBJ_ID = :ID", id),
                Count("select count(*) from CARD where OBJ_ID = :ID", id),
                Count("select count(*) from TBL where OBJ_ID = :ID", id),
                Count("select count(*) from DETBOOK where OBJ_ID = :ID", id)};
    }
    std::vector<TWinTbl *> ObjLists() const
    {
        return {conf->WinTblFld.get(), conf->WinTblDepChildObj.get(), conf->WinTblParent.get(),
                conf->WinTblCard.get(), conf->WinTblTbl.get(), conf->WinTblDetBook.get()};
    }
    std::vector<int> ShownRows()
    {
        std::vector<int> rows;
        for (TWinTbl *list : ObjLists())
            rows.push_back(IsOpen(*list) ? Rows(*list) : -1);
        return rows;
    }
    static int Ticks(QTreeWidget *vt)
    {
        int ticks = 0;
        for (QTreeWidgetItemIterator it(vt); *it; ++it)
            ticks += (*it)->checkState(0) == Qt::Checked;
        return ticks;
    }
    // The fields an object's column tree starts with: the stored ones.
    static int StoredFields(const TObj *obj)
    {
        int stored = 0;
        for (const TFld *fld : *obj->FldList)
            stored += !fld->Virt();
        return stored;
    }
    bool Empty() const
    {
        for (TWinTbl *list : ObjLists())
            if (IsOpen(*list) || list->Count() > 0)
                return false;
        return !IsOpen(*conf->WinTblChildTbl) && conf->TblTree->vt->topLevelItemCount() == 0 &&
               conf->TblTreeChild->vt->topLevelItemCount() == 0 && conf->WinDetCheckList->Count() == 0;
    }

    TMDIConfig *conf = nullptr;
};

TEST_F(MDIConfTest, ListsOpenAndCloseWithTheirMastersAsTheUserClicks)
{
    DevMode = true;   // the parent links stay read-only even for the developer
    conf = OpenConfig();
    ASSERT_NE(conf, nullptr);
    EXPECT_EQ(OpenConfig(), conf);
    EXPECT_EQ(form->mdi->subWindowList().size(), 1);
    EXPECT_EQ(conf->GetForm()->windowTitle(), "Конфигуратор");
    EXPECT_TRUE(IsOpen(*conf->WinTblObj));
    EXPECT_EQ(conf->GetForm()->focusWidget(), Grid(*conf->WinTblObj));
    EXPECT_TRUE(Empty());

    // Moving from object to object reopens every list of the pages for the new one.
    for (const QString table : {"PRODUCT", "DEAL"}) {
        ClickRow(*conf->WinTblObj, table);
        EXPECT_EQ(conf->WinTblObj->CurrentObj, O(table));
        EXPECT_EQ(ShownRows(), ExpectedRows(O(table)->Id())) << table.toStdString();
        EXPECT_EQ(conf->TblTree->vt->topLevelItemCount(), StoredFields(O(table)));
        int details = 0;
        for (const TObjLink *link : *O(table)->ChildList)
            details += link->Det();
        EXPECT_EQ(conf->WinDetCheckList->Count(), details);
    }

    // A link of the deal: its views and its detail object's fields; a view: its columns ticked;
    // the link deselected: both emptied.
    TObjLink *dealProd = O("DEAL")->ChildList->GetByName("DealProd");
    ClickRow(*conf->WinTblDepChildObj, "DealProd");
    EXPECT_EQ(conf->WinTblDepChildObj->CurrentObjLink, dealProd);
    EXPECT_EQ(Rows(*conf->WinTblChildTbl), Count("select count(*) from TBL where DEP_ID = :ID", {{"ID", dealProd->Id()}}));
    EXPECT_EQ(conf->TblTreeChild->vt->topLevelItemCount(), StoredFields(O("DEALPROD")));
    EXPECT_EQ(Ticks(conf->TblTreeChild->vt), 0);
    ASSERT_GT(conf->WinTblChildTbl->Count(), 0);
    ClickRowAt(*conf->WinTblChildTbl, 0);
    EXPECT_GT(Ticks(conf->TblTreeChild->vt), 0);
    ClickRow(*conf->WinTblDepChildObj, "DealProd", Qt::ControlModifier);
    EXPECT_EQ(conf->WinTblDepChildObj->CurrentObjLink, nullptr);
    EXPECT_FALSE(IsOpen(*conf->WinTblChildTbl));
    EXPECT_EQ(conf->TblTreeChild->vt->topLevelItemCount(), 0);
    EXPECT_TRUE(conf->TblTreeChild->TblId().isNull());

    // The object's views tick their columns; its detail books tick their links.
    ClickRowAt(*conf->WinTblTbl, 0);
    EXPECT_EQ(conf->TblTree->TblId(), conf->WinTblTbl->FocusedRecId());
    EXPECT_GT(Ticks(conf->TblTree->vt), 0);
    ClickRowAt(*conf->WinTblDetBook, 0);
    EXPECT_EQ(conf->WinDetCheckList->DetBookId(), conf->WinTblDetBook->FocusedRecId());
    EXPECT_GT(Ticks(conf->WinDetCheckList->vt), 0);

    // The parent links offer no add, change or delete, not even by key or double click.
    ClickRow(*conf->WinTblParent, "Contrag-Deal");
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel})
        EXPECT_FALSE(conf->WinTblParent->WinToolBar->GetByBtnType(type)->Enabled());
    {
        ModalScript none{};
        for (int key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2})
            Key(*conf->WinTblParent, key);
        QTest::mouseDClick(Grid(*conf->WinTblParent)->viewport(), Qt::LeftButton, {},
                           Grid(*conf->WinTblParent)->visualRect(Grid(*conf->WinTblParent)->currentIndex()).center());
    }

    // Deselecting the object closes every list of its pages and empties the editors.
    ClickRow(*conf->WinTblObj, "DEAL", Qt::ControlModifier);
    EXPECT_TRUE(Empty());
    ClickRow(*conf->WinTblObj, "DEAL");
    EXPECT_FALSE(Empty());

    // Closing the window with rows selected everywhere frees it; the menu makes a new one.
    conf->GetForm()->close();
    EXPECT_TRUE(WaitFor([&] { return form->MDIList->Count() == 0; }));
    EXPECT_NE(OpenConfig(), nullptr);
}

// Every add (also a cancelled one), every confirmed change and every completed delete in the
// objects list reaches the main form, which lists the objects in "Данные" again.
TEST_F(MDIConfTest, ChangesOfTheObjectsListRebuildTheDataMenu)
{
    conf = OpenConfig();
    ASSERT_NE(conf, nullptr);
    int fired = 0;
    const auto mainForms = conf->OnObjChangeData;
    ASSERT_TRUE(bool(mainForms));
    conf->OnObjChangeData = [&](TWinTbl *sender) {
        EXPECT_EQ(sender, conf->WinTblObj.get());
        ++fired;
        mainForms(sender);
    };
    TWinTbl &objects = *conf->WinTblObj;
    const QStringList before = DataMenu();
    BoxSeen question;
    auto fire = [&](std::initializer_list<ModalScript::Step> steps, const std::function<void()> &action) {
        const int was = fired;
        ModalScript script(steps);
        action();
        EXPECT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
        return fired - was;
    };
    auto press = [&](TBtnType type) { return [&objects, type] { Press(objects, type); }; };
    auto rename = [](const QString &capt2) {
        return [capt2](QWidget *card) {
            QLineEdit *edit = korvenix_test::Labelled(card, "Краткое наименование");
            ASSERT_NE(edit, nullptr);
            edit->clear();
            korvenix_test::Type(card, "Краткое наименование", capt2);
            ClickButton(card, "ОК");
        };
    };
    EXPECT_EQ(fire({[](QWidget *card) { ClickButton(card, "Отмена"); }}, press(TBtnType::btAdd)), 1);
    EXPECT_EQ(DataMenu(), before);
    EXPECT_EQ(fire({[](QWidget *card) {
                        korvenix_test::Type(card, "Таблица", "PROBE");
                        korvenix_test::Type(card, "Краткое наименование", "Проба");
                        ClickButton(card, "ОК");
                    }},
                   press(TBtnType::btAdd)),
              1);
    EXPECT_EQ(DataMenu(), before + QStringList{"Проба"});
    EXPECT_EQ(conf->WinTblObj->CurrentObj, O("PROBE"));
    EXPECT_EQ(fire({rename("Опыт")}, press(TBtnType::btEdit)), 1);
    EXPECT_EQ(DataMenu(), before + QStringList{"Опыт"});
    EXPECT_EQ(fire({[](QWidget *card) { ClickButton(card, "Отмена"); }}, press(TBtnType::btEdit)), 0);
    EXPECT_EQ(fire({AnswerBox(question, "&Нет")}, press(TBtnType::btDel)), 0);
    EXPECT_EQ(DataMenu(), before + QStringList{"Опыт"});
    EXPECT_EQ(fire({AnswerBox(question, "&Да")}, press(TBtnType::btDel)), 1);
    EXPECT_EQ(DataMenu(), before);
    EXPECT_EQ(question.Text, "Удалить запись?");
}

// A developer makes an object of warehouses with a name and a link to the products, gives it a
// view and a card; after the next login it is among the data, its window shows the chosen
// columns and takes rows. Deleted again, it leaves nothing behind.
TEST_F(MDIConfTest, AnObjectMadeInTheConfiguratorIsUsedAfterTheNextLoginAndDeletedWithoutTrace)
{
    using korvenix_test::Labelled;
    using korvenix_test::Pick;
    using korvenix_test::PickRow;
    using korvenix_test::Type;
    conf = OpenConfig();
    ASSERT_NE(conf, nullptr);
    auto add = [&](TWinTbl &list, std::initializer_list<ModalScript::Step> steps) {
        ModalScript script(steps);
        Press(list, TBtnType::btAdd);
    };
    auto ok = [](QWidget *card) { ClickButton(card, "ОК"); };
    auto tick = [](QWidget *card, const QString &caption) {
        if (auto *box = Labelled<QCheckBox>(card, caption))
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
    };
    add(*conf->WinTblObj, {[&](QWidget *card) {
            Type(card, "Таблица", "SKLAD");
            Type(card, "Наименование", "Склады");
            Type(card, "Краткое наименование", "Склады");
            ok(card);
        }});
    ASSERT_TRUE(InRepository("SKLAD"));
    EXPECT_EQ(conf->WinTblObj->CurrentObj, O("SKLAD"));
    EXPECT_TRUE(DataMenu().contains("Склады"));
    add(*conf->WinTblFld, {[](QWidget *card) { Pick(card, "Тип поля"); },
                           [](QWidget *picker) { PickRow(picker, "Строка"); },
                           [&](QWidget *card) {
                               Type(card, "Поле таблицы", "SKLAD_NAME");
                               Type(card, "Наименование", "Название");
                               Type(card, "Размер", "40");
                               ok(card);
                           }});
    add(*conf->WinTblFld, {[](QWidget *card) { Pick(card, "Тип поля"); },
                           [](QWidget *picker) { PickRow(picker, "Ссылка"); },
                           [](QWidget *card) { Pick(card, "Внешний объект"); },
                           [](QWidget *picker) {
                               // Every row read first: the objects are more than a screenful.
                               QTest::keyClick(picker->findChild<QAbstractItemView *>(), Qt::Key_End, Qt::ControlModifier);
                               PickRow(picker, "Товары");
                           },
                           [](QWidget *card) { Pick(card, "Правило удаления"); },
                           [](QWidget *picker) { PickRow(picker, "Запрет удаления"); },
                           [&](QWidget *card) {
                               Type(card, "Поле таблицы", "PRODUCT_ID");
                               Type(card, "Наименование", "Товар");
                               ok(card);
                           }});
    EXPECT_EQ(Rows(*conf->WinTblFld), 3);
    add(*conf->WinTblTbl, {[&](QWidget *card) {
            Type(card, "Имя", "Main");
            tick(card, "По умолчанию");
            ok(card);
        }});
    ASSERT_FALSE(conf->TblTree->TblId().isNull());
    for (const QStringList &path : {QStringList{"SKLAD_NAME"}, QStringList{"PRODUCT_ID", "PRODUCT_NAME"}}) {
        QTreeWidgetItem *node = korvenix_test::ConfigFixture::Node(conf->TblTree->vt, path);
        ASSERT_NE(node, nullptr) << path.join(">").toStdString();
        node->setCheckState(0, Qt::Checked);
    }
    QTest::mouseClick(conf->TblTree->WinToolBar->GetByBtnType(TBtnType::btSave)->Widget(), Qt::LeftButton);
    add(*conf->WinTblCard, {[&](QWidget *card) {
            Type(card, "Имя", "Main");
            tick(card, "По умолчанию");
            ok(card);
        }});

    LogInAgain();
    ASSERT_TRUE(DataMenu().contains("Склады"));
    OpenData("SKLAD");
    auto *window = dynamic_cast<TMDITbl *>(form->MDIList->Last());
    ASSERT_NE(window, nullptr);
    TWinTbl &rows = *window->GetWinTbl();
    QAbstractItemModel *grid = Grid(rows)->model();
    QStringList columns;
    for (int c = 0; c < grid->columnCount(); ++c)
        columns << grid->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(columns, QStringList({"Название", "Товар>Наименование"}));
    for (int i = 0; i < 2; ++i)
        add(rows, {ok});
    EXPECT_EQ(Rows(rows), 2);
    EXPECT_EQ(Count("select count(*) from SKLAD"), 2);

    conf = OpenConfig();
    ASSERT_NE(conf, nullptr);
    ClickRow(*conf->WinTblObj, "SKLAD");
    BoxSeen question;
    {
        ModalScript script{AnswerBox(question, "&Да")};
        Key(*conf->WinTblObj, Qt::Key_Delete);
    }
    EXPECT_FALSE(InRepository("SKLAD"));
    EXPECT_FALSE(DataMenu().contains("Склады"));
    EXPECT_EQ(form->MDIList->Count(), 1);
    EXPECT_EQ(Count("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'SKLAD'"), 0);
    EXPECT_EQ(Count("select count(*) from RDB$GENERATORS where RDB$GENERATOR_NAME = 'SKLAD_ID'"), 0);
    EXPECT_EQ(Count("select count(*) from OBJ where OBJ_TABLE = 'SKLAD'"), 0);
    // The rows hanging from the object went with its row.
    for (const QString table : {"FLD", "TBL", "CARD"})
        EXPECT_EQ(Count(QString("select count(*) from %1 where OBJ_ID not in (select OBJ_ID from OBJ)").arg(table)), 0)
            << table.toStdString();
    EXPECT_EQ(Count("select count(*) from DEP D join FLD F on F.FLD_ID = D.FLD_ID where F.FLD_FIELD = 'PRODUCT_ID' "
                    "and F.OBJ_ID not in (select OBJ_ID from OBJ)"),
              0);
    EXPECT_EQ(O("PRODUCT")->ChildList->Count(), Count("select count(*) from DEP where OBJ_ID = :O", {{"O", O("PRODUCT")->Id()}}));
    form->grab();
    Key(*conf->WinTblObj, Qt::Key_F5);
    ClickRow(*conf->WinTblObj, "PRODUCT");
    EXPECT_EQ(ShownRows(), ExpectedRows(O("PRODUCT")->Id()));
}

} // namespace
