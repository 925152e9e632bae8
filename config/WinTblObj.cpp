#include "WinTblObj.h"

#include "FreedEntries.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "MetaDelete.h"
#include "ObjLink.h"
#include "WinCardObj.h"

#include <QTableView>

namespace {

TObj *FindObj(const Variant &AId)
{
    if (AId.isEmptyOrNull())
        return nullptr;
    for (TObj *obj : *DB->ObjList)
        if (obj->Id() == VarAsInteger(AId))
            return obj;
    return nullptr;
}

} // namespace

void TWinTblObj::ChangeFocus()
{
    CurrentObj = FindObj(FocusedRecId());
    TWinTblMeta::ChangeFocus();
}

bool TWinTblObj::ConfirmDelete()
{
    if (!ConfirmFree(CurrentObj != nullptr, CurrentObj && CurrentObj->Sys(), QStringLiteral("Системный объект удалить нельзя."),
                     QString(), [this] { return TFreedEntries::OfObj(CurrentObj); }))
        return false;
    if (!EntryUsers)
        return true;
    // Firebird drops no table that the long read transaction has read.
    const Variant id = FocusedRecId();
    EntryUsers->ReleaseTable(TFreedEntries::OfObj(CurrentObj));
    return CurrentObj && FocusedRecId() == id;
}

void TWinTblObj::DeleteRecord()
{
    if (!CurrentObj->PKFld)
        throw ExceptionPos::Fmt(QStringLiteral("У объекта \"%s\" нет ключевого поля."), {CurrentObj->Capt()}, vt);
    const QString table = CurrentObj->Table();
    const QString sequence = CurrentObj->PKFld->Field();
    CheckDropName(table);
    CheckDropName(sequence);
    CurrentObj->ReleaseStatements();
    {
        const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLC();
        ExecDrop(*sql, Format(QStringLiteral("drop table %s"), {table}));
        ExecDrop(*sql, Format(QStringLiteral("drop sequence %s"), {sequence}));
    }
    TWinTblMeta::DeleteRecord();
}

void TWinTblObj::AfterDelete()
{
    TObj *obj = CurrentObj;
    const TFreedEntries entries = TFreedEntries::OfObj(obj);
    Release(entries);
    CurrentObj = nullptr;
    for (int i = obj->ParentList->Count() - 1; i >= 0; --i) {
        TObjLink *link = obj->ParentList->Items(i);
        link->ParentObj()->ChildList->Remove(link);
    }
    entries.ReleaseSumming();
    DB->ObjList->Remove(obj);
}

std::unique_ptr<TWinCard> TWinTblObj::CreateCard(bool /*ANew: one card for both*/)
{
    return CreateMetaCard<TWinCardObj>(Owner, vt, TblObj(), QStringLiteral("Obj"));
}

void TWinTblObj::ReopenKeepingFocus()
{
    const Variant focused = FocusedRecId();
    Reopen();
    if (focused.isNull())
        return;
    GotoEnd();
    SelectRow(RowOfKey(focused));
}
