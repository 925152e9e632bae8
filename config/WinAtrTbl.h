#pragma once

#include "AtrTbl.h"
#include "MetaWin.h"

// The attribute panel of a table view's card: a new view starts with the root of its columns.
class TWinAtrTbl : public TWinMetaAtr<TAtrTbl>
{
public:
    using TWinMetaAtr::TWinMetaAtr;
};
