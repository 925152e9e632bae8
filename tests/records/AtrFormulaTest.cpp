#include "AtrFixture.h"

namespace {

using namespace korvenix_test;

// Each test rewrites formulas of the demo, then reads the repository again.
class AtrFormulaTest : public AtrFixture
{
protected:
    std::unique_ptr<TAtr> NewRecord(const QString &table, const QStringList &fields, TObjLink *link = nullptr,
                                    const Variant &parentId = Variant::Null())
    {
        auto atr = Editor(table, fields);
        atr->SetDefaultValues(link, parentId);
        return atr;
    }
};

TEST_F(AtrFormulaTest, ChangesRippleThroughChainsAndAZeroDivisorStopsThem)
{
    // Delivery = price / quantity, read in turn by the amount (quantity * price + delivery).
    SetFormula("DEALPROD.DEALPROD_DLV", Fn("Div", {Fv("DEALPROD.DEALPROD_PRICE"), Fv("DEALPROD.DEALPROD_SHIP")}));
    db.Init();
    auto atr = NewRecord("DEALPROD", {"DEALPROD_SHIP"});
    EXPECT_TRUE(V(*atr, "DEALPROD_DLV").isNull());   // Null operands give Null, even over 0
    EXPECT_TRUE(V(*atr, "DEALPROD_PAY").isNull());
    EXPECT_FALSE(atr->Modified());
    I(*atr, "DEALPROD_SHIP")->SetValue(2);
    I(*atr, "DEALPROD_PRICE")->SetValue(10);
    EXPECT_EQ(V(*atr, "DEALPROD_DLV"), Variant(5.0));
    EXPECT_EQ(V(*atr, "DEALPROD_PAY"), Variant(25.0));
    EXPECT_EQ(I(*atr, "DEALPROD_PRICE")->FormulaAtrItemList.Count(), 2);   // each reader once
    EXPECT_EQ(ErrorOf([&] { I(*atr, "DEALPROD_SHIP")->SetValue(0); }),
              "Ошибка вычисления поля \"Доставка\" объекта \"Товары сделок\": Деление на ноль.");
    EXPECT_EQ(V(*atr, "DEALPROD_SHIP"), Variant(0.0));
    EXPECT_EQ(V(*atr, "DEALPROD_DLV"), Variant(5.0));

    // A load shows what is stored and recomputes nothing until a value changes.
    auto stored = Editor("DEALPROD");
    stored->SetRecId(Scalar("select min(DEALPROD_ID) from DEALPROD"));
    const Variant price = V(*stored, "DEALPROD_PRICE"), delivery = V(*stored, "DEALPROD_DLV");
    EXPECT_EQ(delivery, Variant(0.0));
    I(*stored, "DEALPROD_SHIP")->SetValue(4);
    EXPECT_EQ(V(*stored, "DEALPROD_PRICE"), price);
    EXPECT_DOUBLE_EQ(V(*stored, "DEALPROD_PAY").toDouble(), 4 * price.toDouble() + (price / Variant(4.0)).toDouble());
}

TEST_F(AtrFormulaTest, FormulasDependingOnEachOtherInACircleAreRefused)
{
    SetFormula("DEALPROD.DEALPROD_DLV", Fn("Add", {Fv("DEALPROD.DEALPROD_PAY"), Cn("1")}));
    SetFormula("PRODUCT.PRODUCT_WEIGHT", Fn("Add", {Fv("PRODUCT.PRODUCT_WEIGHT"), Cn("1")}));
    db.Init();
    const QString message = "Формулы полей объекта \"%1\" зависят друг от друга по кругу: %2.";
    auto atr = Editor("DEALPROD");
    EXPECT_EQ(ErrorOf([&] { atr->SetDefaultValues(nullptr, Variant::Null()); }),
              message.arg("Товары сделок", "\"К оплате\" -> \"Доставка\" -> \"К оплате\""));
    EXPECT_EQ(ErrorOf([&] { Editor("PRODUCT")->SetRecId(Scalar("select min(PRODUCT_ID) from PRODUCT")); }),
              message.arg("Товары", "\"Вес, кг\" -> \"Вес, кг\""));
    EXPECT_NO_THROW(I(*atr, "DEALPROD_PAY")->SetValue(1));   // refused formulas no longer react
}

TEST_F(AtrFormulaTest, TheMasterKeyFormulaReadsTheMastersOwnLink)
{
    const Variant deal = Scalar("select min(DEAL_ID) from DEAL");
    const Variant payer = Column("DEAL", "CONTRAG_ID", deal);
    auto payment = NewRecord("DEALPAYM", {"DEAL_ID"});   // without a master the payer is the user's
    I(*payment, "DEAL_ID")->SetValue(deal);
    EXPECT_TRUE(V(*payment, "CONTRAG_ID").isNull());
    payment->SetDefaultValues(Link("DEAL", "DealPaym"), deal);
    EXPECT_EQ(V(*payment, "CONTRAG_ID"), payer);
    EXPECT_TRUE(I(*payment, "CONTRAG_ID")->ForInsert);
    EXPECT_EQ(F("DEALPAYM", "CONTRAG_ID")->Formula->FormulaTreeRoot->Func(), TFormulaFunc::ffParId);
    Save(*payment);
    EXPECT_EQ(Column("DEALPAYM", "CONTRAG_ID", payment->RecId()), payer);
    auto loaded = Editor("DEALPAYM");   // a loaded payment keeps its payer
    loaded->SetRecId(payment->RecId());
    I(*loaded, "DEAL_ID")->SetValue(Scalar("select max(DEAL_ID) from DEAL"));
    EXPECT_EQ(V(*loaded, "CONTRAG_ID"), payer);

    repo.Exec("update DEP set DEP_MAIN = 0 where DEP_NAME = 'Contrag-Deal'");
    payment.reset();
    loaded.reset();
    db.Init();   // the deal's link to its counterparty is no longer its main one
    EXPECT_TRUE(V(*NewRecord("DEALPAYM", {}, Link("DEAL", "DealPaym"), deal), "CONTRAG_ID").isNull());
}

} // namespace
