#pragma once

#include "Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

class TIBSQL;

// An unquoted name as the database stores it: ASCII letters upper-cased, nothing else changed.
// Every name asked of the system tables, and every column name the field editor stores, takes
// this one form.
QString UpperAscii(QString AName);

// One stored column of a table as the engine lays out its records: its position among the
// table's columns, its type code and its declared length in bytes.
struct TStoredColumn {
    int Id = 0;
    int Type = 0;
    int Length = 0;
};

// The names the database already has, read from its system tables on the statement given, which
// runs in whatever transaction it belongs to and sees the schema as that transaction does. Names
// are asked in the form UpperAscii gives them.
class TSchemaNames
{
public:
    explicit TSchemaNames(TIBSQL &ASQL) : FSQL(ASQL) {}

    bool HasTable(const QString &ATable);
    bool HasColumn(const QString &ATable, const QString &AColumn);
    bool HasSequence(const QString &ASequence);
    bool HasTrigger(const QString &ATrigger);
    // The table the trigger of that name is on; empty when there is none, or it is on no table.
    QString TriggerTable(const QString &ATrigger);
    // The triggers, views and procedures that read the table's column.
    QStringList ColumnReaders(const QString &ATable, const QString &AColumn);
    // The stored (not computed) columns of the table in their order, and the position the next
    // column added to it takes.
    QList<TStoredColumn> StoredColumns(const QString &ATable);
    int NextColumnId(const QString &ATable);
    // A column on the domain: its type code and length.
    TStoredColumn DomainColumn(const QString &ADomain);

private:
    // Runs the select with the named parameters set to the names, each put in the stored form,
    // and gives every row's columns.
    QList<QList<Variant>> Rows(const QString &AText, const QList<std::pair<QString, QString>> &ANames);
    // The columns of the system table's row of that name; empty when it has none.
    QList<Variant> RowNamed(const char *AColumns, const char *ASystemTable, const char *ANameColumn,
                            const QString &AName);
    // Whether the system table has a row of that name.
    bool Named(const char *ASystemTable, const char *ANameColumn, const QString &AName);

    TIBSQL &FSQL;
};
