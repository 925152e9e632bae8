#pragma once

#include "CodeTables.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <vector>

class TRowStore;
class TWinTbl;

// A grid column: which element of the rows it shows (Tag) and its view field's type.
struct TTblColumn
{
    int Tag = 0;
    TFldType FldType = TFldType::ftNone;
    QString Capt;
    int Width = 0;
    QColor Color;   // invalid: the grid's own colour
};

// The table window's grid model. It holds no data of its own: every cell text is made from the
// window's row store when the grid asks for it, that is for the cells it paints, and the rows
// still in the open select are fetched as the grid reaches its last row.
//
// The grid knows only the rows announced to it: rows the window appends to the store reach the
// grid through RowsAppended, the others through the begin / end pairs around each change.
class TTblModel : public QAbstractTableModel
{
public:
    TTblModel(TWinTbl &AWinTbl, const TRowStore &ARows) : FWinTbl(AWinTbl), FRows(ARows) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    const std::vector<TTblColumn> &Columns() const { return FColumns; }
    void SetColumns(std::vector<TTblColumn> AColumns);
    void SetColumnColor(int AColumn, const QColor &AColor);
    // The text of a cell: empty for Null, "да" or empty in a Boolean column, otherwise the value
    // in the user's locale formats.
    QString CellText(int ARow, int AColumn) const;

    // The window reports its changes through these.
    void BeginReset() { beginResetModel(); }
    void EndReset();
    void BeginInsert(int AFirst, int ALast) { beginInsertRows(QModelIndex(), AFirst, ALast); }
    void EndInsert();
    void BeginRemove(int AFirst, int ALast) { beginRemoveRows(QModelIndex(), AFirst, ALast); }
    void EndRemove();
    // The store has rows from AFirst on that the grid does not know yet.
    void RowsAppended(int AFirst);
    void RowChanged(int ARow);
    void ColumnChanged(int AColumn);

private:
    TWinTbl &FWinTbl;
    const TRowStore &FRows;
    std::vector<TTblColumn> FColumns;
    int FRowCount = 0;   // the rows the grid knows
};
