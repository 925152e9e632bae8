#pragma once

#include "MetaWin.h"
#include "WinAtrObj.h"

// The card of an object (OBJ) in the configurator.
class TWinCardObj : public TWinMetaCard<TWinAtrObj>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
