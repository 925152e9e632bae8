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
    double DealSum(const Variant &deal) { return Column("DEAL", "DEAL_SUM", deal).toDouble(); }
    double Rate(const QString &curr)
    {
        return Scalar("select first 1 CURRATE_VALUE from CURRATE where CURR_ID = :C and CURRATE_DATE <= '2025-03-01' "
                      "order by CURRATE_DATE desc", {{"C", Id("CURR", curr)}}).toDouble();
    }
    // A product line under the deal, posted; a given price is typed over the computed one.
    std::unique_ptr<TAtr> NewLine(const TAtr &deal, const Variant &product, double qty, const Variant &price = {})
    {
        auto line = New("DEALPROD", {{"PRODUCT_ID", product}, {"DEALPROD_SHIP", qty}}, Link("DEAL", "DealProd"), deal.RecId());
        if (!price.isEmpty())
            I(*line, "DEALPROD_PRICE")->SetValue(price);
        line->Post();
        return line;
    }

    Variant contrag;
    double turnBefore = 0;
};

TEST_F(AtrEndToEndTest, ADealWithProductsAndAPaymentAfterAFailedPostRolledEverythingBack)
{
    db.StartTransaction();
    auto deal = New("DEAL", {{"DEAL_NUM", "E2E-1"}, {"CONTRAG_ID", contrag}, {"CURR_ID", Id("CURR", "USD")},
                             {"DEAL_DATE", QDate(2025, 3, 1)}});
    EXPECT_EQ(V(*deal, "USR_ID"), Variant(db.CurrentUserId));   // its user and rate come from its formulas
    EXPECT_DOUBLE_EQ(V(*deal, "DEAL_RATE").toDouble(), Rate("USD"));
    deal->Post();
    // The deal's date and currency stay invisible to other statements until the commit, so
    // these prices are typed (the card commits a new deal before its products for that reason).
    auto first = NewLine(*deal, Id("PRODUCT", "KB-0101"), 2, 890);
    EXPECT_NE(ErrorOf([&] { NewLine(*deal, 999999, 1, 10); }), "no error");   // no such product
    db.RollbackChanges();
    EXPECT_EQ(Count("select count(*) from DEAL where DEAL_NUM = 'E2E-1'"), 0);
    EXPECT_EQ(Count("select count(*) from DEALPROD where DEAL_ID = :ID", {{"ID", deal->RecId()}}), 0);
    EXPECT_DOUBLE_EQ(Turn(), turnBefore);

    db.StartTransaction();   // the same editors post again
    deal->Post();
    first->Post();
    NewLine(*deal, Id("PRODUCT", "PN-0101"), 10, 25.5);
    EXPECT_EQ(V(*first, "DEALPROD_PAY"), Variant(1780.0));
    deal->Commit();
    EXPECT_DOUBLE_EQ(DealSum(deal->RecId()), 2035);   // the summing triggers
    EXPECT_DOUBLE_EQ(Turn(), turnBefore + 2035);
    I(*deal, "DEAL_SUM");
    deal->RefreshArgFlieds();
    EXPECT_EQ(V(*deal, "DEAL_SUM"), Variant(2035.0));

    db.StartTransaction();
    auto printer = NewLine(*deal, Id("PRODUCT", "PR-1001"), 3);   // priced in euros, sold in dollars
    const double price = V(*printer, "DEALPROD_PRICE").toDouble();
    EXPECT_NEAR(price, 185.0 * Rate("EUR") / Rate("USD"), 0.005);
    auto payment = New("DEALPAYM", {{"DEALPAYM_DOC", "п/п 17"}}, Link("DEAL", "DealPaym"), deal->RecId());
    EXPECT_EQ(V(*payment, "DEALPAYM_DATE"), Variant(QDate::currentDate()));
    payment->Post();
    payment->Commit();
    EXPECT_DOUBLE_EQ(DealSum(deal->RecId()), 2035 + 3 * price);
    EXPECT_EQ(Column("DEALPAYM", "CONTRAG_ID", payment->RecId()), contrag);   // the deal's payer
}

} // namespace
