#include "ChoiceSql.h"

#include "IBSQL.h"
#include "Func.h"
#include "Main.h"
#include "Obj.h"

TChoiceSql::TChoiceSql(const QString &ATable, const QString &AAlias, const QString &AUserTable)
    : FTable(ATable), FAlias(AAlias), FUserTable(AUserTable)
{
}

QString TChoiceSql::Column(const QString &ASuffix) const
{
    return FAlias + QLatin1Char('.') + FTable + ASuffix;
}

QString TChoiceSql::WhereLine(const QString &AColumn, int AValue) const
{
    return QStringLiteral("where %1.%2 = %3").arg(FAlias, AColumn).arg(AValue);
}

void TChoiceSql::Start(TIBSQL &AIBSQL) const
{
    AIBSQL.ClearSQL();
    AIBSQL.AddLine(QStringLiteral("select %1.*").arg(FAlias));
}

void TChoiceSql::AddDevOrder(TIBSQL &AIBSQL) const
{
    // A developer sees the rows made for developers first; anyone else the ordinary ones.
    AIBSQL.AddLine(QStringLiteral("order by ") + Column(QStringLiteral("_DEV")) +
                   (DevMode ? QStringLiteral(" desc") : QString()));
}

void TChoiceSql::ById(TIBSQL &AIBSQL, int AId) const
{
    Start(AIBSQL);
    AIBSQL.AddLine(QStringLiteral("from %1 %2").arg(FTable, FAlias));
    AIBSQL.AddLine(WhereLine(FTable + QStringLiteral("_ID"), AId));
}

void TChoiceSql::ByName(TIBSQL &AIBSQL, const QString &AWhere, const QString &AName) const
{
    const QString param = FTable + QStringLiteral("_NAME");
    Start(AIBSQL);
    AIBSQL.AddLine(QStringLiteral("from %1 %2").arg(FTable, FAlias));
    AIBSQL.AddLine(AWhere);
    AIBSQL.AddLine(QStringLiteral("and %1 = :%2").arg(Column(QStringLiteral("_NAME")), param));
    AddDevOrder(AIBSQL);
    AIBSQL.ParamByName(param) = AName;
}

void TChoiceSql::UserChoice(TIBSQL &AIBSQL, const QString &AWhere, int AUserId) const
{
    const QString key = FTable + QStringLiteral("_ID");
    Start(AIBSQL);
    AIBSQL.AddLine(QStringLiteral("from %1 U").arg(FUserTable));
    AIBSQL.AddLine(QStringLiteral("join %1 %2 on %2.%3 = U.%3").arg(FTable, FAlias, key));
    AIBSQL.AddLine(AWhere);
    AIBSQL.AddLine(QStringLiteral("and U.USR_ID = ") + QString::number(AUserId));
}

void TChoiceSql::Default(TIBSQL &AIBSQL, const QString &AWhere) const
{
    Start(AIBSQL);
    AIBSQL.AddLine(QStringLiteral("from %1 %2").arg(FTable, FAlias));
    AIBSQL.AddLine(AWhere);
    AIBSQL.AddLine(QStringLiteral("and %1 = 1").arg(Column(QStringLiteral("_DEFAULT"))));
    AddDevOrder(AIBSQL);
}

TChoiceRow::TChoiceRow(const TChoiceSql &AChoice, const QString &AMissText, const QString &AMissFmt)
    : IBSQLS(DB->CreateIBSQLS()), Choice(AChoice), FMissText(AMissText), FMissFmt(AMissFmt)
{
}

TChoiceRow::~TChoiceRow() = default;

bool TChoiceRow::LoadRow()
{
    {
        TCloseGuard closer(*IBSQLS);
        IBSQLS->ExecQuery();
        if (IBSQLS->Eof())
            return false;
        CopyDataFrom(*IBSQLS);   // the first row wins
    }
    RowLoaded();
    return true;
}

bool TChoiceRow::MissCheck(bool AFound, const TObj *AObj) const
{
    if (AFound || !RaiseLoad)
        return AFound;
    if (!AObj)
        throw ExceptionPos(FMissText);
    throw ExceptionPos::Fmt(FMissFmt, {AObj->Capt()});
}

bool TChoiceRow::LoadRowById(int AId)
{
    Choice.ById(*IBSQLS, AId);
    return MissCheck(LoadRow(), nullptr);
}

bool TChoiceRow::LoadRowByName(const TObj *AObj, const QString &AWhere, const QString &AName)
{
    Choice.ByName(*IBSQLS, AWhere, AName);
    return MissCheck(LoadRow(), AObj);
}

bool TChoiceRow::LoadRowCurrent(const TObj *AObj, const QString &AWhere, int AUserId)
{
    Choice.UserChoice(*IBSQLS, AWhere, AUserId);
    bool found = LoadRow();
    if (!found) {
        Choice.Default(*IBSQLS, AWhere);
        found = LoadRow();
    }
    return MissCheck(found, AObj);
}
