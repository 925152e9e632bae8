#include "RecordSize.h"

namespace {

int Alignment(int AType)
{
    switch (AType) {
    case tpSmallint:
    case tpVarchar: return 2;
    case tpInteger:
    case tpQuad:
    case tpFloat:
    case tpDate:
    case tpTime:
    case tpTimestamp:
    case tpBlob: return 4;
    case tpBigint:
    case tpDouble: return 8;
    default: return 1;   // characters and flags
    }
}

int AlignUp(int AOffset, int AAlignment)
{
    return (AOffset + AAlignment - 1) / AAlignment * AAlignment;
}

} // namespace

int StoredBytes(const TStoredColumn &AColumn)
{
    switch (AColumn.Type) {
    case tpVarchar: return AColumn.Length + 2;
    case tpCString: return AColumn.Length + 1;
    case tpBlob: return 8;   // the blob's id; its text is stored apart
    default: return AColumn.Length;
    }
}

int RecordSize(const QList<TStoredColumn> &AColumns, int APositions)
{
    int offset = ((APositions + 32) & ~31) / 8;
    for (const TStoredColumn &column : AColumns)
        offset = AlignUp(offset, Alignment(column.Type)) + StoredBytes(column);
    return offset;
}
