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

TObjLink::~TObjLink()
{
    if (FIndexedIn)
        FIndexedIn->Unindex(this);
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

TObjLinkList::TObjLinkList(TObj *AObj, bool AOwnsObjects) : TObjectList<TObjLink>(AOwnsObjects), FObj(AObj)
{
}

TObjLinkList::~TObjLinkList()
{
    Clear();
}

void TObjLinkList::Load()
{
    Clear();
    // One object's links are read rarely (the repository load reads all at once), so the
    // statement lives only while they are read.
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    sql->AddLine(QStringLiteral("select D.*"));
    sql->AddLine(QStringLiteral("from DEP D"));
    sql->AddLine(QStringLiteral("where D.OBJ_ID = :OBJ_ID"));
    sql->ParamByName(QStringLiteral("OBJ_ID")) = FObj->Id();
    TCloseGuard closer(*sql);
    for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
        auto link = std::make_unique<TObjLink>(*sql);
        link->CopyDataFrom(*sql);
        AddLoaded(std::move(link));
    }
}

TObjLink *TObjLinkList::AddLoaded(std::unique_ptr<TObjLink> ALink)
{
    ALink->SetParentObj(FObj);
    ALink->SetChildFld(DB->ObjList->GetFldById(ALink->FldByName(QStringLiteral("FLD_ID")).AsInteger()));
    TObjLink *added = Add(std::move(ALink));
    added->ChildFld()->Obj()->ParentList->Add(added);
    return added;
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
