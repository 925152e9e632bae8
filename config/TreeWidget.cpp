#include "TreeWidget.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeWidget>

QTreeWidget *CreateTreeWidget(QWidget *AParent)
{
    auto *vt = new QTreeWidget(AParent);
    vt->setColumnCount(1);
    vt->setHeaderHidden(true);
    vt->setSelectionMode(QAbstractItemView::SingleSelection);
    vt->setUniformRowHeights(true);
    return vt;
}

void SetNodeText(QTreeWidgetItem *AItem, const QString &AText)
{
    AItem->setText(0, AText);
    AItem->setToolTip(0, AText);
}

QTreeWidgetItem *FocusedItem(const QTreeWidget *AVt)
{
    QTreeWidgetItem *item = AVt->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void ClearFocus(QTreeWidget *AVt)
{
    AVt->selectionModel()->clear();
}

void SetCheckable(QTreeWidgetItem *AItem, bool ACheckable)
{
    if (ACheckable) {
        AItem->setFlags(AItem->flags() | Qt::ItemIsUserCheckable);
        if (!AItem->data(0, Qt::CheckStateRole).isValid())
            AItem->setCheckState(0, Qt::Unchecked);
    } else {
        AItem->setFlags(AItem->flags() & ~Qt::ItemIsUserCheckable);
        AItem->setData(0, Qt::CheckStateRole, QVariant());
    }
}

bool IsTicked(const QTreeWidgetItem *AItem)
{
    return AItem->data(0, Qt::CheckStateRole).isValid() && AItem->checkState(0) == Qt::Checked;
}
