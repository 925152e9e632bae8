#include "AtrDep.h"

#include "AtrFld.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "SchemaCheck.h"

#include <utility>

namespace {

const QString cObjId = QStringLiteral("OBJ_ID");
const QString cFldId = QStringLiteral("FLD_ID");
const QString cFKRuleId = QStringLiteral("FKRULE_ID");
const QString cObjIdV = QStringLiteral("OBJ_ID_V");
const QString cFldFieldV = QStringLiteral("FLD_FIELD_V");
const QString cFldCaptV = QStringLiteral("FLD_CAPT_V");
const QString cFldNotNullV = QStringLiteral("FLD_NOTNULL_V");
const QString cDepSys = QStringLiteral("DEP_SYS");

// Which value of the link row a value of the link column's field row comes from.
const QList<std::pair<QString, QString>> FldToDepNames = {
    {QStringLiteral("OBJ_ID"), cObjIdV},          {QStringLiteral("OBJ_ID_V"), cObjId},
    {QStringLiteral("FLD_FIELD"), cFldFieldV},    {QStringLiteral("FLD_CAPT"), cFldCaptV},
    {QStringLiteral("FLD_NOTNULL"), cFldNotNullV}, {QStringLiteral("FKRULE_ID_V"), cFKRuleId},
    {QStringLiteral("FLD_SYS"), cDepSys}};

} // namespace

Variant TAtrDep::ValueOf(const QString &AFldName)
{
    // The link card shows these values; an editor used without them gets them on demand.
    return GetAddByFldName(AFldName)->Value();
}

TObj *TAtrDep::ObjOf(const QString &AFldName)
{
    return DB->ObjList->GetObjById(VarAsInteger(ValueOf(AFldName)));
}

void TAtrDep::SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    TAtr::SetDefaultValues(AObjLink, AParentId);
    if (!AObjLink)
        return;
    const TObj *master = DB->ObjList->GetObjById(VarAsInteger(AParentId));
    GetAddByFldName(cFldCaptV)->InitValue(master->Capt(), false);
    if (DevMode && master->PKFld)
        GetAddByFldName(cFldFieldV)->InitValue(master->PKFld->Field(), false);
    GetAddByFldName(cFKRuleId)->InitValue(DB->FKRuleToCode(TFKRule::fkCascade), true);
    GetAddByFldName(QStringLiteral("DEP_DET"))->InitValue(true, true);
    GetAddByFldName(QStringLiteral("DEP_MAIN"))->InitValue(true, true);
}

void TAtrDep::SetRecId(const Variant &ARecId)
{
    TAtr::SetRecId(ARecId);
    const TFld *child = DB->ObjList->GetObjLinkById(VarAsInteger(ARecId))->ChildFld();
    GetAddByFldName(cObjIdV)->InitValue(child->Obj()->Id(), false);
    GetAddByFldName(cFldFieldV)->InitValue(child->Field(), false);
    GetAddByFldName(cFldCaptV)->InitValue(child->Capt(), false);
    GetAddByFldName(cFldNotNullV)->InitValue(child->NotNull(), false);
}

void TAtrDep::CheckUpdate()
{
    TAtr::CheckUpdate();
    // The column and its foreign key stay as they were created.
    const TObjLink *link = DB->ObjList->GetObjLinkById(VarAsInteger(FRecId));
    const TFld *child = link->ChildFld();
    CheckUnchanged(*this, cObjId, link->ParentObj()->Id());
    CheckUnchanged(*this, cFldId, child->Id());
    CheckUnchanged(*this, cObjIdV, child->Obj()->Id());
    CheckUnchanged(*this, cFldFieldV, child->Field());
    CheckUnchanged(*this, cFldNotNullV, child->NotNull());
    CheckUnchanged(*this, cFKRuleId, link->FldByName(cFKRuleId).Value);
}

void TAtrDep::Post()
{
    if (FNew) {
        CheckNewLink();
        if (!SkipCreateFld)
            CreateLinkFld();
    }
    TAtr::Post();
    if (FNew)
        CreateForeignKey();
}

void TAtrDep::CheckNewLink()
{
    for (const QString &required : {cObjIdV, cObjId})
        if (IsBlank(ValueOf(required)))
            RaiseRequired(*this, GetAddByFldName(required));
    // A rule the database does not know would reach the foreign key's text.
    TAtrItem *rule = GetAddByFldName(cFKRuleId);
    if (IsBlank(rule->Value()) || DB->CodeToFKRule(rule->Value()) == TFKRule::fkNone)
        RaiseRequired(*this, rule);
    const TObj *master = ObjOf(cObjId);
    const TObj *detail = ObjOf(cObjIdV);
    if (!master->PKFld)
        throw ExceptionPos(Format(QStringLiteral("У объекта \"%s\" нет ключевого поля."), {master->Capt()}));
    if (!SkipCreateFld)
        CheckLinkColumnFree(*detail);
}

