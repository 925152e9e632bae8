#pragma once

#include <QAbstractTableModel>

class TWinTbl;

// The table window's grid model. It holds no data of its own: every cell text comes on demand
// from the window's fetched rows through the column's Tag, and the rows still in the open select
// are fetched as the grid reaches its last row.
class TTblModel : public QAbstractTableModel
{
public:
    explicit TTblModel(TWinTbl &AWinTbl) : FWinTbl(AWinTbl) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The window reports its changes through these.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsert(int AFirst, int ALast) { beginInsertRows(QModelIndex(), AFirst, ALast); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int AFirst, int ALast) { beginRemoveRows(QModelIndex(), AFirst, ALast); }
    void EndRemove() { endRemoveRows(); }
    void RowChanged(int ARow);
    void ColumnChanged(int AColumn);

private:
    TWinTbl &FWinTbl;
};
