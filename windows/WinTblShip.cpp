#include "WinTblShip.h"

#include "Main.h"
#include "WinCardShip.h"

std::unique_ptr<TWinCard> TWinTblShip::CreateCard(bool ANew)
{
    if (!ANew)
        return TWinTbl::CreateCard(ANew);
    auto card = std::make_unique<TWinCardShip>(Owner, vt, nullptr);
    card->InitByUser(TblObj(), DB->CurrentUserId);
    return card;
}
