#include "DBFixture.h"   // the Variant printer; these tests need no database
#include "RowStore.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <stdexcept>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's count of the bytes allocated and not freed (the compiler ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Equal and of the same type: a variant compares numbers across types.
::testing::AssertionResult Same(const Variant &actual, const Variant &expected)
{
    if (actual.type() == expected.type() && actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << VarDebugText(actual).toStdString() << ", expected "
                                         << VarDebugText(expected).toStdString();
}

TRow Keyed(int key, const QString &text) { return {Variant(qint64(key)), Variant(text)}; }

QList<int> Keys(const TRowStore &store)
{
    QList<int> keys;
    for (int row = 0; row < store.Count(); ++row)
        keys << store.Value(row, 0).toInt();
    return keys;
}

// The bytes the program has allocated and not freed yet, from whichever allocator it runs on.
size_t BytesInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

} // namespace

TEST(RowStore, EveryValueReadsBackExactlyAsItsOwnType)
{
    // Null comes first, between and last, so a column learns its kind late, widens its integers
    // under earlier values, and keeps values of another type than the rest of the column as they came.
    const Variant null = Variant::Null();
    const QList<QList<Variant>> columns = {
        {null, qint64(0), qint64(-3), qint64(300), null, qint64(70000), qint64(-5000000000LL), qint64(1)},
        {Variant::FromCurrency(qint64(150000)), Variant::FromCurrency(qint64(-922337203685477580LL)), null,
         Variant::FromCurrency(qint64(1)), Variant(qint64(2)), Variant::FromCurrency(qint64(99)), null, null},
        {true, false, null, true, true, false, false, true},
        {0.1, -1e300, null, 2.5, 0.0, 1e-300, 3.0, -0.5},
        {QDate(2025, 1, 16), QDate(1, 1, 1), QDate(9999, 12, 31), null, QDate(), QDate(1858, 11, 17),
         QDate(2000, 2, 29), QDate(2025, 1, 17)},
        {QTime(0, 0), QTime(23, 59, 59, 999), null, QTime(12, 30), QTime(), QTime(1, 2, 3), QTime(4, 5), QTime(6, 7)},
        {QDateTime(QDate(2025, 1, 16), QTime(10, 20, 30, 400)), QDateTime(QDate(1900, 1, 1), QTime(0, 0)), null,
         QDateTime(QDate(2025, 1, 16), QTime(1, 0), Qt::OffsetFromUTC, 10800), QDateTime(),
         QDateTime(QDate(9999, 1, 1), QTime(23, 59)), null, QDateTime(QDate(2024, 6, 1), QTime(0, 0, 1))},
        {"Контрагент 1", "", null, "c1@example.ru", "г. Москва, ул. Тестовая, д. 1", Variant(qint64(7)), Variant(), "ñ 😀"},
        {null, null, null, Variant(), null, null, null, null},
    };
    TRowStore store(int(columns.size()));
    for (int row = 0; row < columns[0].size(); ++row) {
        TRow values;
        for (const QList<Variant> &column : columns)
            values.push_back(column[row]);
        store.Append(values);
    }
    ASSERT_EQ(store.Count(), columns[0].size());
    for (int c = 0; c < columns.size(); ++c)
        for (int row = 0; row < store.Count(); ++row)
            EXPECT_TRUE(Same(store.Value(row, c), columns[c][row])) << "column " << c << ", row " << row;

    // Written values replace the stored ones in place; the neighbours keep theirs.
    // A wider integer, a value of another type, a longer text, a first value of a Null column.
    const QList<std::pair<int, Variant>> writes = {{0, Variant(qint64(1) << 40)}, {1, Variant("длиннее")},
                                                   {7, Variant("длиннее, чем было")}, {7, null},
                                                   {8, Variant(QDate(2030, 1, 1))}};
    for (const auto &[column, value] : writes) {
        store.SetValue(2, column, value);
        EXPECT_TRUE(Same(store.Value(2, column), value)) << "column " << column;
    }
    EXPECT_TRUE(Same(store.Value(1, 0), qint64(0)));
    EXPECT_TRUE(Same(store.Value(3, 7), "c1@example.ru"));
}

