#pragma once

#include <QString>
#include <QStringList>

class TIBSQL;

// The schema statements that deleting a metadata row runs before the row itself, on the write
// transaction the delete runs in.

// Refuses a name that cannot stand unquoted in a statement, before anything runs.
void CheckDropName(const QString &AName);
// Runs one schema statement.
void ExecDrop(TIBSQL &ASQL, const QString &AText);
// Whether the trigger exists, as the statement's transaction sees the schema.
bool TriggerExists(TIBSQL &ASQL, const QString &AName);
// Whether anything but the named schema objects reads the table's column.
bool ColumnReadBeyond(TIBSQL &ASQL, const QString &ATable, const QString &AColumn, const QStringList &AReaders);
