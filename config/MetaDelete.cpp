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
