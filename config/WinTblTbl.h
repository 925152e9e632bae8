#pragma once

#include "WinCardTbl.h"
#include "WinTbl.h"

// The configurator's list of the table views (TBL) of an object or of a link; its rows open the card "Tbl".
class TWinTblTbl : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    std::unique_ptr<TWinCard> CreateCard(bool /*ANew: one card for both*/) override
    {
        return CreateMetaCard<TWinCardTbl>(Owner, vt, TblObj(), QStringLiteral("Tbl"));
    }
};
