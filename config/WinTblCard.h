#pragma once

#include "WinCardCard.h"
#include "WinTbl.h"

// The configurator's list of the cards (CARD) of an object; its rows open the card "Card".
class TWinTblCard : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    std::unique_ptr<TWinCard> CreateCard(bool /*ANew: one card for both*/) override
    {
        return CreateMetaCard<TWinCardCard>(Owner, vt, TblObj(), QStringLiteral("Card"));
    }
    // The card's row, if the list holds it, shows what is stored now: the designer writes the
    // card's sizes past the list.
    void Reread(const Variant &ACardId)
    {
        if (const int row = RowOfKey(ACardId); row >= 0)
            RefreshRow(row, ACardId);
    }
};
