#pragma once

#include "MetaWin.h"
#include "WinAtrDep.h"

// The card of a link to a detail object (DEP) in the configurator.
class TWinCardChildDep : public TWinMetaCard<TWinAtrDep>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
