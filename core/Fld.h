#pragma once

#include "CodeTables.h"
#include "ColumnAt.h"
#include "SObj.h"

#include <memory>

class TFormula;
class TObj;
class TObjLink;
class TObjList;

// A field of an object: a row of FLD.
class TFld : public TSObj
{
public:
    TFld();                                  // from the repository's description of FLD
    explicit TFld(const TIBSQL &AIBSQL);     // from a query's columns, during the load
    ~TFld() override;

    std::unique_ptr<TFormula> Formula;       // empty unless the field is computed

    using TSObj::AddAllFld;
    // The columns, then the values the field editors keep in memory.
    void AddAllFld(const TIBSQL &AIBSQL) override;

    int Id() const { return Column(cFldId, QStringLiteral("FLD_ID")).AsInteger(); }
    void SetId(int v) { SetValue(QStringLiteral("FLD_ID"), v); }
    int ObjId() const { return GetInteger(QStringLiteral("OBJ_ID")); }
    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);
    QString Field() const { return Column(cField, QStringLiteral("FLD_FIELD")).AsString(); }
    void SetField(const QString &v) { SetValue(QStringLiteral("FLD_FIELD"), v); }
    int FldTypeId() const { return Column(cFldTypeId, QStringLiteral("FLDTYPE_ID")).AsInteger(); }
    void SetFldTypeId(int v) { SetValue(QStringLiteral("FLDTYPE_ID"), v); }
    TFldType FldType() const;
    void SetFldType(TFldType v);
    int Size() const { return GetInteger(QStringLiteral("FLD_SIZE")); }
    void SetSize(int v) { SetValue(QStringLiteral("FLD_SIZE"), v); }
    bool NotNull() const { return Column(cNotNull, QStringLiteral("FLD_NOTNULL")).AsBoolean(); }
    void SetNotNull(bool v) { SetValue(QStringLiteral("FLD_NOTNULL"), v); }
    QString Capt() const { return GetString(QStringLiteral("FLD_CAPT")); }
    void SetCapt(const QString &v) { SetValue(QStringLiteral("FLD_CAPT"), v); }
    bool MainFld2() const { return GetBoolean(QStringLiteral("FLD_MAIN2")); }
    void SetMainFld2(bool v) { SetValue(QStringLiteral("FLD_MAIN2"), v); }
    Variant DepIdAgr() const { return GetVariant(QStringLiteral("DEP_ID_AGR")); }
    TObjLink *AgrObjLink() const { return FAgrObjLink; }
    void SetAgrObjLink(TObjLink *ALink);   // nil: no link to sum along any more
    Variant FldIdAgr() const { return GetVariant(QStringLiteral("FLD_ID_AGR")); }
    TFld *AgrFld() const { return FAgrFld; }
    void SetAgrFld(TFld *AFld);   // nil: no field to sum any more
    bool Virt() const { return Column(cVirt, QStringLiteral("FLD_VIRT")).AsBoolean(); }
    void SetVirt(bool v) { SetValue(QStringLiteral("FLD_VIRT"), v); }
    bool Sys() const { return GetBoolean(QStringLiteral("FLD_SYS")); }
    void SetSys(bool v) { SetValue(QStringLiteral("FLD_SYS"), v); }
    Variant FKObjId() const { return GetVariant(QStringLiteral("OBJ_ID_V")); }
    TObj *FKObj() const { return FFKObj; }
    void SetFKObj(TObj *AObj);   // nil clears the link target
    Variant FKRuleId() const { return GetVariant(QStringLiteral("FKRULE_ID_V")); }
    TFKRule FKRule() const;
    void SetFKRule(TFKRule v);
    bool FormulaHave() const { return GetBoolean(QStringLiteral("FLD_FRMLHAVE")); }
    void SetFormulaHave(bool v) { SetValue(QStringLiteral("FLD_FRMLHAVE"), v); }
    bool Def0() const { return Column(cDef0, QStringLiteral("FLD_DEF0")).AsBoolean(); }
    void SetDef0(bool v) { SetValue(QStringLiteral("FLD_DEF0"), v); }

private:
    // The columns every statement builder and record editor reads over and over; where each
    // sits in the row is remembered, since a row's columns never move.
    enum THotColumn { cFldId, cField, cFldTypeId, cNotNull, cVirt, cDef0, cHotColumns };
    const TObjFld &Column(THotColumn AColumn, const QString &AName) const { return FColumns[AColumn].Of(*this, AName); }

    TColumnAt FColumns[cHotColumns];
    mutable Variant FTypeCode;               // the FLDTYPE_ID that FType was found for
    mutable TFldType FType = TFldType::ftNone;
    friend class TObjList;
    const TObjList *FIndexedIn = nullptr;   // the repository whose index lists it
    int FIndexKey = 0;
    TObj *FObj = nullptr;
    TObj *FFKObj = nullptr;
    TObjLink *FAgrObjLink = nullptr;
    TFld *FAgrFld = nullptr;
};

// A list of fields: an object's own (owning) or a path (references only).
class TFldList : public TObjectList<TFld>
{
public:
    explicit TFldList(bool ownsObjects = true) : TObjectList<TFld>(ownsObjects) {}

    // Clears the list and appends every field of AFldList, as references.
    void Assign(const TFldList &AFldList);
    TFld *GetByName(const QString &AName) const;
    // The same, nil when there is none.
    TFld *FindByName(const QString &AName) const;
    TFld *GetById(int AId) const;
};
