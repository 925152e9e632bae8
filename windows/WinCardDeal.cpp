#include "WinCardDeal.h"

#include "Atr.h"
#include "DealProdRows.h"
#include "Func.h"
#include "ObjLink.h"
#include "WinAtr.h"
#include "WinCtrlTree.h"
#include "WinDetBook.h"
#include "WinTblProd.h"

TWinTblProd *TWinCardDeal::Products() const
{
    return TWinTblProd::Checked(*WinDetBook, {}, DetPanel);
}

void TWinCardDeal::Commit()
{
    if (!WinAtr->Atr->New())
        TWinCard::Commit();
}

TFld *TWinCardDeal::DealFld() const
{
    return ChildLinkByName(TWinTblProd::DealProdLink()->ParentObj(), DealLinkName())->ChildFld();
}

void TWinCardDeal::InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    TWinCard::InitDefaultValues(AObjLink, AParentId);
    FShownDeal = Variant::Null();
    // Opened from the list of all payments or shipments: the deal is chosen here.
    if (TWinCtrlTree *deal = WinAtr->GetWinCtrlTreeByFld(DealFld()))
        deal->OnChange = [this](TWinCtrlTree *) { ShowDealProducts(); };
    ShowDealProducts();
}

void TWinCardDeal::ShowDealProducts()
{
    const Variant deal = WinAtr->Atr->GetAddByFld(DealFld())->Value();
    // The same deal chosen again keeps the ticks and quantities the user gave its products.
    if (!deal.isEmptyOrNull() && deal == FShownDeal)
        return;
    FShownDeal = Variant::Null();
    if (deal.isEmptyOrNull()) {
        WinDetBook->Close();
        return;
    }
    OpenWinDetBook(deal);
    Products()->GotoEnd();
    ProductsShown();
    FShownDeal = deal;
}

void TWinCardDeal::CheckDealChosen()
{
    if (!WinAtr->Atr->GetAddByFld(DealFld())->Value().isEmptyOrNull())
        return;
    if (TWinCtrlTree *deal = WinAtr->GetWinCtrlTreeByFld(DealFld()))
        deal->SetFocus();
    throw ExceptionPos(QStringLiteral("Не выбрана сделка."), Form);
}
