#pragma once

#include "Align.h"

#include <QPointer>
#include <QTreeWidget>
#include <memory>

class TFld;
class TFldList;
class TObj;

// The fields reachable from an object: its own fields, and below every link field the fields of
// the object it points to, link after link, added when the link is first opened. A link field
// repeating on its own path reads as its caption followed by "*" and opens no further. The focused
// node gives the field and the link fields that lead to it.
class TWinObjTree
{
public:
    // The tree is a control of AParent.
    explicit TWinObjTree(QWidget *AParent);
    ~TWinObjTree();
    TWinObjTree(const TWinObjTree &) = delete;
    TWinObjTree &operator=(const TWinObjTree &) = delete;

    QPointer<QTreeWidget> vt;
    // The field of the focused node; nil while no node is focused.
    TFld *Fld = nullptr;
    // The link fields from the top level down to the focused node's parent, outermost first
    // (references).
    std::unique_ptr<TFldList> Path;

    // Shows the field tree of AObj; nil leaves the tree empty.
    void Init(TObj *AObj);
    void SetAlign(TAlign AAlign);

private:
    void FocusChanged();
};
