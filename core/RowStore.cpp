#include "RowStore.h"

#include "FreeMemory.h"

#include <QStringEncoder>
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

constexpr std::int64_t MsecsPerDay = 86400000;
// Slots no row refers to are kept until they are this many and outnumber the rows.
constexpr std::uint32_t WasteAllowed = 1024;
// Dropped rows that took this much go back to the system at once; less stays with the heap for
// the next rows, which spares the walk over the heap that giving memory back takes.
constexpr size_t ReturnedBytes = size_t(16) << 20;

int WidthFor(std::int64_t ACode)
{
    if (ACode >= std::numeric_limits<std::int8_t>::min() && ACode <= std::numeric_limits<std::int8_t>::max())
        return 1;
    if (ACode >= std::numeric_limits<std::int16_t>::min() && ACode <= std::numeric_limits<std::int16_t>::max())
        return 2;
    if (ACode >= std::numeric_limits<std::int32_t>::min() && ACode <= std::numeric_limits<std::int32_t>::max())
        return 4;
    return 8;
}

template <typename T>
std::int64_t Load(const char *AData)
{
    T value;
    std::memcpy(&value, AData, sizeof value);
    return value;
}

template <typename T>
void Save(char *AData, std::int64_t ACode)
{
    const T value = T(ACode);
    std::memcpy(AData, &value, sizeof value);
}

std::int64_t LoadWidth(const char *AData, int AWidth)
{
    switch (AWidth) {
    case 1:
        return Load<std::int8_t>(AData);
    case 2:
        return Load<std::int16_t>(AData);
    case 4:
        return Load<std::int32_t>(AData);
    default:
        return Load<std::int64_t>(AData);
    }
}

void SaveWidth(char *AData, int AWidth, std::int64_t ACode)
{
    switch (AWidth) {
    case 1:
        Save<std::int8_t>(AData, ACode);
        break;
    case 2:
        Save<std::int16_t>(AData, ACode);
        break;
    case 4:
        Save<std::int32_t>(AData, ACode);
        break;
    default:
        Save<std::int64_t>(AData, ACode);
        break;
    }
}

} // namespace

TRowStore::TRowStore(int AColumnCount)
{
    Reset(AColumnCount);
}

TRowStore::~TRowStore()
{
    Reset(0);
}

void TRowStore::Reset(int AColumnCount)
{
    const bool large = Footprint() >= ReturnedBytes;
    // Assigned new vectors: a cleared one, or one assigned an empty list, keeps its room.
    FColumns = std::vector<TColumn>(size_t(std::max(AColumnCount, 0)));
    FOrder = std::vector<std::uint32_t>();
    FChecked = std::vector<bool>();
    FSlots = 0;
    FCount = 0;
    if (large)
        ReturnFreeMemory();
}

size_t TRowStore::Footprint() const
{
    size_t bytes = FOrder.capacity() * sizeof(std::uint32_t) + FChecked.capacity() / 8;
    for (const TColumn &column : FColumns) {
        bytes += column.Chunks.capacity() * sizeof(TChunk);
        for (const TChunk &chunk : column.Chunks)
            bytes += chunk.Fixed.capacity() + chunk.Offsets.capacity() * sizeof(std::uint32_t) + chunk.Text.capacity();
    }
    return bytes;
}

// --- Values as raw integers ------------------------------------------------------------------

TRowStore::TKind TRowStore::KindOf(const Variant &AValue)
{
    switch (AValue.type()) {
    case Variant::Type::Integer:
        return TKind::Integer;
    case Variant::Type::Currency:
        return TKind::Currency;
    case Variant::Type::Boolean:
        return TKind::Boolean;
    case Variant::Type::Date:
        return TKind::Date;
    case Variant::Type::Time:
        return TKind::Time;
    case Variant::Type::DateTime:
        return TKind::DateTime;
    case Variant::Type::Double:
        return TKind::Double;
    case Variant::Type::String:
        return TKind::Text;
    case Variant::Type::Empty:
    case Variant::Type::Null:
        break;
    }
    return TKind::None;
}

