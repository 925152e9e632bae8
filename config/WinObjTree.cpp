#include "WinObjTree.h"

#include "Application.h"
#include "Fld.h"
#include "FldTreeItem.h"
#include "TreeWidget.h"

namespace {

// Follows the caption of a link field repeating on its own path.
const QString cCycleMark = QStringLiteral("*");

} // namespace

TWinObjTree::TWinObjTree(QWidget *AParent) : Path(std::make_unique<TFldList>(false))
{
    vt = CreateTreeWidget(AParent);
    OnFldTreeExpanded(vt, [](QTreeWidgetItem *AItem) { GrowFldItem(AItem, cCycleMark); });
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
    BuildFldTree(vt, AObj, cCycleMark);
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
