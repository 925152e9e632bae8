#include "SchemaFixture.h"

#include "AtrCard.h"
#include "AtrDep.h"
#include "AtrItemObjTempl.h"
#include "AtrObj.h"
#include "AtrTbl.h"
#include "ObjValue.h"

namespace {

using namespace korvenix_test;

// Objects, links, table views and cards, saved as the configurator's cards save them.
class AtrObjTest : public SchemaFixture
{
protected:
    // A new link from a master to a detail object, made in the master's list of child links.
    std::unique_ptr<TAtrDep> NewDep(const Values &values)
    {
        return New<TAtrDep>("DEP", Values{{"OBJ_ID_V", O("PRODUCT")->Id()}} + values, Link("OBJ", "Obj-Dep"),
                            O("CONTRAG")->Id());
    }
};

TEST_F(AtrObjTest, ANewObjectGetsItsTablePrimaryKeyAndSequence)
{
    for (const bool dev : {true, false}) {   // outside developer mode table and key are named after their keys
        DevMode = dev;
        auto obj = New<TAtrObj>("OBJ", {{"OBJ_TABLE", dev ? Variant("goods") : Variant::Null()}});
        Save(*obj);
        const QString table = dev ? QString("GOODS") : "TBL" + obj->RecId().toString();
        const TFld *key = O(table)->PKFld;
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->Field(), dev ? QString("GOODS_ID") : "FLD" + QString::number(key->Id()));
        EXPECT_TRUE(key->Capt() == "Код" && key->Sys() && key->NotNull());
        EXPECT_EQ(Schema(table, key->Field()), Variant("PK not null"));
        EXPECT_EQ(Constraint("PK_" + key->Field()), Variant("PRIMARY KEY " + table));
        EXPECT_EQ(O(table)->GetNewId(), 1);   // its sequence
    }
    DevMode = true;
    const int objects = Rows("OBJ");
    for (const QString name : {"склад", "order", "A2345678901234567890123456"})   // the last: PK_..._ID too long
        EXPECT_EQ(Refusal(*New<TAtrObj>("OBJ", {{"OBJ_TABLE", name}})).second, "OBJ_TABLE") << name.toStdString();
    EXPECT_EQ(Rows("OBJ"), objects);
}

TEST_F(AtrObjTest, ANewLinkAddsItsColumnAndForeignKey)
{
    for (const auto &[rule, column, onDelete] : {std::tuple{TFKRule::fkCascade, "SUPPLIER", "CASCADE"},
                                                 std::tuple{TFKRule::fkSetNull, "BUYER", "SET NULL"}}) {
        auto dep = NewDep({{"FLD_FIELD_V", QString(column).toLower()}, {"FKRULE_ID", Rule(rule)}, {"DEP_NAME", column}});
        const int fields = Rows("FLD");
        Save(*dep);
        EXPECT_EQ(dep->IBSQLC->SQLText(), QString("alter table PRODUCT add constraint FK_PRODUCT_%1\rforeign key (%1) "
                                                  "references CONTRAG(CONTRAG_ID)\ron delete %2 on update CASCADE")
                                              .arg(column, onDelete));
        EXPECT_EQ(Schema("PRODUCT", column), Variant("FK"));
        EXPECT_EQ(Constraint(QString("FK_PRODUCT_") + column), Variant(QString("FOREIGN KEY PRODUCT %1/CASCADE").arg(onDelete)));
        EXPECT_EQ(Rows("FLD"), fields + 1);   // the link column's row, once
        const TObjLink *link = Link("CONTRAG", column);
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->ChildFld() == F("PRODUCT", column) && link->ChildFld()->FKObj() == O("CONTRAG"));
        EXPECT_TRUE(O("PRODUCT")->ParentList->IndexOf(link) >= 0 && link->Det() && link->MainDep());
        EXPECT_EQ(link->ChildFld()->Capt(), O("CONTRAG")->Capt());
    }
}

