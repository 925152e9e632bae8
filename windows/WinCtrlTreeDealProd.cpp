#include "WinCtrlTreeDealProd.h"

#include "AtrDealRow.h"
#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Obj.h"
#include "WinSelVal.h"
#include "WinTbl.h"

TWinCtrlTreeDealProd::TWinCtrlTreeDealProd(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree, TAtrDealRow &ARow)
    : TWinCtrlTreeObj(AOwner, AParent, ACtrlTree), FRow(ARow)
{
}

void TWinCtrlTreeDealProd::SetFilterParams()
{
    const Variant deal = FRow.MasterDeal();
    if (deal.isEmptyOrNull())
        return;
    auto filter = std::make_unique<TFilter>();
    filter->CreateRoot(TFilterTreeType::fttEqual, Obj->GetFldByName(QStringLiteral("DEAL_ID")))->SetValue(deal);
    WinSelVal->WinTbl->FilterList->Add(std::move(filter));
}
