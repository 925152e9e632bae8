#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

// The one-column trees of the configurator's editors: no header, nodes that show their whole
// text as a tooltip, since the column may cut it short. Node texts are set when a node is made
// or changed, never computed while the tree paints.
QTreeWidget *CreateTreeWidget(QWidget *AParent);
void SetNodeText(QTreeWidgetItem *AItem, const QString &AText);

// The node the user focused: the current node while it is also selected. A view that takes the
// keyboard focus makes a node current without anybody choosing it; that node does not count.
QTreeWidgetItem *FocusedItem(const QTreeWidget *AVt);
// Leaves no node focused, as after a delete (the view would move to a neighbour by itself).
void ClearFocus(QTreeWidget *AVt);

// Gives the node a check box, keeping a tick it already has, or takes the box and the tick away.
void SetCheckable(QTreeWidgetItem *AItem, bool ACheckable);
bool IsTicked(const QTreeWidgetItem *AItem);

// Keeps a widget from repainting while many nodes change, for as long as it lives.
class TUpdateSuspension
{
public:
    explicit TUpdateSuspension(QWidget *AWidget) : FWidget(AWidget) { FWidget->setUpdatesEnabled(false); }
    ~TUpdateSuspension()
    {
        if (FWidget)
            FWidget->setUpdatesEnabled(true);
    }
    TUpdateSuspension(const TUpdateSuspension &) = delete;
    TUpdateSuspension &operator=(const TUpdateSuspension &) = delete;

private:
    QPointer<QWidget> FWidget;
};
