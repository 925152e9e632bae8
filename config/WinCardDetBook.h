#pragma once

#include "MetaWin.h"
#include "WinAtrDetBook.h"

// The card of a detail book (DETBOOK) in the configurator.
class TWinCardDetBook : public TWinMetaCard<TWinAtrDetBook>
{
public:
    using TWinMetaCard::TWinMetaCard;
};
