#include "Fld.h"

#include "Formula.h"

#include "Func.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"

TFld::TFld() : Formula(std::make_unique<TFormula>())
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("FLD")));
}

TFld::TFld(const TIBSQL &AIBSQL) : Formula(std::make_unique<TFormula>())
{
    AddAllFld(AIBSQL);
}

TFld::~TFld()
{
    if (FIndexedIn)
        FIndexedIn->Unindex(this);
}

void TFld::AddAllFld(const TIBSQL &AIBSQL)
{
    TSObj::AddAllFld(AIBSQL);
    AppendValue(QStringLiteral("FKRULE_ID_V"));
    AppendValue(QStringLiteral("OBJ_ID_V"));
    AppendValue(QStringLiteral("FLD_FRML_V"));
}

void TFld::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj->Id());
}

TFldType TFld::FldType() const
{
    // The code table is searched once per code the field holds, not at every call.
    const Variant &code = Column(cFldTypeId, QStringLiteral("FLDTYPE_ID")).Value;
    if (code.isEmptyOrNull() || !(code == FTypeCode)) {
        FType = DB->CodeToFldType(FldTypeId());
        FTypeCode = code;
    }
    return FType;
}

void TFld::SetFldType(TFldType v)
{
    SetValue(QStringLiteral("FLDTYPE_ID"), DB->FldTypeToCode(v));
}

void TFld::SetAgrObjLink(TObjLink *ALink)
{
    FAgrObjLink = ALink;
    SetValue(QStringLiteral("DEP_ID_AGR"), ALink ? Variant(ALink->Id()) : Variant::Null());
}

void TFld::SetAgrFld(TFld *AFld)
{
    FAgrFld = AFld;
    SetValue(QStringLiteral("FLD_ID_AGR"), AFld ? Variant(AFld->Id()) : Variant::Null());
}

void TFld::SetFKObj(TObj *AObj)
{
    FFKObj = AObj;
    SetValue(QStringLiteral("OBJ_ID_V"), AObj ? Variant(AObj->Id()) : Variant::Null());
}

TFKRule TFld::FKRule() const
{
    return DB->CodeToFKRule(FKRuleId());
}

void TFld::SetFKRule(TFKRule v)
{
    SetValue(QStringLiteral("FKRULE_ID_V"), DB->FKRuleToCode(v));
}

void TFldList::Assign(const TFldList &AFldList)
{
    Clear();
    for (TFld *fld : AFldList)
        Add(fld);
}

TFld *TFldList::GetByName(const QString &AName) const
{
    if (TFld *fld = FindByName(AName))
        return fld;
    throw ExceptionPos(Format(QStringLiteral("Список полей: Получение поля по имени \"%s\" - не найдено."), {AName}));
}

TFld *TFldList::FindByName(const QString &AName) const
{
    for (TFld *fld : *this)
        if (fld->Field() == AName)
            return fld;
    return nullptr;
}

TFld *TFldList::GetById(int AId) const
{
    for (TFld *fld : *this)
        if (fld->Id() == AId)
            return fld;
    throw ExceptionPos(Format(QStringLiteral("Список полей: Получение поля по коду \"%d\" - не найдено."), {AId}));
}
