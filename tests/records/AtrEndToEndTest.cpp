#include "AtrFixture.h"

namespace {

using namespace korvenix_test;

// A deal with its products and a payment, entered through record editors as the cards do it.
class AtrEndToEndTest : public AtrFixture
{
protected:
    void SetUp() override
    {
        AtrFixture::SetUp();
        contrag = Scalar("select min(CONTRAG_ID) from CONTRAG");
        turnBefore = Turn();
    }
    Variant Id(const QString &table, const QString &code) { return Key(table, table + "_CODE", code); }
    double Turn() { return Column("CONTRAG", "CONTRAG_TURN", contrag).toDouble(); }
    double Rate(const QString &curr)
    {
        return Scalar("select first 1 CURRATE_VALUE from CURRATE where CURR_ID = :C and CURRATE_DATE <= '2025-03-01' "
                      "order by CURRATE_DATE desc", {{"C", Id("CURR", curr)}}).toDouble();
    }
    std::unique_ptr<TAtr> NewDeal(const QString &number)
    {
        auto deal = Editor("DEAL", {"DEAL_NUM", "CONTRAG_ID", "DEAL_SUM"});
        deal->SetDefaultValues(nullptr, Variant::Null());
        EXPECT_EQ(V(*deal, "USR_ID"), Variant(db.CurrentUserId));
        I(*deal, "DEAL_NUM")->SetValue(number);
        I(*deal, "CONTRAG_ID")->SetValue(contrag);
        I(*deal, "CURR_ID")->SetValue(Id("CURR", "USD"));
        I(*deal, "DEAL_DATE")->SetValue(QDate(2025, 3, 1));
        EXPECT_DOUBLE_EQ(V(*deal, "DEAL_RATE").toDouble(), Rate("USD"));
        return deal;
    }
    // A product line under the deal, posted; a given price is typed over the computed one.
    std::unique_ptr<TAtr> NewLine(const TAtr &deal, const QString &product, double qty, const Variant &price = {})
    {
        auto line = Editor("DEALPROD", {"PRODUCT_ID", "DEALPROD_SHIP"});
        line->SetDefaultValues(Link("DEAL", "DealProd"), deal.RecId());
        I(*line, "PRODUCT_ID")->SetValue(Id("PRODUCT", product));
        I(*line, "DEALPROD_SHIP")->SetValue(qty);
        if (!price.isEmpty())
            I(*line, "DEALPROD_PRICE")->SetValue(price);
        line->Post();
        return line;
    }
    double DealSum(const Variant &deal) { return Column("DEAL", "DEAL_SUM", deal).toDouble(); }

    Variant contrag;
    double turnBefore = 0;
};

TEST_F(AtrEndToEndTest, ADealWithProductsAndAPayment)
{
    db.StartTransaction();
    auto deal = NewDeal("E2E-1");
    deal->Post();
    // The deal's date and currency stay invisible to other statements until the commit, so
    // these prices are typed (the card commits a new deal before its products for that reason).
    auto first = NewLine(*deal, "KB-0101", 2, 890);
    NewLine(*deal, "PN-0101", 10, 25.5);
    EXPECT_EQ(V(*first, "DEAL_ID"), deal->RecId());
    EXPECT_EQ(V(*first, "DEALPROD_PAY"), Variant(1780.0));
    deal->Commit();
    EXPECT_DOUBLE_EQ(DealSum(deal->RecId()), 2035);   // the summing triggers
    EXPECT_DOUBLE_EQ(Turn(), turnBefore + 2035);
    deal->RefreshArgFlieds();
    EXPECT_EQ(V(*deal, "DEAL_SUM"), Variant(2035.0));
    EXPECT_FALSE(deal->Modified());

    db.StartTransaction();
    auto printer = NewLine(*deal, "PR-1001", 3);   // priced in euros, sold in dollars
    const double price = V(*printer, "DEALPROD_PRICE").toDouble();
    EXPECT_NEAR(price, 185.0 * Rate("EUR") / Rate("USD"), 0.005);
    EXPECT_DOUBLE_EQ(V(*printer, "DEALPROD_PAY").toDouble(), 3 * price);
    auto payment = Editor("DEALPAYM", {"DEALPAYM_DOC"});
    payment->SetDefaultValues(Link("DEAL", "DealPaym"), deal->RecId());
    EXPECT_EQ(V(*payment, "DEALPAYM_DATE"), Variant(QDate::currentDate()));
    I(*payment, "DEALPAYM_DOC")->SetValue("п/п 17");
    payment->Post();
    payment->Commit();
    EXPECT_DOUBLE_EQ(DealSum(deal->RecId()), 2035 + 3 * price);
    EXPECT_EQ(Column("DEALPAYM", "CONTRAG_ID", payment->RecId()), contrag);   // the deal's payer
}

TEST_F(AtrEndToEndTest, AFailingPostRollsBackEverythingAndTheEditorsPostAgain)
{
    db.StartTransaction();
    auto deal = NewDeal("E2E-2");
    deal->Post();
    auto good = NewLine(*deal, "MS-0101", 4, 450);
    auto bad = Editor("DEALPROD", {"PRODUCT_ID", "DEALPROD_SHIP", "DEALPROD_PRICE"});
    bad->SetDefaultValues(Link("DEAL", "DealProd"), deal->RecId());
    I(*bad, "PRODUCT_ID")->SetValue(999999);   // no such product
    I(*bad, "DEALPROD_PRICE")->SetValue(10);
    EXPECT_NE(ErrorOf([&] { bad->Post(); }), "no error");
    db.RollbackChanges();
    EXPECT_EQ(Scalar("select count(*) from DEAL where DEAL_NUM = 'E2E-2'"), Variant(0));
    EXPECT_EQ(Scalar("select count(*) from DEALPROD where DEAL_ID = :ID", {{"ID", deal->RecId()}}), Variant(0));
    EXPECT_DOUBLE_EQ(Turn(), turnBefore);

    I(*bad, "PRODUCT_ID")->SetValue(Id("PRODUCT", "MS-0202"));
    I(*bad, "DEALPROD_SHIP")->SetValue(1);
    I(*bad, "DEALPROD_PRICE")->SetValue(10);
    db.StartTransaction();
    for (TAtr *atr : {deal.get(), good.get(), bad.get()})
        atr->Post();
    deal->Commit();
    EXPECT_DOUBLE_EQ(DealSum(deal->RecId()), 1810);
    EXPECT_DOUBLE_EQ(Turn(), turnBefore + 1810);
}

} // namespace
