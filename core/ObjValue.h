#pragma once

#include "SObj.h"

#include <memory>

class TFld;
class TFldList;

// One field of an object's value template: a row of OBJVALUE. The shown field Fld belongs to
// the object reached from the template's object along Path.
class TObjValue : public TSObj
{
public:
    TObjValue();   // from the repository's description of OBJVALUE
    ~TObjValue() override;

    std::unique_ptr<TFldList> Path;   // link fields, first link first

    int Id() const { return GetInteger(QStringLiteral("OBJVALUE_ID")); }
    void SetId(int v) { SetValue(QStringLiteral("OBJVALUE_ID"), v); }
    int ObjId() const { return GetInteger(QStringLiteral("OBJ_ID")); }
    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);
    int FldId() const { return GetInteger(QStringLiteral("FLD_ID")); }
    TFld *Fld() const { return FFld; }
    void SetFld(TFld *AFld);
    bool PathHave() const { return GetBoolean(QStringLiteral("OBJVALUE_PATHHAVE")); }
    void SetPathHave(bool v) { SetValue(QStringLiteral("OBJVALUE_PATHHAVE"), v); }

private:
    TObj *FObj = nullptr;
    TFld *FFld = nullptr;
};

// An object's value template fields, in template order.
class TTemplFldList : public TObjectList<TObjValue>
{
public:
    TTemplFldList() : TObjectList<TObjValue>(true) {}

    bool Modified = false;   // kept by the template editor

    // Replaces the list with copies of ATemplFldList's fields (same objects and fields).
    void Assign(const TTemplFldList &ATemplFldList);
};
