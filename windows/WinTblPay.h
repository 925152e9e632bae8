#pragma once

#include "WinTbl.h"

// The payments of a deal: a new payment is entered in a card of its own, which shows the deal's
// products; an existing one is changed in the plain card.
class TWinTblPay : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
};
