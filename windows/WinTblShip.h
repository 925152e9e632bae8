#pragma once

#include "WinTbl.h"

// The shipments of a deal: a new shipment is entered in a card of its own, which shows the deal's
// products; an existing one is changed in the plain card.
class TWinTblShip : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
};
