#include "SchemaFixture.h"

#include "AtrCard.h"
#include "AtrDep.h"
#include "AtrItemObjTempl.h"
#include "AtrObj.h"
#include "AtrTbl.h"
#include "ObjValue.h"

namespace {

using namespace korvenix_test;
using Values = QList<std::pair<QString, Variant>>;

// Objects, links, table views and cards, saved as the configurator's cards save them.
class AtrObjTest : public SchemaFixture
{
protected:
    template <typename TEditor>
    std::unique_ptr<TEditor> New(const QString &table, const Values &values, TObjLink *under = nullptr,
                                 const Variant &master = Variant::Null())
    {
        auto atr = std::make_unique<TEditor>();
        atr->SetObj(O(table));
        atr->SetDefaultValues(under, master);
        for (const auto &[field, value] : values)
            I(*atr, field)->SetValue(value);
        return atr;
    }
    // A new link from a master to a detail object, made in the master's list of child links.
    std::unique_ptr<TAtrDep> NewDep(const QString &master, const QString &detail, const Values &values)
    {
        return New<TAtrDep>("DEP", Values{{"OBJ_ID_V", O(detail)->Id()}} + values, Link("OBJ", "Obj-Dep"), O(master)->Id());
    }
    int Rows(const QString &table) { return Count("select count(*) from " + table); }
};

TEST_F(AtrObjTest, ANewObjectGetsItsTablePrimaryKeyAndSequence)
{
    DevMode = true;
    auto goods = New<TAtrObj>("OBJ", {{"OBJ_TABLE", "goods"}, {"OBJ_CAPT", "Товары склада"}});
    Save(*goods);
    EXPECT_EQ(Schema("GOODS", "GOODS_ID"), Variant("PK not null"));
    EXPECT_EQ(Constraint("PK_GOODS_ID"), Variant("PRIMARY KEY GOODS"));
    EXPECT_EQ(goods->IBSQLC->SQLText(), "create sequence GOODS_ID");
    const TFld *key = O("GOODS")->PKFld;
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Field(), "GOODS_ID");
    EXPECT_EQ(key->Capt(), "Код");
    EXPECT_TRUE(key->Sys() && key->NotNull());
    EXPECT_EQ(O("GOODS")->GetNewId(), 1);

    DevMode = false;   // the table and its key column are named by their keys
    auto plain = New<TAtrObj>("OBJ", {{"OBJ_CAPT", "Без имени"}});
    Save(*plain);
    const QString table = "TBL" + plain->RecId().toString();
    const TFld *plainKey = O(table)->PKFld;
    ASSERT_NE(plainKey, nullptr);
    EXPECT_EQ(plainKey->Field(), "FLD" + QString::number(plainKey->Id()));
    EXPECT_EQ(Constraint("PK_" + plainKey->Field()), Variant("PRIMARY KEY " + table));
    EXPECT_EQ(O(table)->GetNewId(), 1);

    DevMode = true;
    const int objects = Rows("OBJ");
    for (const QString name : {"склад", "order", "A2345678901234567890123456"}) {   // the last: PK_..._ID too long
        auto bad = New<TAtrObj>("OBJ", {{"OBJ_TABLE", name}});
        EXPECT_EQ(Refusal(*bad).second, "OBJ_TABLE") << name.toStdString();
    }
    EXPECT_EQ(Rows("OBJ"), objects);
}

TEST_F(AtrObjTest, ANewLinkAddsItsColumnAndForeignKey)
{
    const struct {
        TFKRule rule;
        QString column, onDelete;
    } cases[] = {{TFKRule::fkCascade, "supplier", "CASCADE"}, {TFKRule::fkSetNull, "buyer", "SET NULL"}};
    for (const auto &c : cases) {
        auto dep = NewDep("CONTRAG", "PRODUCT", {{"FLD_FIELD_V", c.column}, {"FKRULE_ID", Rule(c.rule)}, {"DEP_NAME", c.column}});
        const int fields = Rows("FLD");
        Save(*dep);
        const QString column = c.column.toUpper();
        EXPECT_EQ(dep->IBSQLC->SQLText(), QString("alter table PRODUCT add constraint FK_PRODUCT_%1\rforeign key (%1) "
                                                  "references CONTRAG(CONTRAG_ID)\ron delete %2 on update CASCADE")
                                              .arg(column, c.onDelete));
        EXPECT_EQ(Schema("PRODUCT", column), Variant("FK"));
        EXPECT_EQ(Constraint("FK_PRODUCT_" + column), Variant("FOREIGN KEY PRODUCT " + c.onDelete + "/CASCADE"));
        EXPECT_EQ(Rows("FLD"), fields + 1);   // the link column's row, once
        const TObjLink *link = Link("CONTRAG", c.column);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->ChildFld(), F("PRODUCT", column));
        EXPECT_EQ(link->ChildFld()->FKObj(), O("CONTRAG"));
        EXPECT_EQ(link->ChildFld()->Capt(), O("CONTRAG")->Capt());
        EXPECT_GE(O("PRODUCT")->ParentList->IndexOf(link), 0);
        EXPECT_TRUE(link->Det() && link->MainDep());
    }
}

