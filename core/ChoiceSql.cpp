#include "ChoiceSql.h"

#include "IBSQL.h"
#include "Main.h"

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
