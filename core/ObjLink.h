#pragma once

#include "CodeTables.h"
#include "SObj.h"

#include <memory>

class TFld;
class TObj;
class TObjList;

// A link from a master object to the link field of a detail object: a row of DEP.
class TObjLink : public TSObj
{
public:
    TObjLink();                                  // from the repository's description of DEP
    explicit TObjLink(const TIBSQL &AIBSQL);     // from a query's columns, during the load
    ~TObjLink() override;

    using TSObj::AddAllFld;
    // The columns, then the values the link editor keeps in memory.
    void AddAllFld(const TIBSQL &AIBSQL) override;

    int Id() const { return GetInteger(QStringLiteral("DEP_ID")); }
    void SetId(int v) { SetValue(QStringLiteral("DEP_ID"), v); }
    TObj *ParentObj() const { return FObj; }
    void SetParentObj(TObj *AObj);
    TFld *ChildFld() const { return FFld; }
    void SetChildFld(TFld *AFld);
    bool MainDep() const { return GetBoolean(QStringLiteral("DEP_MAIN")); }
    void SetMainDep(bool v) { SetValue(QStringLiteral("DEP_MAIN"), v); }
    bool Det() const { return GetBoolean(QStringLiteral("DEP_DET")); }
    void SetDet(bool v) { SetValue(QStringLiteral("DEP_DET"), v); }
    QString Capt() const { return GetString(QStringLiteral("DEP_CAPT")); }
    void SetCapt(const QString &v) { SetValue(QStringLiteral("DEP_CAPT"), v); }
    bool Sys() const { return GetBoolean(QStringLiteral("DEP_SYS")); }
    void SetSys(bool v) { SetValue(QStringLiteral("DEP_SYS"), v); }
    QString Name() const { return GetString(QStringLiteral("DEP_NAME")); }
    void SetName(const QString &v) { SetValue(QStringLiteral("DEP_NAME"), v); }
    int FKRuleId() const { return GetInteger(QStringLiteral("FKRULE_ID")); }
    void SetFKRuleId(int v) { SetValue(QStringLiteral("FKRULE_ID"), v); }
    TFKRule FKRule() const;
    void SetFKRule(TFKRule v);

private:
    friend class TObjList;
    const TObjList *FIndexedIn = nullptr;   // the repository whose index lists it
    int FIndexKey = 0;
    TObj *FObj = nullptr;
    TFld *FFld = nullptr;
};

// The links of an object: its ChildList (owning, the links in which it is the master) or its
// ParentList (references, the links in which it is the detail).
class TObjLinkList : public TObjectList<TObjLink>
{
public:
    TObjLinkList(TObj *AObj, bool AOwnsObjects);
    ~TObjLinkList() override;

    TObj *Obj() const { return FObj; }

    // Fills a ChildList from DEP; each link also joins its detail object's ParentList.
    void Load();
    // Takes a link read from DEP into this ChildList: its master is the list's object, its
    // field is found by id among all objects, and it joins that field's object's ParentList.
    TObjLink *AddLoaded(std::unique_ptr<TObjLink> ALink);

    TObjLink *GetById(int AId) const;
    TObjLink *GetByName(const QString &AName) const;
    TObjLink *GetByFld(const TFld *AFld) const;
    TObjLink *GetByFldId(int AFldId) const;
    TObjLink *GetByChiObjTable(const QString &AObjTable) const;
    // Removes the first link with the id; returns the index it had, or -1.
    int RemoveById(int AId);

private:
    TObj *FObj;
};
