#pragma once

#include "MetaWin.h"
#include "WinAtrCard.h"

// The card of a card (CARD) in the configurator.
class TWinCardCard : public TWinMetaCard<TWinAtrCard>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
