#include "WinTblFld.h"

#include "FreedEntries.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "MetaDelete.h"
#include "ObjLink.h"
#include "SchemaCheck.h"
#include "SchemaNames.h"
#include "WinCardFld.h"
#include "WriteGuard.h"

namespace {

bool Summing(const TFld *AFld)
{
    return !AFld->DepIdAgr().isNull() || AFld->AgrObjLink();
}

// Only the triggers that exist: a field saved as a summing one after its creation has none.
void DropSummingTriggers(TIBSQL &ASQL, const QString &AColumn)
{
    TSchemaNames names(ASQL);
    for (const QString &suffix : SummingTriggerSuffixes)
        if (names.HasTrigger(AColumn + suffix))
            ExecDrop(ASQL, QStringLiteral("drop trigger ") + AColumn + suffix);
}

// The field of the object with the key; nil when the object has none (or for no key).
TFld *FieldOf(const TObj *AObj, const Variant &AId)
{
    if (!AObj || AId.isEmptyOrNull())
        return nullptr;
    for (TFld *fld : *AObj->FldList)
        if (fld->Id() == VarAsInteger(AId))
            return fld;
    return nullptr;
}

} // namespace

void TWinTblFld::SetParentId(const Variant &Value)
{
    TWinTblMeta::SetParentId(Value);
    ParentObj = Value.isEmptyOrNull() ? nullptr : DB->ObjList->GetObjById(VarAsInteger(Value));
}

void TWinTblFld::ChangeFocus()
{
    CurrentFld = FieldOf(ParentObj, FocusedRecId());
    TWinTblMeta::ChangeFocus();
}

bool TWinTblFld::ConfirmDelete()
{
    // Without its key the table would be left without a primary key and the object without a key field.
    const QString keyRefusal = CurrentFld && CurrentFld->FldType() == TFldType::ftPK
                                   ? Format(QStringLiteral("Ключевое поле \"%s\" удаляется только вместе с объектом."),
                                            {CurrentFld->Capt()})
                                   : QString();
    if (!ConfirmFree(CurrentFld != nullptr, CurrentFld && CurrentFld->Sys(), QStringLiteral("Системное поле удалить нельзя."),
                     keyRefusal, [this] { return TFreedEntries::OfFld(CurrentFld); }))
        return false;
    DropTriggersAlone();
    return true;
}

// The database lets go of what a dropped trigger read only when the drop is committed, so a
// column read by its own summing triggers cannot be dropped in the transaction that drops them.
// When nothing else reads the column, the triggers go first in a transaction of their own; the
// field stays a summing field without triggers until its delete commits. Otherwise they go with
// the column, whose drop the database then refuses, saying what else reads it.
void TWinTblFld::DropTriggersAlone()
{
    if (!Summing(CurrentFld) || CurrentFld->Virt())
        return;
    const QString table = CurrentFld->Obj()->Table();
    const QString column = CurrentFld->Field();
    CheckDropName(table);
    CheckDropName(column);
    TWriteGuard guard(*DB);
    std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLC();
    QStringList triggers;
    for (const QString &suffix : SummingTriggerSuffixes)
        triggers << column + suffix;
    if (ColumnReadBeyond(*sql, table, column, triggers))
        return;
    DropSummingTriggers(*sql, column);
    sql.reset();
    guard.Commit();
}

void TWinTblFld::DeleteRecord()
{
    const QString table = CurrentFld->Obj()->Table();
    const QString column = CurrentFld->Field();
    CheckDropName(table);
    CheckDropName(column);
    {
        const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLC();
        if (Summing(CurrentFld))
            DropSummingTriggers(*sql, column);
        if (!CurrentFld->Virt())
            ExecDrop(*sql, Format(QStringLiteral("alter table %s drop %s"), {table, column}));
    }
    TWinTblMeta::DeleteRecord();
}

void TWinTblFld::AfterDelete()
{
    TFld *fld = CurrentFld;
    const TFreedEntries entries = TFreedEntries::OfFld(fld);
    Release(entries);
    CurrentFld = nullptr;
    // A virtual link field has no link.
    entries.FreeFld(fld, fld->FldType() == TFldType::ftFK ? fld->Obj()->ParentList->GetByFld(fld) : nullptr);
}

TFreedEntries TWinTblFld::AddedEntries(const Variant &ARecId) const
{
    TFld *fld = FieldOf(ParentObj, ARecId);
    return fld ? TFreedEntries::OfFld(fld) : TFreedEntries();
}

std::unique_ptr<TWinCard> TWinTblFld::CreateCard(bool /*ANew: one card for both*/)
{
    return CreateMetaCard<TWinCardFld>(Owner, vt, TblObj(), QStringLiteral("Fld"));
}