bool TRowStore::Encode(TKind AKind, const Variant &AValue, std::int64_t &ACode)
{
    if (KindOf(AValue) != AKind)
        return false;
    switch (AKind) {
    case TKind::Integer:
        ACode = AValue.toInt64();
        return true;
    case TKind::Currency:
        ACode = AValue.toCurrencyScaled();
        return true;
    case TKind::Boolean:
        ACode = AValue.toBool() ? 1 : 0;
        return true;
    case TKind::Double:
        ACode = std::bit_cast<std::int64_t>(AValue.toDouble());
        return true;
    case TKind::Date: {
        const QDate date = AValue.toDate();
        ACode = date.toJulianDay();
        return date.isValid();
    }
    case TKind::Time: {
        const QTime time = AValue.toTime();
        ACode = time.msecsSinceStartOfDay();
        return time.isValid();
    }
    case TKind::DateTime: {
        const QDateTime stamp = AValue.toDateTime();
        if (!stamp.isValid() || stamp.timeSpec() != Qt::LocalTime || stamp.date().toJulianDay() < 0)
            return false;
        ACode = stamp.date().toJulianDay() * MsecsPerDay + stamp.time().msecsSinceStartOfDay();
        return true;
    }
    case TKind::None:
    case TKind::Text:
        break;
    }
    return false;
}

Variant TRowStore::Decode(TKind AKind, std::int64_t ACode)
{
    switch (AKind) {
    case TKind::Integer:
        return Variant(qint64(ACode));
    case TKind::Currency:
        return Variant::FromCurrency(qint64(ACode));
    case TKind::Boolean:
        return Variant(ACode != 0);
    case TKind::Double:
        return Variant(std::bit_cast<double>(ACode));
    case TKind::Date:
        return Variant(QDate::fromJulianDay(ACode));
    case TKind::Time:
        return Variant(QTime::fromMSecsSinceStartOfDay(int(ACode)));
    case TKind::DateTime:
        return Variant(QDateTime(QDate::fromJulianDay(ACode / MsecsPerDay),
                                 QTime::fromMSecsSinceStartOfDay(int(ACode % MsecsPerDay))));
    case TKind::None:
    case TKind::Text:
        break;
    }
    return Variant::Null();
}

// --- Rows ------------------------------------------------------------------------------------

void TRowStore::CheckRow(int ARow, int ACount) const
{
    if (ARow < 0 || ARow >= ACount)
        throw std::out_of_range("TRowStore: row index out of range");
}

const TRowStore::TColumn &TRowStore::Column(int AColumn) const
{
    if (AColumn < 0 || AColumn >= ColumnCount())
        throw std::out_of_range("TRowStore: column index out of range");
    return FColumns[size_t(AColumn)];
}

void TRowStore::Append(const TRow &ARow)
{
    const std::uint32_t slot = AddSlot(ARow);
    if (!FOrder.empty())
        FOrder.push_back(slot);
    ++FCount;
}

void TRowStore::Insert(int AIndex, const TRow &ARow)
{
    CheckRow(AIndex, FCount + 1);
    if (AIndex == FCount) {
        Append(ARow);
        return;
    }
    MakeOrder();
    const std::uint32_t slot = AddSlot(ARow);
    FOrder.insert(FOrder.begin() + AIndex, slot);
    ++FCount;
}

void TRowStore::Replace(int AIndex, const TRow &ARow)
{
    CheckRow(AIndex, FCount);
    const bool checked = Checked(AIndex);
    MakeOrder();
    const std::uint32_t old = FOrder[size_t(AIndex)];
    FOrder[size_t(AIndex)] = AddSlot(ARow);
    FChecked[FOrder[size_t(AIndex)]] = checked;
    Discard(old);
    CompactWhenWasteful();
}

void TRowStore::Remove(int AIndex)
{
    CheckRow(AIndex, FCount);
    MakeOrder();
    Discard(FOrder[size_t(AIndex)]);
    FOrder.erase(FOrder.begin() + AIndex);
    --FCount;
    if (FCount == 0)
        Reset(ColumnCount());
    else
        CompactWhenWasteful();
}

void TRowStore::MakeOrder()
{
    if (!FOrder.empty() || FSlots == 0)
        return;
    FOrder.resize(FSlots);
    for (std::uint32_t slot = 0; slot < FSlots; ++slot)
        FOrder[slot] = slot;
}

void TRowStore::Discard(std::uint32_t ASlot)
{
    FChecked[ASlot] = false;
    for (TColumn &column : FColumns)
        column.Aside.erase(ASlot);
}

