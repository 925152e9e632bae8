#include "SchemaNames.h"

#include "Func.h"
#include "IBSQL.h"

#include <algorithm>

QString UpperAscii(QString AName)
{
    for (QChar &c : AName)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return AName;
}

QList<QList<Variant>> TSchemaNames::Rows(const QString &AText, const QList<std::pair<QString, QString>> &ANames)
{
    FSQL.SetSQL(AText);
    for (const auto &[param, name] : ANames)
        FSQL.ParamByName(param) = UpperAscii(name);
    TCloseGuard closer(FSQL);
    QList<QList<Variant>> rows;
    for (FSQL.ExecQuery(); !FSQL.Eof(); FSQL.Next()) {
        QList<Variant> row;
        for (int i = 0; i < FSQL.FieldCount(); ++i)
            row << FSQL.Field(i);
        rows << row;
    }
    return rows;
}

QList<Variant> TSchemaNames::RowNamed(const char *AColumns, const char *ASystemTable, const char *ANameColumn,
                                      const QString &AName)
{
    const QString text = QStringLiteral("select %1 from %2 where %3 = :NAME");
    const auto rows = Rows(text.arg(QLatin1String(AColumns), QLatin1String(ASystemTable), QLatin1String(ANameColumn)),
                           {{QStringLiteral("NAME"), AName}});
    return rows.isEmpty() ? QList<Variant>() : rows.first();
}

bool TSchemaNames::Named(const char *ASystemTable, const char *ANameColumn, const QString &AName)
{
    return !RowNamed("1", ASystemTable, ANameColumn, AName).isEmpty();
}

bool TSchemaNames::HasTable(const QString &ATable)
{
    return Named("RDB$RELATIONS", "RDB$RELATION_NAME", ATable);
}

bool TSchemaNames::HasColumn(const QString &ATable, const QString &AColumn)
{
    return !Rows(QStringLiteral("select 1 from RDB$RELATION_FIELDS where RDB$RELATION_NAME = :TBL and "
                                "RDB$FIELD_NAME = :FLD"),
                 {{QStringLiteral("TBL"), ATable}, {QStringLiteral("FLD"), AColumn}})
                .isEmpty();
}

bool TSchemaNames::HasSequence(const QString &ASequence)
{
    return Named("RDB$GENERATORS", "RDB$GENERATOR_NAME", ASequence);
}

QString TSchemaNames::TriggerTable(const QString &ATrigger)
{
    const QList<Variant> row = RowNamed("trim(RDB$RELATION_NAME)", "RDB$TRIGGERS", "RDB$TRIGGER_NAME", ATrigger);
    return row.isEmpty() || row.first().isNull() ? QString() : row.first().toString();
}

bool TSchemaNames::HasTrigger(const QString &ATrigger)
{
    return Named("RDB$TRIGGERS", "RDB$TRIGGER_NAME", ATrigger);
}

TStoredColumn TSchemaNames::DomainColumn(const QString &ADomain)
{
    const QList<Variant> row = RowNamed("RDB$FIELD_TYPE, RDB$FIELD_LENGTH", "RDB$FIELDS", "RDB$FIELD_NAME", ADomain);
    if (row.isEmpty())
        throw ExceptionPos(Format(QStringLiteral("В базе данных нет домена \"%s\"."), {UpperAscii(ADomain)}));
    return {0, row[0].toInt(), row[1].toInt()};
}

QStringList TSchemaNames::ColumnReaders(const QString &ATable, const QString &AColumn)
{
    QStringList readers;
    for (const QList<Variant> &row :
         Rows(QStringLiteral("select trim(RDB$DEPENDENT_NAME) from RDB$DEPENDENCIES "
                             "where RDB$DEPENDED_ON_NAME = :TBL and RDB$FIELD_NAME = :FLD"),
              {{QStringLiteral("TBL"), ATable}, {QStringLiteral("FLD"), AColumn}}))
        readers << row.first().toString();
    return readers;
}

QList<TStoredColumn> TSchemaNames::StoredColumns(const QString &ATable)
{
    QList<TStoredColumn> columns;
    for (const QList<Variant> &row :
         Rows(QStringLiteral("select RF.RDB$FIELD_ID, F.RDB$FIELD_TYPE, F.RDB$FIELD_LENGTH from RDB$RELATION_FIELDS RF "
                             "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                             "where RF.RDB$RELATION_NAME = :TBL and F.RDB$COMPUTED_BLR is null "
                             "order by RF.RDB$FIELD_ID"),
              {{QStringLiteral("TBL"), ATable}}))
        columns << TStoredColumn{row[0].toInt(), row[1].toInt(), row[2].toInt()};
    return columns;
}

int TSchemaNames::NextColumnId(const QString &ATable)
{
    const auto rows = Rows(QStringLiteral("select coalesce(R.RDB$FIELD_ID, 0), (select coalesce(max(RF.RDB$FIELD_ID) + 1, 0) "
                                          "from RDB$RELATION_FIELDS RF where RF.RDB$RELATION_NAME = R.RDB$RELATION_NAME) "
                                          "from RDB$RELATIONS R where R.RDB$RELATION_NAME = :TBL"),
                           {{QStringLiteral("TBL"), ATable}});
    return rows.isEmpty() ? 0 : std::max(rows.first()[0].toInt(), rows.first()[1].toInt());
}
