#pragma once

#include "Variant.h"

#include <QString>
#include <ibase.h>
#include <memory>
#include <vector>

// An XSQLDA with a data buffer and a NULL indicator for every variable.
// Every variable is made nullable, so any parameter can take Null and any column can report it.
// The area is allocated at the first describe: statements that never run cost nothing.
class TXSqlda
{
public:
    TXSqlda();

    XSQLDA *Data() { return FDa.get(); }
    int Count() const { return FDa ? FDa->sqld : 0; }
    XSQLVAR &Var(int i) { return FDa->sqlvar[i]; }
    const XSQLVAR &Var(int i) const { return FDa->sqlvar[i]; }

    // Describes the statement's columns (or its parameters), growing the area when needed.
    void DescribeOutput(isc_stmt_handle *stmt, const QString &sqlText);
    void DescribeInput(isc_stmt_handle *stmt, const QString &sqlText);

    // Output: buffers of the described size for every column.
    void AllocateOutput();
    bool IsNull(int i) const { return FIndicators[size_t(i)] < 0; }

    // Input: the value for parameter i, converted to what the server described for it.
    // Text blobs are written through the given handles.
    void SetInput(int i, const Variant &value, isc_db_handle *db, isc_tr_handle *tr);

    // Output: column i as a Variant; text blobs are read through the given handles.
    Variant Value(int i, isc_db_handle *db, isc_tr_handle *tr) const;

private:
    using Describer = ISC_STATUS (*)(ISC_STATUS *, isc_stmt_handle *, unsigned short, XSQLDA *);
    void Describe(Describer describer, isc_stmt_handle *stmt, const QString &sqlText);
    void Resize(int count);
    void BindBuffer(int i, int bytes);

    struct FreeDeleter { void operator()(XSQLDA *p) const; };
    std::unique_ptr<XSQLDA, FreeDeleter> FDa;
    std::vector<short> FDescribedTypes;   // types and sizes as the server described them,
    std::vector<short> FDescribedLengths; // kept because input conversion rewrites each var
    std::vector<std::vector<char>> FBuffers;
    std::vector<short> FIndicators;
};
