#include "ObjLink.h"

#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"

TObjLink::TObjLink()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("DEP")));
}

TObjLink::TObjLink(const TIBSQL &AIBSQL)
{
    AddAllFld(AIBSQL);
}

void TObjLink::AddAllFld(const TIBSQL &AIBSQL)
{
    TSObj::AddAllFld(AIBSQL);
    AppendValue(QStringLiteral("OBJ_ID_V"));
    AppendValue(QStringLiteral("FLD_FIELD_V"));
    AppendValue(QStringLiteral("FLD_CAPT_V"));
    AppendValue(QStringLiteral("FLD_NOTNULL_V"));
}

void TObjLink::SetParentObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj->Id());
}

void TObjLink::SetChildFld(TFld *AFld)
{
    FFld = AFld;
    SetValue(QStringLiteral("FLD_ID"), AFld->Id());
}

TFKRule TObjLink::FKRule() const
{
    return DB->CodeToFKRule(FKRuleId());
}

void TObjLink::SetFKRule(TFKRule v)
{
    SetValue(QStringLiteral("FKRULE_ID"), DB->FKRuleToCode(v));
}

TObjLinkList::TObjLinkList(TObj *AObj, bool AOwnsObjects)
    : TObjectList<TObjLink>(AOwnsObjects), IBSQLS(DB->CreateIBSQLS()), FObj(AObj)
{
}

TObjLinkList::~TObjLinkList()
{
    IBSQLS.reset();
    Clear();
}

void TObjLinkList::Load()
{
    Clear();
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select D.*"));
    IBSQLS->AddLine(QStringLiteral("from DEP D"));
    IBSQLS->AddLine(QStringLiteral("where D.OBJ_ID = ") + QString::number(FObj->Id()));
    TCloseGuard closer(*IBSQLS);
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        auto link = std::make_unique<TObjLink>(*IBSQLS);
        link->CopyDataFrom(*IBSQLS);
        link->SetParentObj(FObj);
        link->SetChildFld(DB->ObjList->GetFldById(link->FldByName(QStringLiteral("FLD_ID")).AsInteger()));
        TObjLink *added = Add(std::move(link));
        added->ChildFld()->Obj()->ParentList->Add(added);
    }
}

TObjLink *TObjLinkList::GetById(int AId) const
{
    for (TObjLink *link : *this)
        if (link->Id() == AId)
            return link;
    return nullptr;
}

TObjLink *TObjLinkList::GetByName(const QString &AName) const
{
    for (TObjLink *link : *this)
        if (link->Name() == AName)
            return link;
    return nullptr;
}

TObjLink *TObjLinkList::GetByFld(const TFld *AFld) const
{
    for (TObjLink *link : *this)
        if (link->ChildFld() == AFld)
            return link;
    return nullptr;
}

TObjLink *TObjLinkList::GetByFldId(int AFldId) const
{
    for (TObjLink *link : *this)
        if (link->ChildFld()->Id() == AFldId)
            return link;
    return nullptr;
}

TObjLink *TObjLinkList::GetByChiObjTable(const QString &AObjTable) const
{
    for (TObjLink *link : *this)
        if (link->ChildFld()->Obj()->Table() == AObjTable)
            return link;
    return nullptr;
}

int TObjLinkList::RemoveById(int AId)
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Id() == AId) {
            Delete(i);
            return i;
        }
    return -1;
}
