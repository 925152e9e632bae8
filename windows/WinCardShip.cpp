#include "WinCardShip.h"

#include "Atr.h"
#include "Card.h"
#include "DealProdRows.h"
#include "Func.h"
#include "Obj.h"
#include "WinAtr.h"
#include "WinDetBookShip.h"
#include "WinTblProd.h"

void TWinCardShip::CreateWinDetBook()
{
    WinDetBook = std::make_unique<TWinDetBookShip>(Form, DetPanel);
    WinDetBook->Init(Card->Obj(), UserId);
}

QString TWinCardShip::DealLinkName() const
{
    return QStringLiteral("DealShip");
}

void TWinCardShip::ProductsShown()
{
    Products()->MemCount();
    Products()->SetShip();
}

void TWinCardShip::OkClick()
{
    if (!WinAtr->Atr->New()) {
        TWinCard::OkClick();
        return;
    }
    CheckDealChosen();
    TWinTblProd *products = Products();
    if (products->Count() == 0)
        throw ExceptionPos(QStringLiteral("Нет продуктов для отгрузки."), Form);
    TDealProdRows rows(Card->Obj(), QStringLiteral("Ship-ProdShip"), QStringLiteral("PRODSHIP"),
                       QStringLiteral("PRODSHIP_CNT"));
    for (int i = 0; i < products->Count(); ++i) {
        const Variant count = products->Value(i, QStringLiteral("DEALPROD_SHPD"));
        if (count.isEmptyOrNull() || count.toCurrencyScaled() == 0)
            continue;
        // Typed by the user: refused, not skipped, so that the shipment holds what was asked for.
        if (count.toCurrencyScaled() < 0)
            throw ExceptionPos(QStringLiteral("Количество для отгрузки не может быть отрицательным."), Form);
        rows.Items.emplace_back(products->Value(i, QStringLiteral("DEALPROD_ID")), count);
    }
    if (rows.Items.empty())
        throw ExceptionPos(QStringLiteral("Укажите количество для отгрузки."), Form);
    TWinCard::OkClick();
    rows.WriteAndCommit(*this);
}
