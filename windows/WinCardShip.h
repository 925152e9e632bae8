#pragma once

#include "WinCard.h"

class TWinTblProd;

// The card of a new shipment of a deal: the shipment's fields above, the deal's products below
// with the quantities still to ship filled in, to be changed in place. OK saves the shipment with
// one row per product given a quantity, in one write transaction. A shipment that exists is
// changed in the plain card.
class TWinCardShip : public TWinCard
{
public:
    using TWinCard::TWinCard;

    void OkClick() override;
    void CreateWinDetBook() override;
    // A new shipment commits only with its product rows, at the end of OkClick.
    void Commit() override;
    // A new shipment of the deal AParentId: its products shown at once with what is left to ship.
    void InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

    TWinTblProd *Products() const;
};
