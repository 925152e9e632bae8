#pragma once

#include <QString>
#include <QTreeWidgetItem>

class QTreeWidget;
class TFld;
class TObj;

// A node of an object's field tree: a field reached from the object along a path of link
// fields. A link field that already stands on its own path is a cycle: following it again would
// repeat the branch, so it is marked and has no children.
class TFldTreeItem : public QTreeWidgetItem
{
public:
    TFldTreeItem(TFld *AFld, bool ALink, bool ACycle) : Fld(AFld), Link(ALink), Cycle(ACycle) {}

    TFld *const Fld;
    const bool Link;   // a link field: its node holds the master's fields and never a check box
    const bool Cycle;
};

// Every node of a field tree is a TFldTreeItem.
inline TFldTreeItem *FldItem(QTreeWidgetItem *AItem)
{
    return static_cast<TFldTreeItem *>(AItem);
}

// Empties the tree and, for an object, fills it with the object's fields in their order, virtual
// ones left out; under each link field lie the fields of its master object, down to the first
// link field that repeats on its own path, whose caption is followed by ACycleMark.
void BuildFldTree(QTreeWidget *AVt, TObj *AObj, const QString &ACycleMark);
