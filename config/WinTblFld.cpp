#include "WinTblFld.h"

#include "FreedEntries.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "MetaDelete.h"
#include "ObjLink.h"
#include "WinCardFld.h"

void TWinTblFld::SetParentId(const Variant &Value)
{
    TWinTbl::SetParentId(Value);
    ParentObj = Value.isEmptyOrNull() ? nullptr : DB->ObjList->GetObjById(VarAsInteger(Value));
}

void TWinTblFld::ChangeFocus()
{
    const Variant id = FocusedRecId();
    CurrentFld = nullptr;
    if (ParentObj && !id.isNull())
        for (TFld *fld : *ParentObj->FldList)
            if (fld->Id() == VarAsInteger(id))
                CurrentFld = fld;
    TWinTbl::ChangeFocus();
}

bool TWinTblFld::ConfirmDelete()
{
    if (!CurrentFld)
        throw ExceptionPos::Fmt(QStringLiteral("TWinTblFld.ConfirmDelete: Поле с кодом %s не загружено."),
                                {FocusedRecId()}, vt);
    if (CurrentFld->Sys() && !DevMode)
        throw ExceptionPos(QStringLiteral("Системное поле удалить нельзя."), vt);
    // Without its key the table would be left without a primary key and the object without a key field.
    if (CurrentFld->FldType() == TFldType::ftPK)
        throw ExceptionPos::Fmt(QStringLiteral("Ключевое поле \"%s\" удаляется только вместе с объектом."),
                                {CurrentFld->Capt()}, vt);
    const TFreedEntries entries = TFreedEntries::OfFld(CurrentFld);
    entries.CheckReaders(vt);
    if (EntryUsers)
        EntryUsers->CheckRelease(entries);
    return TWinTbl::ConfirmDelete();
}

void TWinTblFld::DeleteRecord()
{
    const QString table = CurrentFld->Obj()->Table();
    const QString column = CurrentFld->Field();
    CheckDropName(table);
    CheckDropName(column);
    {
        const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLC();
        // A summing field saved as one after its creation has no triggers to drop.
        if (!CurrentFld->DepIdAgr().isNull() || CurrentFld->AgrObjLink())
            for (const auto &[format, suffix] : {std::pair{QStringLiteral("drop trigger %s_AI"), QStringLiteral("_AI")},
                                                 std::pair{QStringLiteral("drop trigger %s_AU"), QStringLiteral("_AU")},
                                                 std::pair{QStringLiteral("drop trigger %s_AD"), QStringLiteral("_AD")}})
                if (TriggerExists(*sql, column + suffix))
                    ExecDrop(*sql, Format(format, {column}));
        if (!CurrentFld->Virt())
            ExecDrop(*sql, Format(QStringLiteral("alter table %s drop %s"), {table, column}));
    }
    TWinTbl::DeleteRecord();
}

void TWinTblFld::AfterDelete()
{
    TFld *fld = CurrentFld;
    TObj *obj = fld->Obj();
    const TFreedEntries entries = TFreedEntries::OfFld(fld);
    if (EntryUsers)
        EntryUsers->Release(entries);
    CurrentFld = nullptr;
    // A virtual link field has no link.
    if (TObjLink *link = fld->FldType() == TFldType::ftFK ? obj->ParentList->GetByFld(fld) : nullptr) {
        obj->ParentList->Extract(link);
        RemoveEntry<TObjLink>(*link->ParentObj()->ChildList, link);
    }
    entries.ReleaseSumming();
    RemoveEntry<TFld>(*obj->FldList, fld);
}

std::unique_ptr<TWinCard> TWinTblFld::CreateCard(bool /*ANew: one card for both*/)
{
    return CreateMetaCard<TWinCardFld>(Owner, vt, TblObj(), QStringLiteral("Fld"));
}
