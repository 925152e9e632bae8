#include "WinDetBookShip.h"

#include "DetBook.h"
#include "ObjLink.h"
#include "Obj.h"
#include "WinTblProd.h"

void TWinDetBookShip::LoadDetBook(int /*AUserId*/, TObj * /*AObj*/)
{
    DetBook->ObjLinkList.Clear();
    DetBook->ObjLinkList.Add(TWinTblProd::DealProdLink());
}

void TWinDetBookShip::Init(TObj *AObj, int AUserId)
{
    TWinDetBook::Init(AObj, AUserId);
    TWinTblProd *products =
        TWinTblProd::Checked(*this, {QStringLiteral("DEALPROD_SHIP"), QStringLiteral("DEALPROD_SHPD")}, Parent);
    products->EditableColumn(products->TblObj()->GetFldByName(QStringLiteral("DEALPROD_SHPD")), true);
    products->HideOwnBtns();
    products->AddShipBtns();
}
