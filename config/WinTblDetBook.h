#pragma once

#include "WinCardDetBook.h"
#include "WinTbl.h"

// The configurator's list of the detail books (DETBOOK) of an object; its rows open the card "DetBook".
class TWinTblDetBook : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    std::unique_ptr<TWinCard> CreateCard(bool /*ANew: one card for both*/) override
    {
        return CreateMetaCard<TWinCardDetBook>(Owner, vt, TblObj(), QStringLiteral("DetBook"));
    }
};
