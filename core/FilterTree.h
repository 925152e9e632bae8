#pragma once

#include "CodeTables.h"
#include "Fld.h"
#include "SObj.h"

class TObjLink;

// One node of a filter's condition tree: a row of FLTRTREE. And/or nodes group their
// children; the other types test the field `Fld`, which lies at the end of `Path`.
class TFilterTree : public TSObj
{
public:
    TFilterTree();   // from the repository's description of FLTRTREE

    // The link fields from the filtered table to the table that holds Fld (references).
    TFldList Path{false};
    // Written by the SQL builder each time the filter is added to it: the parameter number
    // of the node's value and the alias number of the table that holds Fld.
    Variant ParamIndex;
    Variant JoinIndex;
    // The children in tree order (owned).
    TObjectList<TFilterTree> FilterTreeList{true};

    TFld *Fld() const { return FFld; }
    void SetFld(TFld *AFld);                  // also writes FLD_ID
    TObjLink *ObjLink() const { return FObjLink; }
    void SetObjLink(TObjLink *AObjLink);      // also writes DEP_ID

    int Id() const { return GetInteger(QStringLiteral("FLTRTREE_ID")); }
    int Lft() const { return GetInteger(QStringLiteral("FLTRTREE_LFT")); }
    void SetLft(int v) { TSObj::SetValue(QStringLiteral("FLTRTREE_LFT"), v); }
    int Rgt() const { return GetInteger(QStringLiteral("FLTRTREE_RGT")); }
    void SetRgt(int v) { TSObj::SetValue(QStringLiteral("FLTRTREE_RGT"), v); }
    int FilterTreeTypeId() const { return GetInteger(QStringLiteral("FLTRTRTP_ID")); }
    TFilterTreeType FilterTreeType() const;
    void SetFilterTreeType(TFilterTreeType AType);
    Variant FldId() const { return GetVariant(QStringLiteral("FLD_ID")); }
    Variant ObjLinkId() const { return GetVariant(QStringLiteral("DEP_ID")); }
    QString Name() const { return GetString(QStringLiteral("FLTRTREE_NAME")); }
    void SetName(const QString &v) { TSObj::SetValue(QStringLiteral("FLTRTREE_NAME"), v); }
    bool No() const { return GetBoolean(QStringLiteral("FLTRTREE_NOT")); }
    void SetNo(bool v) { TSObj::SetValue(QStringLiteral("FLTRTREE_NOT"), v); }
    bool PathHave() const { return GetBoolean(QStringLiteral("FLTRTREE_PATHHAVE")); }
    Variant Value() const { return GetVariant(QStringLiteral("FLTRTREE_VALUE")); }
    void SetValue(const Variant &v) { TSObj::SetValue(QStringLiteral("FLTRTREE_VALUE"), v); }

    // Places N in this node's subtree by its bounds: as the first child (left bound one
    // past ours), the last child (right bound one short of ours), the follower of a child,
    // or inside a child. Returns whether N found a place; the caller keeps N otherwise.
    bool PlaceNode(std::unique_ptr<TFilterTree> &N);

    // The first node of the subtree in pre-order whose name equals AName exactly.
    TFilterTree *FindByName(const QString &AName);

private:
    TFld *FFld = nullptr;
    TObjLink *FObjLink = nullptr;
};