TEST_F(AtrObjTest, ALinkIsRefusedBeforeAnythingIsWrittenAndAFailedCommitLeavesNothing)
{
    const QString missing = "Невозможно добавить запись для объекта \"Связи\", т.к. для поля \"%1\" не указано значение.";
    const struct {
        Values values;
        QString message, item;
    } cases[] = {
        {{{"OBJ_ID_V", Variant::Null()}, {"FLD_FIELD_V", "S1"}}, missing.arg("Подчинённый объект"), "OBJ_ID_V"},
        {{{"FLD_FIELD_V", "S1"}, {"FKRULE_ID", Variant::Null()}}, missing.arg("Правило удаления"), "FKRULE_ID"},
        {{{"FLD_FIELD_V", "цена"}}, "Недопустимое имя для поля \"Поле таблицы\": имя \"цена\"", "FLD_FIELD_V"},
        {{{"FLD_FIELD_V", "SUPPLIER_OF_THE_PRODUCT"}},   // FK_PRODUCT_... is too long
         "Недопустимое имя для поля \"Поле таблицы\": длина имени \"FK_PRODUCT_SUPPLIER_OF_THE_PRODUCT\"", "FLD_FIELD_V"},
    };
    const QString shape = Shape();
    const int fields = Rows("FLD"), links = Rows("DEP");
    for (const auto &c : cases) {
        auto dep = NewDep("CONTRAG", "PRODUCT", c.values);
        const auto [message, item] = Refusal(*dep);
        EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
        EXPECT_EQ(item, c.item);
    }
    // Products exist, so a not-null column fails when the transaction commits.
    auto notNull = NewDep("CONTRAG", "PRODUCT", {{"FLD_FIELD_V", "SUPPLIER"}, {"FLD_NOTNULL_V", true}});
    EXPECT_NE(SaveError(*notNull), "no error");
    EXPECT_EQ(Schema("PRODUCT", "SUPPLIER"), Variant::Null());
    EXPECT_EQ(Constraint("FK_PRODUCT_SUPPLIER"), Variant::Null());
    EXPECT_EQ(Rows("FLD"), fields);
    EXPECT_EQ(Rows("DEP"), links);
    EXPECT_EQ(Shape(), shape);
}

TEST_F(AtrObjTest, SavingAnExistingObjectOrLinkRewritesTemplatesButKeepsItsSchema)
{
    TObj *paym = O("PRODPAYM");
    const int lastValue = Count("select max(OBJVALUE_ID) from OBJVALUE");
    auto obj = Load<TAtrObj>("OBJ", paym->Id(), {"OBJ_CAPT", "OBJ_TEMPL"});
    I(*obj, "OBJ_CAPT")->SetValue("Оплаты продуктов");
    Save(*obj);
    EXPECT_EQ(Count("select max(OBJVALUE_ID) from OBJVALUE"), lastValue);   // the template was not touched
    EXPECT_EQ(paym->Capt(), "Оплаты продуктов");

    TTemplFldList &templ = *dynamic_cast<TAtrItemObjTempl *>(I(*obj, "OBJ_TEMPL"))->TemplFldList;
    templ.Delete(0);   // the product's name through a two-field path stays
    templ.Modified = true;
    I(*obj, "OBJ_TEMPL")->SetValue("%s");
    Save(*obj);
    const Values owner = {{"O", paym->Id()}};
    EXPECT_EQ(Count("select count(*) from OBJVALUE where OBJ_ID = :O", owner), 1);
    EXPECT_GT(Count("select min(OBJVALUE_ID) from OBJVALUE where OBJ_ID = :O", owner), lastValue);   // new keys
    EXPECT_EQ(Count("select count(*) from OBJVALPT P join OBJVALUE V on V.OBJVALUE_ID = P.OBJVALUE_ID "
                    "where V.OBJ_ID = :O", owner),
              2);
    const Variant row = Scalar("select min(PRODPAYM_ID) from PRODPAYM");
    EXPECT_EQ(Variant(paym->GetValueById(row.toInt())),
              Scalar("select P.PRODUCT_NAME from PRODPAYM PP join DEALPROD D on D.DEALPROD_ID = PP.DEALPROD_ID "
                     "join PRODUCT P on P.PRODUCT_ID = D.PRODUCT_ID where PP.PRODPAYM_ID = :R", {{"R", row}}));

    auto renamed = Load<TAtrObj>("OBJ", paym->Id(), {"OBJ_TABLE"});
    I(*renamed, "OBJ_TABLE")->SetValue("PAYMENTS");
    EXPECT_EQ(Refusal(*renamed).second, "OBJ_TABLE");

    TObjLink *dealProd = Link("DEAL", "DealProd");
    auto dep = Load<TAtrDep>("DEP", dealProd->Id(), {"FKRULE_ID", "DEP_CAPT"});
    EXPECT_EQ(V(*dep, "FLD_FIELD_V"), Variant("DEAL_ID"));
    EXPECT_EQ(V(*dep, "OBJ_ID_V"), Variant(O("DEALPROD")->Id()));
    I(*dep, "FKRULE_ID")->SetValue(Rule(TFKRule::fkSetNull));
    EXPECT_EQ(Refusal(*dep).second, "FKRULE_ID");
    I(*dep, "FKRULE_ID")->SetValue(Rule(TFKRule::fkCascade));   // as it was
    I(*dep, "DEP_CAPT")->SetValue("Продукты");
    Save(*dep);
    EXPECT_EQ(dealProd->Capt(), "Продукты");
}

