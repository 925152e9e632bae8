#pragma once

#include "Variant.h"

#include <QList>
#include <QString>
#include <utility>

class TAtr;

// Inserts one new row through a record editor, inside the caller's write transaction: the
// editor's defaults first, then the given column values as ordinary changes. The editor may be
// reused for the next row. Returns the new row's key.
Variant PostNewRow(TAtr &AAtr, const QList<std::pair<QString, Variant>> &AValues);