void TRowStore::CompactWhenWasteful()
{
    const std::uint32_t waste = FSlots - std::uint32_t(FCount);
    if (waste < WasteAllowed || waste < std::uint32_t(FCount))
        return;
    TRowStore compact(ColumnCount());
    for (int row = 0; row < FCount; ++row) {
        compact.Append(Row(row));
        compact.FChecked.back() = Checked(row);
    }
    // The old slots go, and their memory with them, before the compact ones take their place.
    Reset(ColumnCount());
    *this = std::move(compact);
}

std::uint32_t TRowStore::AddSlot(const TRow &ARow)
{
    if (ARow.size() != FColumns.size())
        throw std::invalid_argument("TRowStore: a row of another width than the store's");
    if (FSlots == std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("TRowStore: too many rows");
    const std::uint32_t slot = FSlots;
    try {
        for (size_t c = 0; c < FColumns.size(); ++c)
            AppendValue(FColumns[c], slot, ARow[c]);
        FChecked.push_back(false);
    } catch (...) {
        // No column keeps a part of the row.
        for (TColumn &column : FColumns)
            Truncate(column);
        throw;
    }
    ++FSlots;
    return slot;
}

// --- Columns ---------------------------------------------------------------------------------

void TRowStore::AppendValue(TColumn &AColumn, std::uint32_t ASlot, const Variant &AValue)
{
    if (ASlot % ChunkSlots == 0)
        StartChunk(AColumn);
    const bool null = AValue.isNull();
    if (AColumn.Kind == TKind::None && !null)
        Adopt(AColumn, KindOf(AValue));
    TChunk &chunk = AColumn.Chunks.back();
    const std::uint32_t at = ASlot % ChunkSlots;
    chunk.Nulls[at] = null;
    bool kept = null;
    if (AColumn.Kind == TKind::Text) {
        AppendText(chunk, AValue);
        kept = kept || AValue.type() == Variant::Type::String;
    } else if (AColumn.Kind != TKind::None) {
        std::int64_t code = 0;
        const bool raw = !null && Encode(AColumn.Kind, AValue, code);
        chunk.Fixed.resize(chunk.Fixed.size() + size_t(chunk.Width));
        PutFixed(chunk, at, raw ? code : 0);
        kept = kept || raw;
    }
    if (!kept)
        AColumn.Aside.emplace(ASlot, AValue);
    if (at + 1 == ChunkSlots && chunk.Text.capacity() > chunk.Text.size() + chunk.Text.size() / 8)
        chunk.Text.shrink_to_fit();
}

void TRowStore::StartChunk(TColumn &AColumn) const
{
    // A chunk of text takes about as much as the one before: room for that, and a little more.
    const size_t textBefore = AColumn.Chunks.empty() ? 0 : AColumn.Chunks.back().Text.size();
    TChunk &chunk = AColumn.Chunks.emplace_back();
    if (AColumn.Kind == TKind::Text) {
        chunk.Offsets.reserve(ChunkSlots + 1);
        chunk.Offsets.push_back(0);
        chunk.Text.reserve(textBefore + textBefore / 16);
    } else if (AColumn.Kind != TKind::None) {
        chunk.Fixed.reserve(ChunkSlots);
    }
}

void TRowStore::Adopt(TColumn &AColumn, TKind AKind) const
{
    AColumn.Kind = AKind;
    for (size_t c = 0; c < AColumn.Chunks.size(); ++c) {
        TChunk &chunk = AColumn.Chunks[c];
        const size_t filled = std::min<size_t>(ChunkSlots, FSlots - c * ChunkSlots);
        if (AKind == TKind::Text)
            chunk.Offsets.assign(filled + 1, 0);
        else if (AKind != TKind::None)
            chunk.Fixed.assign(filled * size_t(chunk.Width), 0);
    }
}

void TRowStore::Truncate(TColumn &AColumn) const
{
    AColumn.Chunks.resize((size_t(FSlots) + ChunkSlots - 1) / ChunkSlots);
    AColumn.Aside.erase(FSlots);
    const std::uint32_t at = FSlots % ChunkSlots;
    if (at == 0)
        return;
    TChunk &chunk = AColumn.Chunks.back();
    chunk.Nulls[at] = false;
    if (AColumn.Kind == TKind::Text) {
        chunk.Offsets.resize(size_t(at) + 1);
        chunk.Text.resize(chunk.Offsets.back());
    } else if (AColumn.Kind != TKind::None) {
        chunk.Fixed.resize(size_t(at) * size_t(chunk.Width));
    }
}

void TRowStore::AppendText(TChunk &AChunk, const Variant &AValue)
{
    if (AValue.type() == Variant::Type::String) {
        const QString text = AValue.toString();
        QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
        const size_t start = AChunk.Text.size();
        AChunk.Text.resize(start + size_t(encoder.requiredSpace(text.size())));
        const char *end = encoder.appendToBuffer(AChunk.Text.data() + start, text);
        AChunk.Text.resize(size_t(end - AChunk.Text.data()));
        if (AChunk.Text.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("TRowStore: more than 4 GiB of text in one chunk of a column");
    }
    AChunk.Offsets.push_back(std::uint32_t(AChunk.Text.size()));
}

void TRowStore::PutFixed(TChunk &AChunk, std::uint32_t AAt, std::int64_t ACode)
{
    const int width = WidthFor(ACode);
    if (width > AChunk.Width)
        Widen(AChunk, width);
    SaveWidth(AChunk.Fixed.data() + size_t(AAt) * size_t(AChunk.Width), AChunk.Width, ACode);
}

void TRowStore::Widen(TChunk &AChunk, int AWidth)
{
    const size_t filled = AChunk.Fixed.size() / size_t(AChunk.Width);
    std::vector<char> wider;
    wider.reserve(size_t(ChunkSlots) * size_t(AWidth));
    wider.resize(filled * size_t(AWidth));
    for (size_t at = 0; at < filled; ++at)
        SaveWidth(wider.data() + at * size_t(AWidth), AWidth,
                  LoadWidth(AChunk.Fixed.data() + at * size_t(AChunk.Width), AChunk.Width));
    AChunk.Fixed = std::move(wider);
    AChunk.Width = AWidth;
}

// --- Values ----------------------------------------------------------------------------------

Variant TRowStore::Value(int ARow, int AColumn) const
{
    CheckRow(ARow, FCount);
    const TColumn &column = Column(AColumn);
    const std::uint32_t slot = Slot(ARow);
    if (!column.Aside.empty()) {
        const auto aside = column.Aside.find(slot);
        if (aside != column.Aside.end())
            return aside->second;
    }
    const TChunk &chunk = column.Chunks[slot / ChunkSlots];
    const std::uint32_t at = slot % ChunkSlots;
    if (chunk.Nulls[at] || column.Kind == TKind::None)
        return Variant::Null();
    if (column.Kind == TKind::Text) {
        const std::uint32_t start = chunk.Offsets[at];
        return Variant(QString::fromUtf8(chunk.Text.data() + start, qsizetype(chunk.Offsets[at + 1] - start)));
    }
    return Decode(column.Kind, LoadWidth(chunk.Fixed.data() + size_t(at) * size_t(chunk.Width), chunk.Width));
}

void TRowStore::SetValue(int ARow, int AColumn, const Variant &AValue)
{
    CheckRow(ARow, FCount);
    Column(AColumn);
    TColumn &column = FColumns[size_t(AColumn)];
    const std::uint32_t slot = Slot(ARow);
    TChunk &chunk = column.Chunks[slot / ChunkSlots];
    column.Aside.erase(slot);
    chunk.Nulls[slot % ChunkSlots] = AValue.isNull();
    if (AValue.isNull())
        return;
    if (column.Kind == TKind::None)
        Adopt(column, KindOf(AValue));
    std::int64_t code = 0;
    // A text cannot grow in its block: a new one always goes aside.
    if (column.Kind != TKind::Text && column.Kind != TKind::None && Encode(column.Kind, AValue, code))
        PutFixed(chunk, slot % ChunkSlots, code);
    else
        column.Aside.emplace(slot, AValue);
}

TRow TRowStore::Row(int ARow) const
{
    TRow row;
    row.reserve(FColumns.size());
    for (int c = 0; c < ColumnCount(); ++c)
        row.push_back(Value(ARow, c));
    return row;
}

// --- Check marks -----------------------------------------------------------------------------

bool TRowStore::Checked(int ARow) const
{
    CheckRow(ARow, FCount);
    return FChecked[Slot(ARow)];
}

void TRowStore::SetChecked(int ARow, bool AChecked)
{
    CheckRow(ARow, FCount);
    FChecked[Slot(ARow)] = AChecked;
}

int TRowStore::NextChecked(int AFrom) const
{
    for (int row = std::max(AFrom, 0); row < FCount; ++row)
        if (FChecked[Slot(row)])
            return row;
    return -1;
}
