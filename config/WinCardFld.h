#pragma once

#include "MetaWin.h"
#include "WinAtrFld.h"

// The card of a field (FLD) in the configurator.
class TWinCardFld : public TWinMetaCard<TWinAtrFld>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
