#include "WinObjTree.h"

#include "Application.h"
#include "Fld.h"
#include "FldTreeItem.h"
#include "TreeWidget.h"

TWinObjTree::TWinObjTree(QWidget *AParent) : Path(std::make_unique<TFldList>(false))
{
    vt = CreateTreeWidget(AParent);
    QObject::connect(vt, &QTreeWidget::currentItemChanged, vt, Guard([this] { FocusChanged(); }));
    QObject::connect(vt, &QTreeWidget::itemSelectionChanged, vt, Guard([this] { FocusChanged(); }));
}

TWinObjTree::~TWinObjTree()
{
    // The tree goes first, so that no focus change reaches a half-destroyed object.
    delete vt.data();
}

void TWinObjTree::Init(TObj *AObj)
{
    BuildFldTree(vt, AObj, QStringLiteral("*"));
    FocusChanged();
}

void TWinObjTree::SetAlign(TAlign AAlign)
{
    ::SetAlign(vt, AAlign);
}

void TWinObjTree::FocusChanged()
{
    QTreeWidgetItem *item = FocusedItem(vt);
    Fld = item ? FldItem(item)->Fld : nullptr;
    Path->Clear();
    for (QTreeWidgetItem *link = item ? item->parent() : nullptr; link; link = link->parent())
        Path->Insert(0, FldItem(link)->Fld);
}
