#include "AtrDep.h"
#include "AtrFld.h"
#include "ConfFixture.h"
#include "ObjLink.h"

namespace {

class MetaDeleteTest : public ConfFixture
{
protected:
    // Deletes the row showing the text under the object selected first, with the Delete key;
    // the boxes that come get the answers. The text of the last box.
    QString Delete(const QString &table, TWinTbl &list, const QString &row, const QString &answer = "&Да",
                   const QString &then = {})
    {
        ClickRow(*conf->WinTblObj, table);
        ClickRow(list, row);
        BoxSeen seen;
        const auto script = then.isEmpty() ? ModalScript{AnswerBox(seen, answer)}
                                           : ModalScript{AnswerBox(seen, answer), AnswerBox(seen, then)};
        Key(list, Qt::Key_Delete);
        return seen.Text;
    }
    bool Column(const QString &table, const QString &column)
    {
        return Count("select count(*) from RDB$RELATION_FIELDS where RDB$RELATION_NAME = :T and RDB$FIELD_NAME = :C",
                     {{"T", table}, {"C", column}}) > 0;
    }
    int Triggers(const QString &prefix)
    {
        return Count("select count(*) from RDB$TRIGGERS where RDB$TRIGGER_NAME starting with :P", {{"P", prefix}});
    }
    TWinTbl *DataWindow(const QString &capt2) const
    {
        for (TMDI *window : *form->MDIList)
            if (auto *data = dynamic_cast<TMDITbl *>(window); data && data->GetForm()->windowTitle() == capt2)
                return data->GetWinTbl();
        return nullptr;
    }
    // Neither column, nor field row, nor field in memory is left.
    bool FieldGone(const QString &table, const QString &field)
    {
        const TFldList &fields = *O(table)->FldList;
        return !Column(table, field) &&
               std::none_of(fields.begin(), fields.end(), [&](const TFld *f) { return f->Field() == field; }) &&
               Count("select count(*) from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID "
                     "where O.OBJ_TABLE = :T and F.FLD_FIELD = :F",
                     {{"T", table}, {"F", field}}) == 0;
    }
    // What the user does next with everything on the screen: it is painted, each open list read
    // again and clicked, each column tree saved. A freed entry still in use fails here.
    void UseEverything()
    {
        form->grab();
        for (TWinTbl *list : std::initializer_list<TWinTbl *>{conf->WinTblObj.get(), conf->WinTblFld.get(),
                                                              conf->WinTblDepChildObj.get(), conf->WinTblChildTbl.get(),
                                                              conf->WinTblParent.get(), conf->WinTblTbl.get()})
            if (IsOpen(*list)) {
                Key(*list, Qt::Key_F5);
                if (list->Count() > 0)
                    ClickRowAt(*list, 0);
            }
        for (TWinTree *tree : {conf->TblTree.get(), conf->TblTreeChild.get()})
            if (!tree->TblId().isNull())
                Press(*tree, TBtnType::btSave);
    }
};

TEST_F(MetaDeleteTest, SystemRowsKeysAndFieldsThatOthersReadAreNotDeleted)
{
    const int fields = Count("select count(*) from FLD"), links = Count("select count(*) from DEP");
    const struct {
        bool devMode;
        QString table;
        TWinTbl *list;
        QString row;
        QString message;
    } cases[] = {
        {false, "CURR", conf->WinTblObj.get(), "CURR", "Системный объект удалить нельзя."},
        {false, "CURR", conf->WinTblFld.get(), "CURR_CODE", "Системное поле удалить нельзя."},
        {false, "CURR", conf->WinTblDepChildObj.get(), "Curr-CurRate", "Системную связь удалить нельзя."},
        {true, "PRODUCT", conf->WinTblFld.get(), "PRODUCT_ID", "Ключевое поле \"Код\" удаляется только вместе с объектом."},
        {false, "DEALPROD", conf->WinTblFld.get(), "DEALPROD_DLV",
         "Удалить нельзя, удаляемое используют: формула поля \"К оплате\" объекта \"Товары сделок\"."},
        {false, "DEAL", conf->WinTblFld.get(), "DEAL_NUM",
         "Удалить нельзя, удаляемое используют: шаблон значений объекта \"Сделки\", шаблон значений объекта \"Товары "
         "сделок\", шаблон значений объекта \"Платежи по сделкам\", шаблон значений объекта \"Отгрузки по сделкам\"."},
        {false, "UNIT", conf->WinTblObj.get(), "UNIT",
         "Удалить нельзя, удаляемое используют: поле-ссылка \"Единица измерения\" объекта \"Товары\", шаблон значений "
         "объекта \"Товары\"."},
        // The configurator's own lists show the objects' table names.
        {true, "OBJ", conf->WinTblFld.get(), "OBJ_TABLE",
         "Удалить нельзя: удаляемое показывает сам конфигуратор в таблице \"Объекты\"."},
    };
    for (const auto &c : cases) {
        DevMode = c.devMode;
        EXPECT_EQ(Delete(c.table, *c.list, c.row, "OK"), c.message) << c.row.toStdString();
    }
    // A name that is no plain identifier never reaches a statement.
    O("PRODUCT")->GetFldByName("PRODUCT_CODE")->SetField("PRODUCT_CODE; drop table DEAL");
    EXPECT_TRUE(Delete("PRODUCT", *conf->WinTblFld, "PRODUCT_CODE", "&Да", "OK").startsWith("Удалить нельзя: имя"));
    EXPECT_EQ(Count("select count(*) from FLD"), fields);
    EXPECT_EQ(Count("select count(*) from DEP"), links);
    EXPECT_TRUE(Column("CURR", "CURR_CODE") && Column("PRODUCT", "PRODUCT_CODE") && InRepository("CURR"));
}

// A field goes with its column, a link with its link column and that column's field row, an object
// whose rows were shown in this login with its table and sequence. The data windows that show them
// close, the column trees are built again without them and keep their views' other ticks, the
// check list loses the link. For the object the read transaction starts again, after which the
// other windows read on, and the masters' summing fields that summed it become plain fields, as
// the database made them. After each the screen can be used on.
TEST_F(MetaDeleteTest, EntriesGoAndNothingShowsThemAnyMore)
{
    OpenData("PRODUCT");
    OpenData("UNIT");
    ClickRow(*conf->WinTblObj, "PRODUCT");
    ClickRowAt(*conf->WinTblTbl, 0);
    ClickRow(*conf->WinTblDepChildObj, "Product-DealProd");
    ClickRowAt(*conf->WinTblChildTbl, 0);
    ASSERT_EQ(conf->TblTree->vt->findItems("Артикул", Qt::MatchRecursive).size(), 1);
    ASSERT_NE(Node(conf->TblTreeChild->vt, {"PRODUCT_ID"}), nullptr);   // the product's fields shown
    ASSERT_EQ(conf->TblTreeChild->vt->findItems("Артикул", Qt::MatchRecursive).size(), 1);
    const int nodes = conf->TblTree->vt->topLevelItemCount(), ticks = Ticks(conf->TblTree->vt);
    EXPECT_EQ(Delete("PRODUCT", *conf->WinTblFld, "PRODUCT_CODE"), "Удалить запись?");
    EXPECT_TRUE(FieldGone("PRODUCT", "PRODUCT_CODE"));
    EXPECT_TRUE(DataWindow("Товары") == nullptr && DataWindow("Ед. изм.") != nullptr);
    EXPECT_EQ(conf->TblTree->vt->topLevelItemCount(), nodes - 1);
    EXPECT_EQ(Ticks(conf->TblTree->vt), ticks - 1);
    EXPECT_GT(Node(conf->TblTreeChild->vt, {"PRODUCT_ID"})->childCount(), 0);
    EXPECT_TRUE(conf->TblTreeChild->vt->findItems("Артикул", Qt::MatchRecursive).isEmpty());
    UseEverything();

    OpenData("PRODUCT");
    TObjLink *link = O("PRODGRP")->ChildList->GetByName("ProdGrp-Product");
    ClickRow(*conf->WinTblObj, "PRODGRP");
    const int checkLines = conf->WinDetCheckList->Count();
    EXPECT_EQ(Delete("PRODGRP", *conf->WinTblDepChildObj, "ProdGrp-Product"), "Удалить запись?");
    EXPECT_TRUE(FieldGone("PRODUCT", "PRODGRP_ID"));
    EXPECT_EQ(Count("select count(*) from DEP where DEP_NAME = 'ProdGrp-Product'"), 0);
    EXPECT_EQ(O("PRODUCT")->ParentList->IndexOf(link), -1);
    EXPECT_EQ(O("PRODGRP")->ChildList->GetByName("ProdGrp-Product"), nullptr);
    EXPECT_EQ(conf->WinDetCheckList->Count(), checkLines - 1);
    EXPECT_EQ(DataWindow("Товары"), nullptr);
    UseEverything();

    OpenData("PRODSHIP");
    OpenData("PRODUCT");
    Rows(*DataWindow("Отгрузка товаров"));
    const int products = Rows(*DataWindow("Товары"));
    ASSERT_NE(O("DEALSHIP")->GetFldByName("DEALSHIP_CNT")->AgrObjLink(), nullptr);
    EXPECT_EQ(Delete("PRODSHIP", *conf->WinTblObj, "PRODSHIP"), "Удалить запись?");
    EXPECT_EQ(Count("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'PRODSHIP'"), 0);
    EXPECT_FALSE(InRepository("PRODSHIP") || DataWindow("Отгрузка товаров"));
    for (const auto &[master, field] : {std::pair{"DEALSHIP", "DEALSHIP_CNT"}, {"DEALPROD", "DEALPROD_SHPD"}}) {
        const TFld *sum = O(master)->GetFldByName(field);
        EXPECT_TRUE(!sum->AgrObjLink() && !sum->AgrFld() && sum->DepIdAgr().isNull() && sum->FldIdAgr().isNull());
    }
    EXPECT_TRUE(IsOpen(*DataWindow("Товары")));
    EXPECT_EQ(Rows(*DataWindow("Товары")), products);
    UseEverything();
    // The master of the freed summing link opens its card.
    OpenData("DEALSHIP");
    ClickRowAt(*DataWindow("Отгрузки"), 0);
    ModalScript script{[](QWidget *card) { ClickButton(card, "Отмена"); }};
    Key(*DataWindow("Отгрузки"), Qt::Key_F2);
}

// A summing field goes with its three triggers and its column; one whose triggers were not all
// made goes as well. A field or link whose column a summing field of an object that stays reads,
// summed or linking, stays: the delete is refused naming the summing fields, and nothing changes, neither schema nor rows nor repository.
TEST_F(MetaDeleteTest, SummingFieldsGoWithTheTriggersTheyHaveAndWhatOthersSumStays)
{
    Repo().Exec("drop trigger DEALPROD_PAID_AU");
    for (const auto &[table, field] : {std::pair{"DEAL", "DEAL_PAID"}, {"DEALPROD", "DEALPROD_PAID"}}) {
        EXPECT_EQ(Delete(table, *conf->WinTblFld, field), "Удалить запись?");
        EXPECT_TRUE(Triggers(QString(field) + "_A") == 0 && FieldGone(table, field)) << field;
    }

    const auto summing = [this](const QString &table, const QString &field) {
        return QString("суммирующее поле \"%1\" объекта \"%2\"").arg(O(table)->GetFldByName(field)->Capt(),
                                                                        O(table)->Capt());
    };
    // Counterparties supplying products, and the sum of the prices of what they supply.
    const auto save = [](TAtr &atr, const QList<std::pair<QString, Variant>> &values) {
        for (const auto &[field, value] : values)
            atr.GetAddByFldName(field)->SetValue(value);
        DB->StartTransaction();
        atr.Post();
        atr.Commit();
    };
    TAtrDep dep;
    dep.SetObj(O("DEP"));
    dep.SetDefaultValues(O("OBJ")->ChildList->GetByName("Obj-Dep"), O("CONTRAG")->Id());
    save(dep, {{"OBJ_ID_V", O("PRODUCT")->Id()}, {"FLD_FIELD_V", "SUPPLIER"}, {"DEP_NAME", "Supplier"}});
    TAtrFld supplied;
    supplied.SetObj(O("FLD"));
    supplied.SetDefaultValues(nullptr, Variant::Null());
    save(supplied, {{"OBJ_ID", O("CONTRAG")->Id()}, {"FLDTYPE_ID", DB->FldTypeToCode(TFldType::ftNum183)},
                    {"FLD_FIELD", "SUPPLIED"}, {"DEP_ID_AGR", O("CONTRAG")->ChildList->GetByName("Supplier")->Id()},
                    {"FLD_ID_AGR", O("PRODUCT")->GetFldByName("PRODUCT_WEIGHT")->Id()}});

    TFld *sum = O("DEAL")->GetFldByName("DEAL_SUM");
    const struct { QString table; TWinTbl *list; QString row, column, readers; } cases[] = {
        {"DEAL", conf->WinTblFld.get(), "DEAL_SUM", "DEAL.DEAL_SUM", summing("CONTRAG", "CONTRAG_TURN")},
        {"PRODPAYM", conf->WinTblFld.get(), "PRODPAYM_SUM", "PRODPAYM.PRODPAYM_SUM", summing("DEALPAYM", "DEALPAYM_SUM")},
        {"PRODUCT", conf->WinTblFld.get(), "PRODUCT_WEIGHT", "PRODUCT.PRODUCT_WEIGHT", summing("CONTRAG", "SUPPLIED")},
        {"PRODUCT", conf->WinTblFld.get(), "SUPPLIER", "PRODUCT.SUPPLIER", summing("CONTRAG", "SUPPLIED")},
        {"CONTRAG", conf->WinTblDepChildObj.get(), "Supplier", "PRODUCT.SUPPLIER", summing("CONTRAG", "SUPPLIED")},
    };
    for (const auto &c : cases) {
        const int triggers = Triggers(""), fields = Count("select count(*) from FLD"), links = Count("select count(*) from DEP");
        const QString table = c.column.section('.', 0, 0), column = c.column.section('.', 1);
        EXPECT_EQ(Delete(c.table, *c.list, c.row, "OK"), "Удалить нельзя, удаляемое используют: " + c.readers + ".");
        EXPECT_TRUE(Column(table, column) && Triggers("") == triggers) << c.row.toStdString();
        EXPECT_TRUE(Count("select count(*) from FLD") == fields && Count("select count(*) from DEP") == links);
        EXPECT_NE(O(table)->GetFldByName(column), nullptr);
    }
    EXPECT_EQ(O("DEAL")->GetFldByName("DEAL_SUM"), sum);
    EXPECT_EQ(O("CONTRAG")->GetFldByName("CONTRAG_TURN")->AgrFld(), sum);
    EXPECT_EQ(O("CONTRAG")->GetFldByName("SUPPLIED")->AgrObjLink(), O("CONTRAG")->ChildList->GetByName("Supplier"));
}

// The other lists of the object's pages read their rows again when a delete takes away what they
// show: the link a deleted link field made among the object's links to its masters, and for a
// link of an object to itself also the link column among its fields, or the link among its links
// to its details.
TEST_F(MetaDeleteTest, ListsShowingADeletedFieldOrLinkReadTheirRowsAgain)
{
    const auto shows = [](TWinTbl &list, const QString &text) {
        list.GotoEnd();
        const QAbstractItemModel *model = Grid(list)->model();
        for (int column = 0; column < model->columnCount(); ++column)
            if (!model->match(model->index(0, column), Qt::DisplayRole, text, 1, Qt::MatchExactly).isEmpty())
                return true;
        return false;
    };
    ClickRow(*conf->WinTblObj, "PRODUCT");
    ASSERT_TRUE(shows(*conf->WinTblParent, "ProdGrp-Product"));
    EXPECT_EQ(Delete("PRODUCT", *conf->WinTblFld, "PRODGRP_ID"), "Удалить запись?");
    EXPECT_FALSE(shows(*conf->WinTblParent, "ProdGrp-Product"));
    EXPECT_TRUE(shows(*conf->WinTblParent, "Unit-Product"));
    UseEverything();

    // Counterparties heading counterparties, twice.
    for (const QString column : {"HEAD_ID", "HEAD2_ID"}) {
        TAtrDep dep;
        dep.SetObj(O("DEP"));
        dep.SetDefaultValues(O("OBJ")->ChildList->GetByName("Obj-Dep"), O("CONTRAG")->Id());
        for (const auto &[field, value] : {std::pair<QString, Variant>{"OBJ_ID_V", O("CONTRAG")->Id()},
                                           {"FLD_FIELD_V", column}, {"DEP_NAME", column + "-link"}})
            dep.GetAddByFldName(field)->SetValue(value);
        DB->StartTransaction();
        dep.Post();
        dep.Commit();
    }
    ClickRow(*conf->WinTblObj, "CONTRAG");
    ASSERT_TRUE(shows(*conf->WinTblFld, "HEAD_ID") && shows(*conf->WinTblParent, "HEAD_ID-link"));
    EXPECT_EQ(Delete("CONTRAG", *conf->WinTblDepChildObj, "HEAD_ID-link"), "Удалить запись?");
    EXPECT_FALSE(shows(*conf->WinTblFld, "HEAD_ID") || shows(*conf->WinTblParent, "HEAD_ID-link"));
    UseEverything();
    ClickRow(*conf->WinTblObj, "CONTRAG");
    ASSERT_TRUE(shows(*conf->WinTblDepChildObj, "HEAD2_ID-link"));
    EXPECT_EQ(Delete("CONTRAG", *conf->WinTblFld, "HEAD2_ID"), "Удалить запись?");
    EXPECT_FALSE(shows(*conf->WinTblDepChildObj, "HEAD2_ID-link") || shows(*conf->WinTblParent, "HEAD2_ID-link"));
    EXPECT_EQ(O("CONTRAG")->ChildList->Count(), Count("select count(*) from DEP where OBJ_ID = :O", {{"O", O("CONTRAG")->Id()}}));
    UseEverything();
}

} // namespace
