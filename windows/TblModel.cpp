#include "TblModel.h"

#include "Application.h"
#include "WinTbl.h"

int TTblModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FWinTbl.Count();
}

int TTblModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FWinTbl.Columns.size());
}

QVariant TTblModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= FWinTbl.Count() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return FWinTbl.CellText(index.row(), index.column());
    case Qt::CheckStateRole:
        if (index.column() != 0 || !FWinTbl.CheckSupport)
            return {};
        return FWinTbl.Checked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole: {
        const QColor &color = FWinTbl.Columns[size_t(index.column())].Color;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    default:
        return {};
    }
}

bool TTblModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= FWinTbl.Count())
        return false;
    if (role == Qt::CheckStateRole && index.column() == 0 && FWinTbl.CheckSupport) {
        FWinTbl.SetRowChecked(index.row(), value.toInt() == Qt::Checked);
        return true;
    }
    if (role != Qt::EditRole || !FWinTbl.ColumnEditable(index.column()))
        return false;
    // The grid's editor commits from inside Qt: a text that does not convert is shown in the
    // error box and the cell keeps its value.
    bool stored = false;
    Guarded([&] {
        FWinTbl.CellEdited(index.row(), index.column(), value.toString());
        stored = true;
    });
    if (stored)
        RowChanged(index.row());
    return stored;
}

Qt::ItemFlags TTblModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && FWinTbl.CheckSupport)
        result |= Qt::ItemIsUserCheckable;
    if (FWinTbl.ColumnEditable(index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TTblModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return FWinTbl.Columns[size_t(section)].Capt;
}

bool TTblModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && FWinTbl.CanFetch();
}

void TTblModel::fetchMore(const QModelIndex &parent)
{
    // The grid asks when it shows its last row, and also whenever it lays its rows out; the
    // window reads only when rows are missing from what the grid shows. A failing fetch reaches
    // the error box and ends the select's rows.
    if (!parent.isValid())
        Guarded([this] { FWinTbl.FetchWanted(); });
}

void TTblModel::RowChanged(int ARow)
{
    if (columnCount() > 0)
        emit dataChanged(index(ARow, 0), index(ARow, columnCount() - 1));
}

void TTblModel::ColumnChanged(int AColumn)
{
    if (rowCount() > 0)
        emit dataChanged(index(0, AColumn), index(rowCount() - 1, AColumn));
}
