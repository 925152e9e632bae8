#include "WinTblProd.h"

#include "DealProdRows.h"
#include "DetBook.h"
#include "Fld.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "Sql.h"
#include "WinDetBook.h"
#include "WinDetTbl.h"

#include <algorithm>

namespace {

const QString PayField = QStringLiteral("DEALPROD_PAY");
const QString PaidField = QStringLiteral("DEALPROD_PAID");
const QString ShipField = QStringLiteral("DEALPROD_SHIP");
const QString ShippedField = QStringLiteral("DEALPROD_SHPD");

qint64 ScaledOrZero(const Variant &AValue)
{
    return AValue.isEmptyOrNull() ? 0 : AValue.toCurrencyScaled();
}

// What is to be shipped less what is shipped; a product shipped beyond its quantity has nothing
// left, not a quantity to take back. No quantity to ship stays unknown.
Variant LeftToShip(const Variant &AToShip, const Variant &AShipped)
{
    const Variant left = AToShip - AShipped;
    if (!left.isEmptyOrNull() && left.toCurrencyScaled() < 0)
        return Variant::FromCurrency(qint64(0));
    return left;
}

} // namespace

// --- Values of the rows ----------------------------------------------------------------------

Variant TWinTblProd::Value(int ARow, const QString &AField) const
{
    Variant value;
    GetDataByIndexFld(ARow, TblObj()->GetFldByName(AField), value);
    return value;
}

qint64 TWinTblProd::Due(int ARow) const
{
    return ScaledOrZero(Value(ARow, PayField)) - ScaledOrZero(Value(ARow, PaidField));
}

// --- Buttons ---------------------------------------------------------------------------------

void TWinTblProd::AddPaymBtns()
{
    WinToolBar->AddBtn(TBtnType::btOther, QStringLiteral("Отметить неоплаченные"), [this] { SetPaym(); });
    WinToolBar->AddBtn(TBtnType::btOther, QStringLiteral("Снять все отметки"), [this] { UncheckAll(); });
}

void TWinTblProd::AddShipBtns()
{
    WinToolBar->AddBtn(TBtnType::btOther, QStringLiteral("Установить остатки"), [this] { SetShip(); });
    WinToolBar->AddBtn(TBtnType::btOther, QStringLiteral("Сбросить все в ноль"), [this] { ResetShip(); });
}

void TWinTblProd::HideOwnBtns()
{
    for (TWinToolBtn *btn : *WinToolBar) {
        // Locking keeps a button as it is, so it is switched off first.
        btn->SetEnabled(false);
        btn->AlwaysDisable = true;
        btn->SetVisible(false);
    }
}

void TWinTblProd::SetPaym()
{
    for (int i = 0; i < Count(); ++i)
        SetRowChecked(i, Due(i) > 0);
    Repaint();
}

void TWinTblProd::UncheckAll()
{
    for (int i = 0; i < Count(); ++i)
        SetRowChecked(i, false);
    Repaint();
}

void TWinTblProd::MemCount()
{
    CountList.clear();
    for (int i = 0; i < Count(); ++i)
        CountList.push_back(Value(i, ShippedField));
}

void TWinTblProd::SetShip()
{
    TFld *shipped = TblObj()->GetFldByName(ShippedField);
    const int rows = std::min(Count(), int(CountList.size()));
    for (int i = 0; i < rows; ++i)
        SetDataByIndexFld(i, shipped, LeftToShip(Value(i, ShipField), CountList[size_t(i)]));
    Repaint();
}

void TWinTblProd::ResetShip()
{
    TFld *shipped = TblObj()->GetFldByName(ShippedField);
    for (int i = 0; i < Count(); ++i)
        SetDataByIndexFld(i, shipped, Variant::FromCurrency(qint64(0)));
    Repaint();
}

// --- The deal's links ------------------------------------------------------------------------

TObjLink *TWinTblProd::DealProdLink()
{
    return ChildLinkByName(DB->ObjList->GetObjByTable(QStringLiteral("DEAL")), QStringLiteral("DealProd"));
}

TWinTblProd *TWinTblProd::Checked(const TWinDetBook &ABook, const QStringList &AFields, QWidget *APlace)
{
    const auto *pane = dynamic_cast<const TWinDetTbl *>(ABook.First());
    auto *table = pane ? dynamic_cast<TWinTblProd *>(pane->WinTbl.get()) : nullptr;
    const TObj *products = ABook.DetBook->ObjLinkList.First()->ChildFld()->Obj();
    for (const QString &field : AFields) {
        const TFld *fld = products->FldList->FindByName(field);
        // A link without a view shows no table, so no column either.
        if (!table || !fld || !table->SelectSQL->GetSelFld(fld))
            throw ExceptionPos::Fmt(QStringLiteral("Для таблицы объекта \"%s\" не включен столбец \"%s\"."),
                                    {products->Capt(), fld ? fld->Capt() : field}, APlace);
    }
    return table;
}
