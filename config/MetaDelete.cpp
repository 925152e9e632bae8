#include "MetaDelete.h"

#include "FreedEntries.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "SchemaNames.h"

#include <algorithm>

void CheckDropName(const QString &AName)
{
    const QString fault = IdentifierFault(AName);
    if (!fault.isEmpty())
        throw ExceptionPos(Format(QStringLiteral("Удалить нельзя: %s."), {fault}));
}

void ExecDrop(TIBSQL &ASQL, const QString &AText)
{
    ASQL.SetSQL(AText);
    ASQL.ExecImmediate();
}

bool ColumnReadBeyond(TIBSQL &ASQL, const QString &ATable, const QString &AColumn, const QStringList &AReaders)
{
    const QStringList readers = TSchemaNames(ASQL).ColumnReaders(ATable, AColumn);
    return std::any_of(readers.begin(), readers.end(),
                       [&](const QString &reader) { return !AReaders.contains(reader, Qt::CaseInsensitive); });
}

namespace {

// Whether the summing field reads a freed entry from a detail table that stays.
bool SumsFreed(const TFld &AFld, const TFreedEntries &AEntries)
{
    const TObjLink *link = AFld.AgrObjLink();
    if (!link || AFld.Virt() || AEntries.Has(link->ChildFld()->Obj()))
        return false;   // triggers on a dropped table go with it
    return AEntries.Has(link) || AEntries.Has(link->ChildFld()) || AEntries.Has(AFld.AgrFld());
}

} // namespace

void CheckSummingReaders(const TFreedEntries &AEntries, QObject *AParent)
{
    QStringList readers;
    for (const TObj *obj : *DB->ObjList)
        for (const TFld *fld : *obj->FldList)
            if (!AEntries.Has(fld) && SumsFreed(*fld, AEntries))
                readers << Format(QStringLiteral("суммирующее поле \"%s\" объекта \"%s\""), {fld->Capt(), obj->Capt()});
    if (!readers.isEmpty())
        throw ExceptionPos(Format(QStringLiteral("Удалить нельзя, удаляемое используют: %s."),
                                  {readers.join(QStringLiteral(", "))}),
                           AParent);
}
