#include "WinTblDep.h"

#include "Filter.h"
#include "FilterTree.h"
#include "FreedEntries.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "MetaDelete.h"
#include "ObjLink.h"
#include "WinCardDep.h"

void TWinTblDepChildObj::SetParentId(const Variant &Value)
{
    TWinTblMeta::SetParentId(Value);
    ParentObj = Value.isEmptyOrNull() ? nullptr : DB->ObjList->GetObjById(VarAsInteger(Value));
}

void TWinTblDepChildObj::ChangeFocus()
{
    const Variant id = FocusedRecId();
    CurrentObjLink = ParentObj && !id.isNull() ? ParentObj->ChildList->GetById(VarAsInteger(id)) : nullptr;
    TWinTblMeta::ChangeFocus();
}

bool TWinTblDepChildObj::ConfirmDelete()
{
    return ConfirmFree(CurrentObjLink != nullptr, CurrentObjLink && CurrentObjLink->Sys(),
                       QStringLiteral("Системную связь удалить нельзя."), QString(),
                       [this] { return TFreedEntries::OfLink(CurrentObjLink); });
}

void TWinTblDepChildObj::DeleteRecord()
{
    const TFld *fld = CurrentObjLink->ChildFld();
    const QString table = fld->Obj()->Table();
    const QString column = fld->Field();
    CheckDropName(table);
    CheckDropName(column);
    {
        const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLC();
        ExecDrop(*sql, Format(QStringLiteral("alter table %s drop %s"), {table, column}));
        sql->SetSQL(QStringLiteral("delete from FLD where FLD_ID = :FLD_ID"));
        sql->ParamByName(QStringLiteral("FLD_ID")) = fld->Id();
        sql->ExecQuery();
    }
    // The field row has taken the link row with it; the inherited delete finds nothing left.
    TWinTblMeta::DeleteRecord();
}

void TWinTblDepChildObj::AfterDelete()
{
    TObjLink *link = CurrentObjLink;
    const TFreedEntries entries = TFreedEntries::OfLink(link);
    Release(entries);
    CurrentObjLink = nullptr;
    entries.FreeFld(link->ChildFld(), link);
}

TFreedEntries TWinTblDepChildObj::AddedEntries(const Variant &ARecId) const
{
    TObjLink *link = ParentObj && !ARecId.isEmptyOrNull() ? ParentObj->ChildList->GetById(VarAsInteger(ARecId)) : nullptr;
    return link ? TFreedEntries::OfLink(link) : TFreedEntries();
}

std::unique_ptr<TWinCard> TWinTblDepChildObj::CreateCard(bool /*ANew: one card for both*/)
{
    return CreateMetaCard<TWinCardChildDep>(Owner, vt, TblObj(), QStringLiteral("ChildObj"));
}

void TWinTblDepParentObj::Prepare()
{
    TWinTbl::Prepare();
    TFilterTree &root = *ParentFilter->FilterTreeRoot;
    root.SetFld(DB->ObjList->GetObjByTable(QStringLiteral("FLD"))->GetFldByName(QStringLiteral("OBJ_ID")));
    root.FldByName(QStringLiteral("FLTRTREE_PATHHAVE")).Value = true;
    root.Path.Clear();
    root.Path.Add(TblObj()->GetFldByName(QStringLiteral("FLD_ID")));
}
