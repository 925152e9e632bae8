#include "WinTblProd.h"

#include "Application.h"
#include "Atr.h"
#include "DetBook.h"
#include "Fld.h"
#include "IBTransaction.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "Sql.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinDetBook.h"
#include "WinDetTbl.h"

#include <algorithm>
#include <exception>

namespace {

const QString PayField = QStringLiteral("DEALPROD_PAY");
const QString PaidField = QStringLiteral("DEALPROD_PAID");
const QString ShipField = QStringLiteral("DEALPROD_SHIP");
const QString ShippedField = QStringLiteral("DEALPROD_SHPD");

qint64 ScaledOrZero(const Variant &AValue)
{
    return AValue.isEmptyOrNull() ? 0 : AValue.toCurrencyScaled();
}

// The module finds its links by name: a database without one of them cannot run it.
TObjLink *ChildLinkByName(TObj *AObj, const QString &AName)
{
    TObjLink *link = AObj->ChildList->GetByName(AName);
    if (!link)
        throw ExceptionPos::Fmt(QStringLiteral("У объекта \"%s\" нет связи \"%s\"."), {AObj->Capt(), AName});
    return link;
}

TFld *FldOrNil(const TObj *AObj, const QString &AField)
{
    for (TFld *fld : *AObj->FldList)
        if (fld->Field() == AField)
            return fld;
    return nullptr;
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
        SetDataByIndexFld(i, shipped, Value(i, ShipField) - CountList[size_t(i)]);
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
        const TFld *fld = FldOrNil(products, field);
        // A link without a view shows no table, so no column either.
        if (!table || !fld || !table->SelectSQL->GetSelFld(fld))
            throw ExceptionPos::Fmt(QStringLiteral("Для таблицы объекта \"%s\" не включен столбец \"%s\"."),
                                    {products->Capt(), fld ? fld->Capt() : field}, APlace);
    }
    return table;
}

// --- Product rows of a payment or a shipment -------------------------------------------------

TDealProdRows::TDealProdRows(TObj *AMasterObj, const QString &ALinkName, const QString &ATable,
                             const QString &AValueField)
    : ValueField(AValueField)
{
    Link = ChildLinkByName(AMasterObj, ALinkName);
    TObj *rows = DB->ObjList->GetObjByTable(ATable);
    if (Link->ChildFld()->Obj() != rows)
        throw ExceptionPos::Fmt(QStringLiteral("Связь \"%s\" объекта \"%s\" ведёт не к объекту с таблицей \"%s\"."),
                                {ALinkName, AMasterObj->Capt(), ATable});
    Atr = std::make_unique<TAtr>();
    Atr->SetObj(rows);
    Atr->GetAddByFldName(QStringLiteral("DEALPROD_ID"));
    Atr->GetAddByFldName(ValueField);
}

TDealProdRows::~TDealProdRows() = default;

void TDealProdRows::WriteAndCommit(TWinCard &ACard)
{
    try {
        for (const auto &[product, value] : Items) {
            // A fresh record each time, with a key of its own.
            Atr->SetDefaultValues(Link, ACard.RecId());
            Atr->GetAddByFldName(QStringLiteral("DEALPROD_ID"))->SetValue(product);
            Atr->GetAddByFldName(ValueField)->SetValue(value);
            Atr->Post();
        }
        ACard.WinAtr->Atr->Commit();
    } catch (...) {
        if (DB->WriteTransaction().InTransaction()) {
            DB->RollbackChanges();
            throw;
        }
        // Saved, rows and all: a second OK would save them again, so the card closes once the
        // error is told.
        const std::exception_ptr error = std::current_exception();
        Guarded([&] { std::rethrow_exception(error); });
    }
}
