#include "DealProdRows.h"

#include "Application.h"
#include "Atr.h"
#include "AtrDealRow.h"
#include "AtrItem.h"
#include "Fld.h"
#include "Func.h"
#include "IBTransaction.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "WinAtr.h"
#include "WinCard.h"

#include <exception>

TObjLink *ChildLinkByName(TObj *AObj, const QString &AName)
{
    TObjLink *link = AObj->ChildList->GetByName(AName);
    if (!link)
        throw ExceptionPos::Fmt(QStringLiteral("У объекта \"%s\" нет связи \"%s\"."), {AObj->Capt(), AName});
    return link;
}

TDealProdRows::TDealProdRows(TObj *AMasterObj, const QString &ALinkName, const QString &ATable,
                             const QString &AValueField)
{
    Link = ChildLinkByName(AMasterObj, ALinkName);
    TObj *rows = DB->ObjList->GetObjByTable(ATable);
    if (Link->ChildFld()->Obj() != rows)
        throw ExceptionPos::Fmt(QStringLiteral("Связь \"%s\" объекта \"%s\" ведёт не к объекту с таблицей \"%s\"."),
                                {ALinkName, AMasterObj->Capt(), ATable});
    // The rows' own editor: it checks each row against the deal, as any other window's would.
    Atr = CreateRecordEditor(rows);
    Atr->SetObj(rows);
    ProductItem = Atr->GetAddByFldName(QStringLiteral("DEALPROD_ID"));
    ValueItem = Atr->GetAddByFldName(AValueField);
}

TDealProdRows::~TDealProdRows() = default;

void TDealProdRows::WriteAndCommit(TWinCard &ACard)
{
    // A card that posts nothing (embedded, or only collecting values) writes no rows either.
    if (!DB->WriteTransaction().InTransaction())
        return;
    try {
        for (const auto &[product, value] : Items) {
            // A fresh record each time, with a key of its own.
            Atr->SetDefaultValues(Link, ACard.RecId());
            ProductItem->SetValue(product);
            ValueItem->SetValue(value);
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