// Before the field editor takes a key for the column's row: a taken name costs nothing.
void TAtrDep::CheckLinkColumnFree(const TObj &ADetail)
{
    TAtrItem *name = GetAddByFldName(cFldFieldV);
    if (IsBlank(name->Value()))
        return;   // the field editor names the column after its row's new key
    const QString column = UpperAscii(name->AsString());
    CheckFieldNameFree(name, ADetail, column);
    CheckColumnFree(*IBSQLC, name, ADetail.Table(), column);
}

void TAtrDep::CreateLinkFld()
{
    TAtrFld fld;
    fld.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("FLD")));
    fld.SkipCreateDep = true;
    fld.SetDefaultValues(nullptr, Variant::Null());
    // In this order: each value runs the field editor's rules, and later ones overwrite what
    // earlier rules proposed.
    const auto set = [&fld](const QString &AFldName, const Variant &AValue) {
        fld.GetAddByFldName(AFldName)->SetValue(AValue);
    };
    set(cObjId, ValueOf(cObjIdV));   // the column goes into the detail table
    set(cObjIdV, ValueOf(cObjId));   // and refers to the master
    set(QStringLiteral("FLD_FIELD"), ValueOf(cFldFieldV));
    set(QStringLiteral("FLD_CAPT"), ValueOf(cFldCaptV));
    set(QStringLiteral("FLDTYPE_ID"), DB->FldTypeToCode(TFldType::ftFK));
    if (const TAtrItem *notNull = GetByFldName(cFldNotNullV))
        set(QStringLiteral("FLD_NOTNULL"), notNull->Value());
    set(QStringLiteral("FKRULE_ID_V"), ValueOf(cFKRuleId));
    if (const TAtrItem *sys = GetByFldName(cDepSys))
        set(QStringLiteral("FLD_SYS"), sys->Value());
    fld.GetAddByFldName(QStringLiteral("FLD_FRML_V"));
    try {
        fld.Post();
    } catch (const ECheckFldException &e) {
        // The link card shows the field's values under its own names.
        for (const auto &[fldName, depName] : FldToDepNames)
            if (e.AtrItem && e.AtrItem->Fld->Field() == fldName)
                throw ECheckFldException(e.Message(), GetAddByFldName(depName));
        throw ExceptionPos(e.Message());
    }
    GetAddByFldName(cFldId)->SetValue(fld.RecId());
    GetAddByFldName(cFldFieldV)->SetValue(fld.GetAddByFldName(QStringLiteral("FLD_FIELD"))->Value());
}

void TAtrDep::CreateForeignKey()
{
    const TObj *master = ObjOf(cObjId);
    const TObj *detail = ObjOf(cObjIdV);
    const TFKRule rule = DB->CodeToFKRule(ValueOf(cFKRuleId));
    IBSQLC->SetSQL(Format(QStringLiteral("alter table %0:s add constraint FK_%0:s_%2:s\rforeign key (%2:s) "
                                         "references %1:s(%3:s)\ron delete %s on update CASCADE"),
                          {detail->Table(), master->Table(), ValueOf(cFldFieldV), master->PKFld->Field(),
                           FKRuleSQL[size_t(rule)]}));
    IBSQLC->ExecImmediate();
}

void TAtrDep::DoAfterCommit()
{
    if (FNew)
        RegisterNewLink();
    else
        CopyDataTo(*DB->ObjList->GetObjLinkById(VarAsInteger(FRecId)));
    TAtr::DoAfterCommit();
}

void TAtrDep::RegisterNewLink()
{
    // Every look-up that can fail comes before the first append, so a failure leaves the
    // repository as it was.
    TObj *master = ObjOf(cObjId);
    TObj *detail = ObjOf(cObjIdV);
    const TFKRule rule = DB->CodeToFKRule(ValueOf(cFKRuleId));
    auto link = std::make_unique<TObjLink>();
    CopyDataTo(*link);
    std::unique_ptr<TFld> fld;
    {
        IBSQLS->SetSQL(QStringLiteral("select * from FLD where FLD_ID = :FLD_ID"));
        IBSQLS->ParamByName(cFldId) = ValueOf(cFldId);
        TCloseGuard closer(*IBSQLS);
        IBSQLS->ExecQuery();
        if (IBSQLS->Eof())
            throw ExceptionPos(Format(QStringLiteral("Поле с кодом \"%s\" среди полей не найдено."), {ValueOf(cFldId)}));
        fld = std::make_unique<TFld>(*IBSQLS);
        fld->CopyDataFrom(*IBSQLS);
    }
    fld->SetObj(detail);
    fld->SetFKObj(master);
    fld->SetFKRule(rule);
    link->SetParentObj(master);
    link->SetChildFld(fld.get());
    detail->FldList->Add(std::move(fld));
    TObjLink *added = master->ChildList->Add(std::move(link));
    detail->ParentList->Add(added);
}
