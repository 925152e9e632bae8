#pragma once

#include "Variant.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

class TAtr;
class TAtrItem;
class TObj;
class TObjLink;
class TWinCard;

// The deal module finds its links by name: a database without one of them cannot run it, and
// the error names the link.
TObjLink *ChildLinkByName(TObj *AObj, const QString &AName);

// The product rows of a new payment or shipment: one record per product of the detail object
// of table ATable, under the card's record through the card object's child link ALinkName,
// with the product's key and a value in AValueField. Everything is looked up when it is made,
// so that a database without it fails before the card posts anything.
class TDealProdRows
{
public:
    TDealProdRows(TObj *AMasterObj, const QString &ALinkName, const QString &ATable, const QString &AValueField);
    ~TDealProdRows();
    TDealProdRows(const TDealProdRows &) = delete;
    TDealProdRows &operator=(const TDealProdRows &) = delete;

    // Product key and value of each row to write.
    std::vector<std::pair<Variant, Variant>> Items;

    // After the card has posted its new record: writes the rows in the same transaction and
    // commits through the card's record editor (a card that posted nothing writes nothing), so
    // that the record and its rows are saved together or not at all. A failure before the commit
    // is rolled back and raised again, and the card stays open with the user's input; one after
    // it (all is saved) is shown, and the card, with nothing left to save, closes.
    void WriteAndCommit(TWinCard &ACard);

private:
    TObjLink *Link = nullptr;
    std::unique_ptr<TAtr> Atr;
    TAtrItem *ProductItem = nullptr;
    TAtrItem *ValueItem = nullptr;
};
