#pragma once

#include "AtrDetBook.h"
#include "MetaWin.h"

// The attribute panel of a detail book's card; the book's links are ticked in the check list.
class TWinAtrDetBook : public TWinMetaAtr<TAtrDetBook>
{
public:
    using TWinMetaAtr::TWinMetaAtr;
};
