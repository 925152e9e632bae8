#pragma once

#include "WinCardDeal.h"

#include <vector>

class TWinTblProd;

// One ticked product of a new payment: its key, what it still owes and its part of the
// payment, the amounts as Currency scaled by 10^4.
struct TDealProdSum
{
    Variant DealProdId;
    qint64 DealProdPay = 0;    // still due
    qint64 DealProdPaid = 0;   // its part of the payment
};
using TDealProdSumList = std::vector<TDealProdSum>;

// Spreads ASum over the products in proportion to what each still owes: each part rounded to
// the cent, halves away from zero, computed exactly on whole numbers; the last product takes
// what the rounding left over, so the parts always add up to ASum. What the products owe must
// add up to more than nothing.
void SpreadPayment(TDealProdSumList &AList, qint64 ASum);

// The card of a new payment of a deal: the payment's fields above, the deal's products below
// with the ones still owing ticked. OK spreads the payment's sum over the ticked products and
// saves the payment with one row per product in one write transaction. A payment that exists
// is changed in the plain card.
class TWinCardPay : public TWinCardDeal
{
public:
    using TWinCardDeal::TWinCardDeal;

    void OkClick() override;
    void CreateWinDetBook() override;

protected:
    QString DealLinkName() const override;
    // Those still owing ticked.
    void ProductsShown() override;

private:
    // The payment's sum from its control, checked.
    qint64 Sum() const;
    TDealProdSumList TickedProducts() const;
};
