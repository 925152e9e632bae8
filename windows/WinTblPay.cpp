#include "WinTblPay.h"

#include "Main.h"
#include "WinCardPay.h"

std::unique_ptr<TWinCard> TWinTblPay::CreateCard(bool ANew)
{
    if (!ANew)
        return TWinTbl::CreateCard(ANew);
    auto card = std::make_unique<TWinCardPay>(Owner, vt, nullptr);
    card->InitByUser(TblObj(), DB->CurrentUserId);
    return card;
}
