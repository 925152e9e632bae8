#pragma once

#include "Variant.h"

#include <QString>
#include <ibase.h>
#include <vector>

namespace Firebird {
class IMessageMetadata;
}

// A statement's columns or parameters: how the server described them, one XSQLVAR each with
// a data buffer and a NULL indicator, and the message the client library's object interface
// reads and writes. Output variables point into that message, so a fetched row needs no copy.
// Every variable is made nullable, so any parameter can take Null and any column can report it.
class TXSqlda
{
public:
    TXSqlda();
    ~TXSqlda();
    TXSqlda(const TXSqlda &) = delete;
    TXSqlda &operator=(const TXSqlda &) = delete;

    int Count() const { return int(FVars.size()); }
    XSQLVAR &Var(int i) { return FVars[size_t(i)]; }
    const XSQLVAR &Var(int i) const { return FVars[size_t(i)]; }
    const QString &Name(int i) const { return FNames[size_t(i)]; }   // the column's alias

    // Takes over the server's description of the columns (or the parameters); null forgets it.
    void Describe(Firebird::IMessageMetadata *metadata);

    // Output: the row's message as described, every column's data and indicator in it.
    void BindOutput();
    Firebird::IMessageMetadata *Metadata() const { return FMetadata; }
    unsigned char *Message() { return FMessage.data(); }
    bool IsNull(int i) const { return *Var(i).sqlind < 0; }

    // Input: the value for parameter i, converted to what the server described for it.
    // Text blobs are written through the given handles.
    void SetInput(int i, const Variant &value, isc_db_handle *db, isc_tr_handle *tr);
    // Input: the values set, as a message (Message()) and the metadata that lays it out. The
    // metadata is made anew only when a value's type or size differs from the last message's.
    Firebird::IMessageMetadata *InputMessage();

    // Output: column i as a Variant; text blobs are read through the given handles.
    Variant Value(int i, isc_db_handle *db, isc_tr_handle *tr) const;

private:
    void BindBuffer(int i, int bytes);
    bool SentShapeHolds() const;

    Firebird::IMessageMetadata *FMetadata = nullptr;   // as described
    Firebird::IMessageMetadata *FSent = nullptr;       // input: the layout of the last message
    std::vector<XSQLVAR> FVars;
    std::vector<QString> FNames;
    std::vector<short> FDescribedTypes;   // types and sizes as the server described them,
    std::vector<short> FDescribedLengths; // kept because input conversion rewrites each var
    std::vector<std::vector<char>> FBuffers;
    std::vector<short> FIndicators;
    std::vector<XSQLVAR> FSentShape;      // input: types and sizes FSent was made for
    std::vector<unsigned char> FMessage;
};
