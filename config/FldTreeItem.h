#pragma once

#include <QString>
#include <QTreeWidgetItem>
#include <functional>

class QTreeWidget;
class TFld;
class TObj;

// A node of an object's field tree: a field reached from the object along a path of link fields.
// A link field that already stands on its own path is a cycle: following it again would repeat
// the branch, so it is marked and has no children.
//
// A link node gets the fields of the object it points to only when it is opened (grown): every
// path through the links at once grows with the number of linked objects beyond any memory.
// Until then it shows that it can be opened.
class TFldTreeItem : public QTreeWidgetItem
{
public:
    TFldTreeItem(TFld *AFld, bool ALink, bool ACycle, TObj *AMaster)
        : Fld(AFld), Link(ALink), Cycle(ACycle), Master(AMaster)
    {
    }

    TFld *const Fld;
    const bool Link;   // a link field: its node holds the master's fields and never a check box
    const bool Cycle;
    // The object whose fields lie below the node; nil for a field that is no link, a cycle, or a
    // link field whose link is missing.
    TObj *const Master;
    // Whether the master's fields were added below.
    bool Grown = false;
};

// Every node of a field tree is a TFldTreeItem.
inline TFldTreeItem *FldItem(QTreeWidgetItem *AItem)
{
    return static_cast<TFldTreeItem *>(AItem);
}

// Empties the tree and, for an object, fills its top level with the object's fields in their
// order, virtual ones left out. A repeated link field's caption is followed by ACycleMark.
void BuildFldTree(QTreeWidget *AVt, TObj *AObj, const QString &ACycleMark);
// Adds below a link node the fields of its master in the same way, unless it has them or has no
// master; true when it added them.
bool GrowFldItem(QTreeWidgetItem *AItem, const QString &ACycleMark);
// Calls AOnExpanded for every node of the tree the user or the program opens. The "*" key opens
// only the current node, not every node below it: below a link there may be more than memory holds.
void OnFldTreeExpanded(QTreeWidget *AVt, const std::function<void(QTreeWidgetItem *)> &AOnExpanded);
