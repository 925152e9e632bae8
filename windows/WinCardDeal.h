#pragma once

#include "WinCard.h"

#include <QString>

class TFld;
class TWinTblProd;

// The card of a new payment or shipment of a deal: its fields above, the deal's products below.
// The products show as soon as the deal is known: at once under the deal's card, which gives it,
// or once the deal is chosen in a card opened from the payments' or shipments' own list, and
// again whenever another deal is chosen. OK writes the new record with its product rows in one
// write transaction; a record that exists is changed as in the plain card.
class TWinCardDeal : public TWinCard
{
public:
    using TWinCard::TWinCard;

    // A new record commits only with its product rows, at the end of OkClick.
    void Commit() override;
    // A new record; the products of its deal shown when the deal is given.
    void InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

    TWinTblProd *Products() const;

protected:
    // The deal's link to the records of this card ("DealPaym", "DealShip").
    virtual QString DealLinkName() const = 0;
    // What the products of a deal just shown propose: ticks, quantities.
    virtual void ProductsShown() = 0;
    // Before the products are read: a card opened from the payments' or shipments' own list
    // has none until its deal is chosen, and the refusal names the deal, not the products.
    void CheckDealChosen();

private:
    // The record's link field to its deal.
    TFld *DealFld() const;
    void ShowDealProducts();

    // The deal whose products the card shows; Null while none is shown.
    Variant FShownDeal;
};
