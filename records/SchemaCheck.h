#pragma once

#include "SchemaNames.h"
#include "Variant.h"

#include <QString>

class TAtr;
class TAtrItem;
class TIBSQL;
class TObj;

// Checks of the schema editors, raised on the item whose control the card focuses.

// A value the user has not given: Null, or the empty text of a cleared edit.
bool IsBlank(const Variant &AValue);

// A name that is to reach a statement of the database as a table, column, constraint, trigger
// or sequence name (see IdentifierFault); AItem is the value the name comes from.
void CheckIdentifier(TAtrItem *AItem, const QString &AName);

// A field name the object already has, stored or virtual, in any letter case: two fields of one
// name would read and write the same column.
void CheckFieldNameFree(TAtrItem *AItem, const TObj &AObj, const QString &AName);
// A column the database table already has, whether the repository knows it or not; and a table
// (or view) name the database already has. Each asks the system tables with one select on ASQL.
void CheckColumnFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable, const QString &AColumn);
void CheckTableFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable);
// A sequence the database already has under the name a new table's keys would take.
void CheckSequenceFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ASequence, const QString &ATable);

// The endings of the three triggers that keep a summing column, named after it.
inline const QStringList SummingTriggerSuffixes = {QStringLiteral("_AI"), QStringLiteral("_AU"),
                                                   QStringLiteral("_AD")};
// A trigger the database already has under a name the summing column's triggers would take;
// the message names the summing field that owns it, or else its table.
void CheckSummingTriggersFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &AColumn);
// A new column that would make the table's records larger than the engine stores; AChars the
// size of a string column, 0 for others.
void CheckRecordSize(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable, const TStoredColumn &AColumn, int AChars);
// A required column without a default, which the rows a table has already would leave empty.
void CheckRequiredOnEmptyTable(TIBSQL &ASQL, TAtrItem *AItem, const QString &AField, const QString &ATable);

// An existing row's value that the schema was built from: changing it in the row alone would
// make metadata and schema disagree, so a changed item (one whose value differs from AStored)
// is refused. Fields the editor has no item for pass.
void CheckUnchanged(const TAtr &AAtr, const QString &AFldName, const Variant &AStored);

// Raises the record editor's own message for a required value that is missing on insert.
[[noreturn]] void RaiseRequired(const TAtr &AAtr, TAtrItem *AItem);
