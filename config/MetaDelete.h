#pragma once

#include <QString>
#include <QStringList>

class QObject;
class TFreedEntries;
class TIBSQL;

// The schema statements that deleting a metadata row runs before the row itself, on the write
// transaction the delete runs in.

// Refuses a name that cannot stand unquoted in a statement, before anything runs.
void CheckDropName(const QString &AName);
// Runs one schema statement.
void ExecDrop(TIBSQL &ASQL, const QString &AText);
// Whether anything but the named schema objects reads the table's column.
bool ColumnReadBeyond(TIBSQL &ASQL, const QString &ATable, const QString &AColumn, const QStringList &AReaders);
// Refuses, naming them, when summing fields of objects that stay read a freed field or link:
// their triggers read its column, which the engine then will not drop. The error box stands
// over AParent.
void CheckSummingReaders(const TFreedEntries &AEntries, QObject *AParent);
