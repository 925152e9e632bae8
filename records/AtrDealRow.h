#pragma once

#include "Atr.h"

#include <QString>
#include <memory>

class TFld;
class TObj;

// What ties a product row of a deal's payment or shipment to its deal: the row's table, the link
// field to its payment or shipment (named like that table's key), the word for the payment or
// shipment in messages, and the column of a quantity that cannot go below zero (none for a
// payment's part, which a refund makes negative).
struct TDealRowKind
{
    QString Table;
    QString MasterKey;
    QString MasterTable;
    QString MasterWord;
    QString CountField;
};

// The editor of one product row of a payment (PRODPAYM) or a shipment (PRODSHIP). The row's
// product must be a product of the deal its payment or shipment belongs to, and a shipped
// quantity is never negative: the sums of the deal and of its products count every row, so a row
// that breaks either is refused before it is written, whichever window writes it.
class TAtrDealRow : public TAtr
{
public:
    explicit TAtrDealRow(const TDealRowKind &AKind);

    void CheckInsert() override;
    void CheckUpdate() override;
    void SetRecId(const Variant &ARecId) override;
    void SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

    const TDealRowKind &Kind() const { return FKind; }
    // Whether AFld is the row's product (its link to the deal's product).
    bool IsProduct(const TFld *AFld) const;
    // The deal of the row's payment or shipment as committed; Null while none is chosen.
    Variant MasterDeal();

    // The kind of the product rows of AObj; nil for any other object.
    static const TDealRowKind *KindOf(const TObj *AObj);

private:
    // The items the checks read, made before a record is loaded or defaulted so that they hold
    // its values.
    void AddCheckedItems();
    void CheckProductOfDeal();
    void CheckCountNotNegative();

    TDealRowKind FKind;
};

// The record editor of an object: the deal's product rows get theirs, any other object the
// plain one. The caller sets the object.
std::unique_ptr<TAtr> CreateRecordEditor(const TObj *AObj);
