#pragma once

#include "WinCardDeal.h"

// The card of a new shipment of a deal: the shipment's fields above, the deal's products below
// with the quantities still to ship filled in, to be changed in place. OK saves the shipment with
// one row per product given a quantity, in one write transaction. A shipment that exists is
// changed in the plain card.
class TWinCardShip : public TWinCardDeal
{
public:
    using TWinCardDeal::TWinCardDeal;

    void OkClick() override;
    void CreateWinDetBook() override;

protected:
    QString DealLinkName() const override;
    // What is left to ship of each product.
    void ProductsShown() override;
};
