#pragma once

#include "Formula.h"
#include "ObjectList.h"
#include "Variant.h"

#include <QString>
#include <functional>
#include <memory>

class TAtrItem;
class TFilter;
class TFld;
class TSQL;

// Why a value is being set: an ordinary change, the initial load or a default, or the card
// control writing what the user typed. Not to be confused with the control types' ctNone.
enum class TChangeType { ctNone, ctInit, ctWinCtrlTree };

using TAtrItemNotify = std::function<void(TAtrItem *AAtrItem)>;

// A value that formulas read through an item's link field: a field of the linked record (or of
// a record further along the path), with the formula nodes that read it.
class TFldValue
{
public:
    TFldValue() = default;
    ~TFldValue() = default;
    TFldValue(const TFldValue &) = delete;
    TFldValue &operator=(const TFldValue &) = delete;

    TFld *Fld = nullptr;
    Variant Value = Variant::Null();
    Variant JoinIndex;                                   // the join of the item's select that holds Fld
    TObjectList<TFormulaTree> FormulaTreeList{false};    // the nodes that read this value
};

// One field of the record an editor works on: its value, the flags that decide whether it is
// written, its own copy of the field's formula, the items whose formulas read it, and the
// values its formulas' paths read through it when it is a link field.
class TAtrItem
{
public:
    TAtrItem();
    virtual ~TAtrItem();
    TAtrItem(const TAtrItem &) = delete;
    TAtrItem &operator=(const TAtrItem &) = delete;

    const Variant &Value() const { return FValue; }
    void SetValue(const Variant &AValue);

    QString AsString() const;   // Null gives the empty string
    int AsInteger() const;      // Null raises "Variant is null"
    bool AsBoolean() const;     // Null raises "Variant is null"

    TObjectList<TFldValue> FldValueList{true};   // entry i is column i of SQL
    std::unique_ptr<TSQL> SQL;                   // reads the reference values
    std::unique_ptr<TFilter> PKFilter;           // key filter of SQL: one fttEqual root; made with the
                                                 // first formula path, nil before (most items have none)
    TFld *Fld = nullptr;
    TAtrItemNotify OnChange;                     // the record editor's reaction
    TAtrItemNotify OnChangeForWinCtrlTree;       // the bound card control
    TObjectList<TAtrItem> FormulaAtrItemList{false};   // items whose formulas read this one
    bool Modified = false;
    TChangeType ChangeType = TChangeType::ctNone;
    bool ForInsert = false;
    bool NeedCalc = false;
    std::unique_ptr<TFormula> Formula;           // empty when the field has no formula
    // What the row holds in the column as far as the editor knows: read by the load, or written
    // by a post that committed; Unassigned when it does not know. An update writes the column
    // only while the row still holds it, so no one else's change is overwritten unseen.
    Variant StoredValue;
    // What the last post wrote, while its transaction is still open.
    Variant PostedValue;

    // A loaded value or a default: never marks the item modified and never tells the editor,
    // but the card control still shows it.
    void InitValue(const Variant &AValue, bool AForInsert);
    bool ForSelect() const;
    bool ForUpdate() const;

    // Registers a formula node whose path starts with this item's link field.
    void AddFormulaTree(TFormulaTree *AFormulaTree);
    // The value read for a registered node.
    Variant GetFldValue(const TFormulaTree *AFormulaTree) const;

private:
    void ReadFldValues();

    Variant FValue = Variant::Null();
};
