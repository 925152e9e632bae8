#pragma once

#include "WinTbl.h"

#include <QStringList>
#include <vector>

class TWinDetBook;

// The products of a deal as the payment and shipment cards show them: the amounts still due
// are ticked, the quantities still to ship filled in, all in the grid's rows only. Nothing here
// writes to the database; the cards read the rows back.
class TWinTblProd : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    // The quantity already shipped of each fetched row, as it was when the shipment card
    // opened (MemCount).
    std::vector<Variant> CountList;

    // "Отметить неоплаченные" and "Снять все отметки".
    void AddPaymBtns();
    // "Установить остатки" and "Сбросить все в ноль".
    void AddShipBtns();
    // Ticks exactly the rows that still owe something.
    void SetPaym();
    void UncheckAll();
    void MemCount();
    // Every row's quantity to ship now: what was to be shipped less what had been shipped when
    // the card opened, 0 where nothing is left.
    void SetShip();
    void ResetShip();

    // What row ARow still owes (to be paid less paid), as Currency scaled by 10^4. A Null
    // amount counts as nothing: no amount to pay is nothing due, no payment is nothing paid.
    qint64 Due(int ARow) const;
    // The value of a column of the products object in row ARow.
    Variant Value(int ARow, const QString &AField) const;
    // Switches the table's own buttons off for good and hides them: a payment's or a
    // shipment's products are not added, changed or deleted there.
    void HideOwnBtns();

    // The link "DealProd" of the object of table DEAL: the products of a deal.
    static TObjLink *DealProdLink();
    // The products table of a payment's or a shipment's detail book, when its view shows each
    // column of AFields; otherwise the error names the first missing one, over APlace.
    static TWinTblProd *Checked(const TWinDetBook &ABook, const QStringList &AFields, QWidget *APlace);
};
