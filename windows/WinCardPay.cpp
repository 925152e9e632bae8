#include "WinCardPay.h"

#include "Atr.h"
#include "Card.h"
#include "DealProdRows.h"
#include "Func.h"
#include "Obj.h"
#include "WinAtr.h"
#include "WinCtrlTree.h"
#include "WinDetBookPay.h"
#include "WinTblProd.h"

namespace {

constexpr qint64 Cent = Variant::CurrencyScale / 100;

// ANumerator / ADenominator rounded to a whole number, halves away from zero.
qint64 RoundedQuotient(__int128 ANumerator, __int128 ADenominator)
{
    const bool negative = (ANumerator < 0) != (ADenominator < 0);
    const __int128 n = ANumerator < 0 ? -ANumerator : ANumerator;
    const __int128 d = ADenominator < 0 ? -ADenominator : ADenominator;
    const auto magnitude = qint64((2 * n + d) / (2 * d));
    return negative ? -magnitude : magnitude;
}

} // namespace

void SpreadPayment(TDealProdSumList &AList, qint64 ASum)
{
    __int128 due = 0;
    for (const TDealProdSum &item : AList)
        due += item.DealProdPay;
    qint64 rest = ASum;
    for (TDealProdSum &item : AList) {
        item.DealProdPaid = RoundedQuotient(__int128(item.DealProdPay) * ASum, due * Cent) * Cent;
        rest -= item.DealProdPaid;
    }
    if (!AList.empty())
        AList.back().DealProdPaid += rest;
}

void TWinCardPay::CreateWinDetBook()
{
    WinDetBook = std::make_unique<TWinDetBookPay>(Form, DetPanel);
    WinDetBook->Init(Card->Obj(), UserId);
}

QString TWinCardPay::DealLinkName() const
{
    return QStringLiteral("DealPaym");
}

void TWinCardPay::ProductsShown()
{
    Products()->SetPaym();
}

qint64 TWinCardPay::Sum() const
{
    TWinCtrlTree *control = WinAtr->GetWinCtrlTreeByFldName(QStringLiteral("DEALPAYM_SUM"));
    if (!control)
        throw ExceptionPos(QStringLiteral("На карточке нет поля для внесения суммы платежа."), Form);
    const Variant value = control->Value();
    const bool missing = value.isEmptyOrNull();
    // The payment's column holds cents.
    const qint64 sum = missing ? 0 : RoundedQuotient(value.toCurrencyScaled(), Cent) * Cent;
    if (sum == 0) {
        control->SetFocus();
        throw ExceptionPos(missing ? QStringLiteral("Не указана сумма платежа.")
                                   : QStringLiteral("Сумма платежа не может быть равна нулю."),
                           Form);
    }
    return sum;
}

TDealProdSumList TWinCardPay::TickedProducts() const
{
    TWinTblProd *products = Products();
    TDealProdSumList list;
    qint64 due = 0;
    for (int i = 0; i < products->Count(); ++i) {
        if (!products->RowChecked(i))
            continue;
        list.push_back({products->Value(i, QStringLiteral("DEALPROD_ID")), products->Due(i), 0});
        due += list.back().DealProdPay;
    }
    if (list.empty())
        throw ExceptionPos(QStringLiteral("Не отмечен ни один продукт."), Form);
    // Nothing to spread the payment by.
    if (due <= 0)
        throw ExceptionPos(QStringLiteral("У отмеченных продуктов нет суммы к оплате."), Form);
    return list;
}

void TWinCardPay::OkClick()
{
    if (!WinAtr->Atr->New()) {
        TWinCard::OkClick();
        return;
    }
    const qint64 sum = Sum();
    CheckDealChosen();
    TDealProdSumList list = TickedProducts();
    SpreadPayment(list, sum);
    TDealProdRows rows(Card->Obj(), QStringLiteral("Paym-ProdPaym"), QStringLiteral("PRODPAYM"),
                       QStringLiteral("PRODPAYM_SUM"));
    for (const TDealProdSum &item : list)
        rows.Items.emplace_back(item.DealProdId, Variant::FromCurrency(item.DealProdPaid));
    TWinCard::OkClick();
    rows.WriteAndCommit(*this);
}
