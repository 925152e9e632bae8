#include "MetaDelete.h"

#include "Func.h"
#include "IBSQL.h"

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

bool TriggerExists(TIBSQL &ASQL, const QString &AName)
{
    ASQL.SetSQL(QStringLiteral("select 1 from RDB$TRIGGERS where RDB$TRIGGER_NAME = :NAME"));
    ASQL.ParamByName(QStringLiteral("NAME")) = AName.toUpper();
    TCloseGuard closer(ASQL);
    ASQL.ExecQuery();
    return !ASQL.Eof();
}

bool ColumnReadBeyond(TIBSQL &ASQL, const QString &ATable, const QString &AColumn, const QStringList &AReaders)
{
    ASQL.SetSQL(QStringLiteral("select RDB$DEPENDENT_NAME from RDB$DEPENDENCIES "
                               "where RDB$DEPENDED_ON_NAME = :TBL and RDB$FIELD_NAME = :FLD"));
    ASQL.ParamByName(QStringLiteral("TBL")) = ATable.toUpper();
    ASQL.ParamByName(QStringLiteral("FLD")) = AColumn.toUpper();
    TCloseGuard closer(ASQL);
    for (ASQL.ExecQuery(); !ASQL.Eof(); ASQL.Next())
        if (!AReaders.contains(ASQL.Field(0).toString().trimmed(), Qt::CaseInsensitive))
            return true;
    return false;
}
