#pragma once

#include "CodeTables.h"
#include "SObj.h"

#include <memory>

class TFld;

// One control of a card: a row of CTRLTREE. Pages, tab sheets, edits, check boxes and so on,
// with their position, size, label and read-only flags; most are bound to a field of the
// card's object. Which values a control type uses is fixed by the CtrlTypes* sets.
class TCtrlTree : public TSObj
{
public:
    TCtrlTree();   // from the repository's description of CTRLTREE

    // The children in left-bound order (owned): the order of pages and of controls on a page.
    TObjectList<TCtrlTree> CtrlTreeList{true};

    TFld *Fld() const { return FFld; }
    void SetFld(TFld *AFld);   // also writes FLD_ID; nil for the root, page controls and tab sheets
    TCtrlTree *Parent() const { return FParent; }
    // Appends a child and makes this node its parent.
    TCtrlTree *AddChild(std::unique_ptr<TCtrlTree> AChild);

    int Id() const { return GetInteger(QStringLiteral("CTRLTREE_ID")); }
    TCtrlType CtrlTreeType() const;
    void SetCtrlTreeType(TCtrlType AType);
    QString Capt() const { return GetString(QStringLiteral("CTRLTREE_CAPT")); }
    void SetCapt(const QString &v) { SetValue(QStringLiteral("CTRLTREE_CAPT"), v); }
    // Positions and sizes: Null means not set, and the control falls back to its default.
    Variant CLeft() const { return GetVariant(QStringLiteral("CTRLTREE_CLEFT")); }
    void SetCLeft(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_CLEFT"), v); }
    Variant CTop() const { return GetVariant(QStringLiteral("CTRLTREE_CTOP")); }
    void SetCTop(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_CTOP"), v); }
    Variant CWidth() const { return GetVariant(QStringLiteral("CTRLTREE_CWIDTH")); }
    void SetCWidth(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_CWIDTH"), v); }
    Variant CHeight() const { return GetVariant(QStringLiteral("CTRLTREE_CHEIGHT")); }
    void SetCHeight(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_CHEIGHT"), v); }
    Variant LLeft() const { return GetVariant(QStringLiteral("CTRLTREE_LLEFT")); }
    void SetLLeft(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_LLEFT"), v); }
    Variant LTop() const { return GetVariant(QStringLiteral("CTRLTREE_LTOP")); }
    void SetLTop(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_LTOP"), v); }
    Variant LWidth() const { return GetVariant(QStringLiteral("CTRLTREE_LWIDTH")); }
    void SetLWidth(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_LWIDTH"), v); }
    Variant LHeight() const { return GetVariant(QStringLiteral("CTRLTREE_LHEIGHT")); }
    void SetLHeight(const Variant &v) { SetValue(QStringLiteral("CTRLTREE_LHEIGHT"), v); }
    // Read-only in a card that adds a record, respectively edits one.
    bool ROAdd() const { return GetBoolean(QStringLiteral("CTRLTREE_ROADD")); }
    void SetROAdd(bool v) { SetValue(QStringLiteral("CTRLTREE_ROADD"), v); }
    bool ROEdt() const { return GetBoolean(QStringLiteral("CTRLTREE_ROEDT")); }
    void SetROEdt(bool v) { SetValue(QStringLiteral("CTRLTREE_ROEDT"), v); }
    Variant FldId() const { return GetVariant(QStringLiteral("FLD_ID")); }
    int Lft() const { return GetInteger(QStringLiteral("CTRLTREE_LFT")); }
    void SetLft(int v) { SetValue(QStringLiteral("CTRLTREE_LFT"), v); }
    int Rgt() const { return GetInteger(QStringLiteral("CTRLTREE_RGT")); }
    void SetRgt(int v) { SetValue(QStringLiteral("CTRLTREE_RGT"), v); }

    // The bound field's caption, else the control's own.
    QString GetCapt2() const;

private:
    TFld *FFld = nullptr;
    TCtrlTree *FParent = nullptr;
};
