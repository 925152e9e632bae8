#pragma once

#include "SObj.h"

#include <memory>

class TFld;

// One column node of a table view: a row of TBLTREE. A node whose field is a link field
// stands for the master record; its children are fields of the master object.
class TTblTree : public TSObj
{
public:
    TTblTree();   // from the repository's description of TBLTREE

    // The children in left-bound order (owned).
    TObjectList<TTblTree> TblTreeList{true};
    // The column caption shown in grids: the captions from below the root down to the node.
    QString LongCapt;

    TFld *Fld() const { return FFld; }
    void SetFld(TFld *AFld);   // also writes FLD_ID
    TTblTree *Parent() const { return FParent; }
    // Appends a child and makes this node its parent.
    TTblTree *AddChild(std::unique_ptr<TTblTree> AChild);
    // Recomputes LongCapt for the node and its subtree; the parent's must be current.
    // Under the root a column reads like "Клиент>Город>Название".
    void UpdateLongCapt();

    int Id() const { return GetInteger(QStringLiteral("TBLTREE_ID")); }
    Variant FldId() const { return GetVariant(QStringLiteral("FLD_ID")); }
    int Lft() const { return GetInteger(QStringLiteral("TBLTREE_LFT")); }
    void SetLft(int v) { SetValue(QStringLiteral("TBLTREE_LFT"), v); }
    int Rgt() const { return GetInteger(QStringLiteral("TBLTREE_RGT")); }
    void SetRgt(int v) { SetValue(QStringLiteral("TBLTREE_RGT"), v); }

private:
    TFld *FFld = nullptr;
    TTblTree *FParent = nullptr;
};