TEST_F(AtrObjTest, ALinkIsRefusedBeforeAnythingIsWrittenAndAFailedCommitLeavesNothing)
{
    const QString missing = "Невозможно добавить запись для объекта \"Связи\", т.к. для поля \"%1\" не указано значение.";
    const QString badName = "Недопустимое имя для поля \"Поле таблицы\": ";
    const struct {
        Values values;
        QString message, item;
    } cases[] = {
        {{{"OBJ_ID_V", Variant::Null()}, {"FLD_FIELD_V", "S1"}}, missing.arg("Подчинённый объект"), "OBJ_ID_V"},
        {{{"FLD_FIELD_V", "S1"}, {"FKRULE_ID", Variant::Null()}}, missing.arg("Правило удаления"), "FKRULE_ID"},
        {{{"FLD_FIELD_V", "цена"}}, badName + "имя \"цена\"", "FLD_FIELD_V"},
        {{{"FLD_FIELD_V", "SUPPLIER_OF_THE_PRODUCT"}}, badName + "длина имени \"FK_PRODUCT_SUPPLIER_OF_THE_PRODUCT\"",
         "FLD_FIELD_V"},
        // products exist, so a not-null column fails only when the transaction commits
        {{{"FLD_FIELD_V", "SUPPLIER"}, {"FLD_NOTNULL_V", true}}, "unsuccessful metadata update", ""},
    };
    const QString shape = Shape();
    const int fields = Rows("FLD"), links = Rows("DEP");
    for (const auto &c : cases) {
        auto dep = NewDep(c.values);
        const auto [message, item] = Refusal(*dep);
        EXPECT_TRUE(message.startsWith(c.message) && item == c.item) << message.toStdString();
    }
    EXPECT_TRUE(Schema("PRODUCT", "SUPPLIER").isNull() && Constraint("FK_PRODUCT_SUPPLIER").isNull());
    EXPECT_TRUE(Rows("FLD") == fields && Rows("DEP") == links && Shape() == shape);
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
    // The old rows are gone, the new one has a new key.
    EXPECT_EQ(Scalar("select count(*) || iif(min(OBJVALUE_ID) > :M, ' new', ' old') from OBJVALUE where OBJ_ID = :O",
                     owner + Values{{"M", lastValue}}), Variant("1 new"));
    EXPECT_EQ(Count("select count(*) from OBJVALPT P join OBJVALUE V on V.OBJVALUE_ID = P.OBJVALUE_ID where V.OBJ_ID = :O",
                    owner), 2);
    EXPECT_TRUE(paym->TemplFldList->Count() == 1 && paym->TemplFldList->First()->Path->Count() == 2);

    auto renamed = Load<TAtrObj>("OBJ", paym->Id(), {"OBJ_TABLE"});
    I(*renamed, "OBJ_TABLE")->SetValue("PAYMENTS");
    EXPECT_EQ(Refusal(*renamed).second, "OBJ_TABLE");

    TObjLink *dealProd = Link("DEAL", "DealProd");
    auto dep = Load<TAtrDep>("DEP", dealProd->Id(), {"FKRULE_ID", "DEP_CAPT"});
    EXPECT_TRUE(V(*dep, "FLD_FIELD_V") == Variant("DEAL_ID") && V(*dep, "OBJ_ID_V") == Variant(O("DEALPROD")->Id()));
    I(*dep, "FKRULE_ID")->SetValue(Rule(TFKRule::fkSetNull));
    EXPECT_EQ(Refusal(*dep).second, "FKRULE_ID");
    I(*dep, "FKRULE_ID")->SetValue(Rule(TFKRule::fkCascade));   // as it was
    I(*dep, "DEP_CAPT")->SetValue("Продукты");
    Save(*dep);
    EXPECT_EQ(dealProd->Capt(), "Продукты");
}

TEST_F(AtrObjTest, NewViewsAndCardsStartWithTheRootOfTheirTree)
{
    const QString root = "select count(*) || ':' || min(%1) || ':' || min(%2_LFT) || '-' || min(%2_RGT) from %2 "
                         "where %3 = :K";
    const QString tblRoot = root.arg("FLD_ID", "TBLTREE", "TBL_ID"), cardRoot = root.arg("CTRLTRTP_ID", "CTRLTREE", "CARD_ID");
    const auto rootOf = [&](const QString &text, TAtr &atr) { return Scalar(text, {{"K", atr.RecId()}}).toString(); };
    auto ofObject = New<TAtrTbl>("TBL", {{"OBJ_ID", O("PRODUCT")->Id()}, {"TBL_NAME", "Test"}});
    auto ofLink = New<TAtrTbl>("TBL", {{"DEP_ID", Link("DEAL", "DealProd")->Id()}});
    auto ofNothing = New<TAtrTbl>("TBL", {{"TBL_NAME", "Nothing"}});
    Save(*ofObject);
    Save(*ofLink);
    const int views = Rows("TBL");
    EXPECT_EQ(Refusal(*ofNothing).second, "OBJ_ID");
    EXPECT_EQ(Rows("TBL"), views);
    EXPECT_EQ(rootOf(tblRoot, *ofObject), QString("1:%1:1-2").arg(O("PRODUCT")->PKFld->Id()));
    EXPECT_EQ(rootOf(tblRoot, *ofLink), QString("1:%1:1-2").arg(O("DEALPROD")->PKFld->Id()));

    for (int i = 0; i < 2; ++i) {
        auto card = New<TAtrCard>("CARD", {{"OBJ_ID", O("PRODUCT")->Id()}});
        Save(*card);
        I(*card, "CARD_CAPT")->SetValue("Снова");
        Save(*card);
        const int width = Column("CARD", "CARD_WIDTH", card->RecId()).toInt();
        EXPECT_TRUE(width % 8 == 0 && width >= 240 && width <= 320) << width;
        EXPECT_EQ(Scalar("select CARD_HEIGHTATR || '/' || CARD_HEIGHTDET from CARD where CARD_ID = :K",
                         {{"K", card->RecId()}}), Variant("200/200"));
        EXPECT_EQ(rootOf(cardRoot, *card), QString("1:%1:1-2").arg(db.CtrlTreeTypeToCode(TCtrlType::ctRoot).toInt()));
    }
}

} // namespace