TEST(RowStore, ManyRowsKeepTheirValuesAcrossChunksOfEveryWidth)
{
    // Keys from one byte to eight, a text now and then, and a date column that stays Null for
    // thousands of rows before its first value.
    const int chunk = int(TRowStore::ChunkSlots);
    const int rows = 3 * chunk + 5;
    auto expected = [rows](int row) -> TRow {
        return {qint64(row) * (row % 3 == 0 ? 1000000007LL * 1000 : 1),
                row % 5 ? Variant(QString("текст %1").arg(row)) : Variant::Null(),
                row == rows - 1 ? Variant(QDate(2025, 1, 1)) : Variant::Null()};
    };
    TRowStore store(3);
    for (int row = 0; row < rows; ++row)
        store.Append(expected(row));
    const TRow inserted{qint64(-1), "вставлена", Variant::Null()};
    store.SetValue(7, 2, QDate(2020, 2, 2));
    store.Insert(chunk, inserted);
    store.Remove(0);
    ASSERT_EQ(store.Count(), rows);
    for (int row = 0; row < store.Count(); ++row) {
        TRow want = row == chunk - 1 ? inserted : expected(row < chunk - 1 ? row + 1 : row);
        if (row == 6)
            want[2] = QDate(2020, 2, 2);
        for (int column = 0; column < 3; ++column)
            ASSERT_TRUE(Same(store.Value(row, column), want[size_t(column)])) << "row " << row << ", column " << column;
    }
}

TEST(RowStore, InsertReplaceAndRemoveMoveRowsWithTheirCheckMarks)
{
    TRowStore store(2);
    for (int key = 1; key <= 5; ++key)
        store.Append(Keyed(key, QString::number(key)));
    store.SetChecked(1, true);
    store.SetChecked(3, true);
    store.Insert(1, Keyed(10, "new"));
    store.Insert(0, Keyed(11, "first"));
    store.Insert(store.Count(), Keyed(12, "last"));
    EXPECT_EQ(Keys(store), QList<int>({11, 1, 10, 2, 3, 4, 5, 12}));
    // Re-read in place: new values, same place, same check mark.
    store.Replace(3, Keyed(2, "changed"));
    EXPECT_TRUE(Same(store.Value(3, 1), "changed"));
    EXPECT_EQ(store.NextChecked(4), 5);
    store.Remove(3);
    store.Remove(0);
    EXPECT_EQ(Keys(store), QList<int>({1, 10, 3, 4, 5, 12}));
    EXPECT_EQ(store.NextChecked(0), 3);
    EXPECT_EQ(store.NextChecked(4), -1);

    // Many re-reads leave slots behind that are dropped in one pass; rows and marks stay.
    store.Reset(2);
    for (int key = 0; key < 3; ++key)
        store.Append(Keyed(key, "v0"));
    store.SetChecked(2, true);
    for (int round = 1; round <= 3000; ++round)
        store.Replace(round % 3, Keyed(round % 3, QString("v%1").arg(round)));
    EXPECT_EQ(Keys(store), QList<int>({0, 1, 2}));
    EXPECT_TRUE(Same(store.Value(2, 1), "v2999"));
    EXPECT_EQ(store.NextChecked(0), 2);

    EXPECT_THROW(store.Append({Variant(qint64(2))}), std::invalid_argument);
    EXPECT_THROW(store.Replace(0, {Variant(qint64(2)), Variant("b"), Variant("c")}), std::invalid_argument);
    EXPECT_THROW(store.SetValue(0, 2, 1), std::out_of_range);
    EXPECT_THROW(store.Insert(4, Keyed(3, "c")), std::out_of_range);
    EXPECT_EQ(Keys(store), QList<int>({0, 1, 2}));
}

TEST(RowStore, DroppedRowsKeepNoneOfTheirMemory)
{
    // As a window's rows are when it re-reads: one row placed out of fetch order (the row-to-slot
    // index is made) and one ticked, then all dropped.
    const size_t before = BytesInUse();
    TRowStore store(2);
    for (int key = 0; key < 100000; ++key)
        store.Append(Keyed(key, "Контрагент"));
    store.Insert(0, Keyed(-1, "новый"));
    store.SetChecked(1, true);
    ASSERT_GT(BytesInUse(), before + 1000000);
    store.Reset(2);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_LE(BytesInUse(), before + 16384);
    // The store takes rows again as before.
    store.Append(Keyed(1, "снова"));
    EXPECT_EQ(Keys(store), QList<int>({1}));
}
