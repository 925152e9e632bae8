#pragma once

#include "ChoiceSql.h"

#include <memory>

class TCtrlTree;
class TIBSQL;
class TObj;

// A card, the layout of an object's record form: a row of CARD with the sizes of its
// attribute and detail areas and its tree of controls.
//
// The control tree and the sizes are written back by the record layer, which owns the record
// editor those writes go through: it deletes the card's CTRLTREE rows, calls RenumberTree and
// inserts one row per node in pre-order (ForEachPreOrder of TreeSearch.h).
class TCard : public TChoiceRow
{
public:
    TCard();   // from the repository's description of CARD
    ~TCard() override;

    std::unique_ptr<TIBSQL> IBSQLC;
    std::unique_ptr<TCtrlTree> RootCtrlTree;   // nil for a card without control rows

    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);   // also writes OBJ_ID

    int Id() const { return GetInteger(QStringLiteral("CARD_ID")); }
    QString Name() const { return GetString(QStringLiteral("CARD_NAME")); }
    void SetName(const QString &v) { SetValue(QStringLiteral("CARD_NAME"), v); }
    QString Capt() const { return GetString(QStringLiteral("CARD_CAPT")); }
    bool Default() const { return GetBoolean(QStringLiteral("CARD_DEFAULT")); }
    bool Dev() const { return GetBoolean(QStringLiteral("CARD_DEV")); }
    Variant ObjId() const { return GetVariant(QStringLiteral("OBJ_ID")); }
    int HeightAtr() const { return GetInteger(QStringLiteral("CARD_HEIGHTATR")); }
    void SetHeightAtr(int v) { SetValue(QStringLiteral("CARD_HEIGHTATR"), v); }
    int HeightDet() const { return GetInteger(QStringLiteral("CARD_HEIGHTDET")); }
    void SetHeightDet(int v) { SetValue(QStringLiteral("CARD_HEIGHTDET"), v); }
    int Width() const { return GetInteger(QStringLiteral("CARD_WIDTH")); }
    void SetWidth(int v) { SetValue(QStringLiteral("CARD_WIDTH"), v); }

    // Load the card row and its control tree; false when no row matched (with RaiseLoad a
    // miss raises).
    bool LoadById(int AId);
    bool LoadByName(TObj *AObj, const QString &AName);
    // The user's own choice (USRCARD), otherwise the card flagged as default.
    bool LoadCurrent(TObj *AObj, int AUserId);
    // Re-reads the control tree of the loaded card.
    void LoadCtrlTree();
    // Gives the tree in memory fresh bounds 1 .. 2n in pre-order, as it is written back.
    void RenumberTree();
    // Removes the control with its subtree from the tree and frees it. The root is not
    // removed this way, nor a control that is not in the tree.
    void DeleteCtrlTree(TCtrlTree *ADelCtrlTree);

private:
    QString WhereLine(const QString &AFunc, TObj *AObj) const;
    void RowLoaded() override;
    std::unique_ptr<TCtrlTree> MakeNode() const;

    TObj *FObj = nullptr;
};
