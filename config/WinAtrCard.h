#pragma once

#include "AtrCard.h"
#include "MetaWin.h"

// The attribute panel of a card's card: a new card starts with the root of its controls and a
// size of its own.
class TWinAtrCard : public TWinMetaAtr<TAtrCard>
{
public:
    using TWinMetaAtr::TWinMetaAtr;
};
