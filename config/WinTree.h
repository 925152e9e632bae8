#pragma once

#include "Align.h"
#include "Variant.h"

#include <QFrame>
#include <QPointer>
#include <QTreeWidget>
#include <memory>

class QTreeWidgetItem;
class TObj;
class TTbl;
class TTblTree;
class TWinToolBar;

// The column tree editor of a table view: all fields of an object as a tree, the fields of the
// master objects below each link field (added when the link is first opened, by the user or to
// tick a column of the view), with a check box on every field that is not a link;
// the ticked fields are the view's columns, and "Сохранить" writes them as the view's column
// tree. A link field repeating on its own path reads as its caption followed by " (break)" and
// opens no further.
//
// The configurator tells it which object to show (Init) and then which view to edit (TblId).
class TWinTree
{
public:
    // A panel on AParent with a tool bar and the tree.
    explicit TWinTree(QWidget *AParent);
    ~TWinTree();
    TWinTree(const TWinTree &) = delete;
    TWinTree &operator=(const TWinTree &) = delete;

    std::unique_ptr<TWinToolBar> WinToolBar;
    QPointer<QTreeWidget> vt;
    // The view being edited.
    std::unique_ptr<TTbl> Tbl;

    // Shows the field tree of AObj (nil: an empty tree). The view stays; set TblId again to
    // tick its columns in the new tree.
    void Init(TObj *AObj);
    // The edited view; Null for none.
    Variant TblId() const { return FTblId; }
    // Loads the view and ticks its columns, opening the link fields they pass through; Null
    // clears the ticks and leaves nothing to edit. A view that is gone raises, leaving none.
    void SetTblId(const Variant &AValue);
    // Writes the ticked fields as the view's column tree, in one write transaction.
    void Save();

    void SetAlign(TAlign AAlign);

private:
    // Check boxes on the fields that are not links, keeping their ticks, or no boxes and no ticks.
    void SetCheckSupport(bool ACheckSupport);
    // A link node opened for the first time gets its master's fields, with their boxes while
    // check support is on.
    void Grow(QTreeWidgetItem *AItem);
    // Ticks the node of column ACol among the children of AParent (the top level for nil),
    // growing the link nodes on its way.
    void TickColumn(const TTblTree *ACol, QTreeWidgetItem *AParent);
    // The column node of a tree node: a ticked field, or a link field with ticked fields below.
    std::unique_ptr<TTblTree> TakenColumn(QTreeWidgetItem *AItem) const;
    // A view stored without any column tree starts with its root, the key field, as new views do.
    void CreateRoot();
    void UpdateSaveBtn();

    QPointer<QFrame> Panel;
    Variant FTblId = Variant::Null();
    bool CheckSupport = false;
};
