#pragma once

#include "MetaWin.h"
#include "WinAtrTbl.h"

// The card of a table view (TBL) in the configurator.
class TWinCardTbl : public TWinMetaCard<TWinAtrTbl>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
