#pragma once

#include "ChoiceSql.h"

#include <memory>

class TIBSQL;
class TObj;
class TObjLink;
class TTblTree;

// A table view: which columns a grid shows for an object or for the detail records of a
// link. A row of TBL with its column tree.
class TTbl : public TChoiceRow
{
public:
    TTbl();   // from the repository's description of TBL
    ~TTbl() override;

    std::unique_ptr<TIBSQL> IBSQLC;
    std::unique_ptr<TTblTree> TblTree;   // the root of the column tree; its field is the key field

    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);                  // also writes OBJ_ID
    TObjLink *ObjLink() const { return FObjLink; }
    void SetObjLink(TObjLink *AObjLink);      // also writes DEP_ID
    // The object whose records the view shows: its own, or the detail object of its link.
    TObj *GetObj() const;

    int Id() const { return GetInteger(QStringLiteral("TBL_ID")); }
    void SetId(int v) { SetValue(QStringLiteral("TBL_ID"), v); }
    QString Name() const { return GetString(QStringLiteral("TBL_NAME")); }
    void SetName(const QString &v) { SetValue(QStringLiteral("TBL_NAME"), v); }
    QString Capt() const { return GetString(QStringLiteral("TBL_CAPT")); }
    void SetCapt(const QString &v) { SetValue(QStringLiteral("TBL_CAPT"), v); }
    bool Default() const { return GetBoolean(QStringLiteral("TBL_DEFAULT")); }
    bool Dev() const { return GetBoolean(QStringLiteral("TBL_DEV")); }
    Variant ObjId() const { return GetVariant(QStringLiteral("OBJ_ID")); }
    Variant ObjLinkId() const { return GetVariant(QStringLiteral("DEP_ID")); }

    // Load the view row and its column tree; false when no row matched (with RaiseLoad a
    // miss raises). Exactly one of AObj and AObjLink selects the rows: the link when given.
    bool LoadById(int AId);
    bool LoadByName(TObj *AObj, TObjLink *AObjLink, const QString &AName);
    // The user's own choice (USRTBL), otherwise the view flagged as default.
    bool LoadCurrent(TObj *AObj, TObjLink *AObjLink, int AUserId);
    // Re-reads the column tree of the loaded view.
    void LoadTree();
    // Gives the tree in memory fresh bounds 1 .. 2n in pre-order, as it is written back.
    void RenumberTree();
    // Recomputes every node's LongCapt, after the tree was read or changed.
    void UpdateLongCapt();

private:
    QString WhereLine(const QString &AFunc, TObj *AObj, TObjLink *AObjLink) const;
    void RowLoaded() override;

    TObj *FObj = nullptr;
    TObjLink *FObjLink = nullptr;
};