TEST_F(AtrObjTest, NewViewsAndCardsStartWithTheRootOfTheirTree)
{
    const QString root = "select count(*) || ':' || min(FLD_ID) || ':' || min(TBLTREE_LFT) || '-' || min(TBLTREE_RGT) "
                         "from TBLTREE where TBL_ID = :T";
    auto ofObject = New<TAtrTbl>("TBL", {{"OBJ_ID", O("PRODUCT")->Id()}, {"TBL_NAME", "Test"}});
    Save(*ofObject);
    EXPECT_EQ(Scalar(root, {{"T", ofObject->RecId()}}), Variant(QString("1:%1:1-2").arg(O("PRODUCT")->PKFld->Id())));
    auto ofLink = New<TAtrTbl>("TBL", {{"DEP_ID", Link("DEAL", "DealProd")->Id()}});
    Save(*ofLink);
    EXPECT_EQ(Scalar(root, {{"T", ofLink->RecId()}}), Variant(QString("1:%1:1-2").arg(O("DEALPROD")->PKFld->Id())));
    const int views = Rows("TBL");
    auto ofNothing = New<TAtrTbl>("TBL", {{"TBL_NAME", "Nothing"}});
    EXPECT_EQ(Refusal(*ofNothing).second, "OBJ_ID");
    EXPECT_EQ(Rows("TBL"), views);
    auto again = Load<TAtrTbl>("TBL", ofObject->RecId(), {"TBL_CAPT"});
    I(*again, "TBL_CAPT")->SetValue("Снова");
    Save(*again);
    EXPECT_EQ(Scalar(root, {{"T", ofObject->RecId()}}), Variant(QString("1:%1:1-2").arg(O("PRODUCT")->PKFld->Id())));

    const QString ctrlRoot = "select count(*) || ':' || min(CTRLTRTP_ID) || ':' || min(CTRLTREE_LFT) || '-' || "
                             "min(CTRLTREE_RGT) from CTRLTREE where CARD_ID = :C";
    const QString expectedRoot = QString("1:%1:1-2").arg(db.CtrlTreeTypeToCode(TCtrlType::ctRoot).toInt());
    for (int i = 0; i < 2; ++i) {
        auto card = New<TAtrCard>("CARD", {{"OBJ_ID", O("PRODUCT")->Id()}});
        Save(*card);
        const int width = Column("CARD", "CARD_WIDTH", card->RecId()).toInt();
        EXPECT_TRUE(width % 8 == 0 && width >= 240 && width <= 320) << width;
        EXPECT_EQ(Column("CARD", "CARD_HEIGHTATR", card->RecId()), Variant(200));
        EXPECT_EQ(Column("CARD", "CARD_HEIGHTDET", card->RecId()), Variant(200));
        EXPECT_EQ(Scalar(ctrlRoot, {{"C", card->RecId()}}), Variant(expectedRoot));
        I(*card, "CARD_CAPT")->SetValue("Снова");
        Save(*card);
        EXPECT_EQ(Scalar(ctrlRoot, {{"C", card->RecId()}}), Variant(expectedRoot));
    }
}

} // namespace
