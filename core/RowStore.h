#pragma once

#include "Variant.h"

#include <bitset>
#include <cstdint>
#include <unordered_map>
#include <vector>

// One fetched row: a value per result column of the select, in select order. Element 0 is the
// object's key, since the select puts the view's root field, the key field, first.
using TRow = std::vector<Variant>;

// The fetched rows of a table window, kept by column so that a million rows cost little more
// than their data: numbers, flags and dates as raw integers of the narrowest width that holds
// them, texts as UTF-8 in one block with offsets, a Null bit per value, a check mark per row.
// Values read back are exactly the values stored (a scaled number stays scaled); a value of
// another type than the rest of its column, as a caller may write one, is kept aside as it came.
//
// Rows live in slots filled in fetch order; while rows are only appended, row i is slot i.
// Inserting, removing or re-reading a row keeps the slots and moves only a row-to-slot index;
// slots that no row refers to any more are dropped in one pass once they outnumber the rows.
// A column keeps its slots in chunks of a few thousand, each with its own blocks, so that the
// store grows without copying what it holds and without room reserved far ahead.
//
// A store that drops many rows (Reset, or its end) hands the memory they took back to the
// system, so that a closed window's rows do not stay with the process.
class TRowStore
{
public:
    explicit TRowStore(int AColumnCount = 0);
    ~TRowStore();
    TRowStore(TRowStore &&) = default;
    TRowStore &operator=(TRowStore &&) = default;

    // Drops every row; the rows to come have AColumnCount values.
    void Reset(int AColumnCount);
    int Count() const { return FCount; }
    int ColumnCount() const { return int(FColumns.size()); }

    // Each row must have ColumnCount values.
    void Append(const TRow &ARow);
    void Insert(int AIndex, const TRow &ARow);
    // The row at AIndex takes the values of ARow and keeps its place and check mark.
    void Replace(int AIndex, const TRow &ARow);
    void Remove(int AIndex);

    Variant Value(int ARow, int AColumn) const;
    void SetValue(int ARow, int AColumn, const Variant &AValue);
    TRow Row(int ARow) const;

    bool Checked(int ARow) const;
    void SetChecked(int ARow, bool AChecked);
    // The first ticked row at or after AFrom; -1 when there is none.
    int NextChecked(int AFrom) const;

    static constexpr std::uint32_t ChunkSlots = 4096;

private:
    enum class TKind : std::uint8_t { None, Integer, Currency, Boolean, Date, Time, DateTime, Double, Text };

    // The values of one column in ChunkSlots consecutive slots.
    struct TChunk
    {
        int Width = 1;                      // bytes per slot in Fixed
        std::vector<char> Fixed;            // the raw integer of each slot
        std::vector<std::uint32_t> Offsets; // Text: where each slot's text starts, then the end
        std::vector<char> Text;
        std::bitset<ChunkSlots> Nulls;
    };

    struct TColumn
    {
        TKind Kind = TKind::None;           // None until the first value that is not Null
        std::vector<TChunk> Chunks;
        std::unordered_map<std::uint32_t, Variant> Aside;   // values not of the column's kind
    };

    // The kind a value's type asks its column for; Unassigned and Null ask for none.
    static TKind KindOf(const Variant &AValue);
    // The value as the raw integer of a column of kind AKind; false when the value is not of
    // that kind or has no exact raw form (an invalid date, a time stamp not in local time).
    static bool Encode(TKind AKind, const Variant &AValue, std::int64_t &ACode);
    static Variant Decode(TKind AKind, std::int64_t ACode);
    static void PutFixed(TChunk &AChunk, std::uint32_t AAt, std::int64_t ACode);
    static void Widen(TChunk &AChunk, int AWidth);
    static void AppendText(TChunk &AChunk, const Variant &AValue);

    std::uint32_t Slot(int ARow) const { return FOrder.empty() ? std::uint32_t(ARow) : FOrder[size_t(ARow)]; }
    void CheckRow(int ARow, int ACount) const;
    const TColumn &Column(int AColumn) const;
    std::uint32_t AddSlot(const TRow &ARow);
    void AppendValue(TColumn &AColumn, std::uint32_t ASlot, const Variant &AValue);
    void StartChunk(TColumn &AColumn) const;
    // The slots of the column so far take their places in the blocks of AKind, as Nulls.
    void Adopt(TColumn &AColumn, TKind AKind) const;
    // Drops whatever the column holds beyond the slots of the store.
    void Truncate(TColumn &AColumn) const;
    // The row-to-slot index, made once a row goes anywhere but the end.
    void MakeOrder();
    void Discard(std::uint32_t ASlot);
    void CompactWhenWasteful();
    // The bytes the store has taken for its rows.
    size_t Footprint() const;

    std::vector<TColumn> FColumns;
    std::vector<std::uint32_t> FOrder;   // slot of each row; empty while row i is slot i, for all rows
    std::vector<bool> FChecked;          // per slot
    std::uint32_t FSlots = 0;
    int FCount = 0;
};
