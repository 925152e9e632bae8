#include "TblModel.h"

#include "Application.h"
#include "RowStore.h"
#include "WinTbl.h"

#include <QLocale>

namespace {

QString CurrencyText(qint64 AScaled, const QLocale &ALocale)
{
    const quint64 magnitude = AScaled < 0 ? quint64(-(AScaled + 1)) + 1 : quint64(AScaled);
    QString text = ALocale.toString(qulonglong(magnitude / quint64(Variant::CurrencyScale)));
    if (const quint64 fraction = magnitude % quint64(Variant::CurrencyScale)) {
        QString digits = QString::number(fraction).rightJustified(4, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += ALocale.decimalPoint() + digits;
    }
    if (AScaled < 0)
        text.prepend(ALocale.negativeSign());
    return text;
}

// A value as the grid shows it: numbers and dates in the user's locale formats, without
// thousands separators, the shortest form of a number.
QString VarToText(const Variant &AValue)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (AValue.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        return QString();
    case Variant::Type::Integer:
        return locale.toString(AValue.toInt64());
    case Variant::Type::Double:
        return locale.toString(AValue.toDouble(), 'g', 15);
    case Variant::Type::Currency:
        return CurrencyText(AValue.toCurrencyScaled(), locale);
    case Variant::Type::Date:
        return locale.toString(AValue.toDate(), QLocale::ShortFormat);
    case Variant::Type::Time:
        return locale.toString(AValue.toTime(), QStringLiteral("HH:mm:ss"));
    case Variant::Type::DateTime: {
        const QDateTime value = AValue.toDateTime();
        QString text = locale.toString(value.date(), QLocale::ShortFormat);
        if (value.time() != QTime(0, 0))
            text += QLatin1Char(' ') + locale.toString(value.time(), QStringLiteral("HH:mm:ss"));
        return text;
    }
    case Variant::Type::Boolean:
        return AValue.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::Type::String:
        break;
    }
    return AValue.toString();
}

} // namespace

int TTblModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FRowCount;
}

int TTblModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FColumns.size());
}

QString TTblModel::CellText(int ARow, int AColumn) const
{
    const TTblColumn &column = FColumns[size_t(AColumn)];
    const Variant value = FRows.Value(ARow, column.Tag);
    if (value.isEmptyOrNull())
        return QString();
    if (column.FldType == TFldType::ftBoolean)
        return value == Variant(1) ? QStringLiteral("да") : QString();
    return VarToText(value);
}

QVariant TTblModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= FRowCount || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // Called while the grid paints: nothing may escape into Qt. The store answers every
        // row the grid knows, so only a failing allocation could end here with an empty cell.
        try {
            return CellText(index.row(), index.column());
        } catch (...) {
            return {};
        }
    case Qt::CheckStateRole:
        if (index.column() != 0 || !FWinTbl.CheckSupport)
            return {};
        return FRows.Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole: {
        const QColor &color = FColumns[size_t(index.column())].Color;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    default:
        return {};
    }
}

bool TTblModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= FRowCount)
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
    return FColumns[size_t(section)].Capt;
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

void TTblModel::SetColumns(std::vector<TTblColumn> AColumns)
{
    beginResetModel();
    FColumns = std::move(AColumns);
    FRowCount = FRows.Count();
    endResetModel();
}

void TTblModel::SetColumnColor(int AColumn, const QColor &AColor)
{
    FColumns[size_t(AColumn)].Color = AColor;
    ColumnChanged(AColumn);
}

void TTblModel::EndReset()
{
    FRowCount = FRows.Count();
    endResetModel();
}

void TTblModel::EndInsert()
{
    FRowCount = FRows.Count();
    endInsertRows();
}

void TTblModel::EndRemove()
{
    FRowCount = FRows.Count();
    endRemoveRows();
}

void TTblModel::RowsAppended(int AFirst)
{
    if (FRows.Count() <= AFirst)
        return;
    beginInsertRows(QModelIndex(), AFirst, FRows.Count() - 1);
    FRowCount = FRows.Count();
    endInsertRows();
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
