#pragma once

#include "SchemaNames.h"

// The bytes one record of a table takes as the engine lays it out, which refuses any layout
// past MaxRecordSize: a bit per column position (dropped ones too) in whole 32-bit words after
// one spare, then each stored column in position order at the alignment of its type. Computed
// columns take no room.
constexpr int MaxRecordSize = 65535;

// Type codes of the system tables.
enum : int {
    tpSmallint = 7, tpInteger = 8, tpQuad = 9, tpFloat = 10, tpDate = 12, tpTime = 13, tpChar = 14,
    tpBigint = 16, tpBoolean = 23, tpDouble = 27, tpTimestamp = 35, tpVarchar = 37, tpCString = 40, tpBlob = 261
};

// AColumns in position order; APositions the number of positions the table has used.
int RecordSize(const QList<TStoredColumn> &AColumns, int APositions);
// What a column of the type and declared length stores: a varchar its length and two bytes more.
int StoredBytes(const TStoredColumn &AColumn);
