#include "WinDetBookPay.h"

#include "DetBook.h"
#include "ObjLink.h"
#include "WinTblProd.h"

void TWinDetBookPay::LoadDetBook(int /*AUserId*/, TObj * /*AObj*/)
{
    DetBook->ObjLinkList.Clear();
    DetBook->ObjLinkList.Add(TWinTblProd::DealProdLink());
}

void TWinDetBookPay::Init(TObj *AObj, int AUserId)
{
    TWinDetBook::Init(AObj, AUserId);
    TWinTblProd *products =
        TWinTblProd::Checked(*this, {QStringLiteral("DEALPROD_PAY"), QStringLiteral("DEALPROD_PAID")}, Parent);
    products->SetCheckSupport(true);
    products->HideOwnBtns();
    products->AddPaymBtns();
}
