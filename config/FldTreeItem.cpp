#include "FldTreeItem.h"

#include "Application.h"
#include "Fld.h"
#include "Obj.h"
#include "ObjLink.h"

#include "TreeWidget.h"

#include <QKeyEvent>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

namespace {

// The object a link field of AObj points to; nil for a link field whose link is missing.
TObj *MasterObj(const TObj *AObj, const TFld *AFld)
{
    const TObjLink *link = AObj->ParentList->GetByFld(AFld);
    return link ? link->ParentObj() : nullptr;
}

// The nodes of AObj's fields; APath: the link fields followed from the top down to AObj.
QList<QTreeWidgetItem *> FieldNodes(TObj *AObj, const std::vector<const TFld *> &APath, const QString &ACycleMark)
{
    QList<QTreeWidgetItem *> nodes;
    for (TFld *fld : *AObj->FldList) {
        if (fld->Virt())
            continue;
        const bool link = fld->FldType() == TFldType::ftFK;
        const bool cycle = link && std::find(APath.begin(), APath.end(), fld) != APath.end();
        TObj *master = link && !cycle ? MasterObj(AObj, fld) : nullptr;
        auto *item = new TFldTreeItem(fld, link, cycle, master);
        SetNodeText(item, cycle ? fld->Capt() + ACycleMark : fld->Capt());
        if (master)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        nodes << item;
    }
    return nodes;
}

// Turns the "*" key on a tree into opening its current node alone.
class TOpenOneLevel : public QObject
{
public:
    explicit TOpenOneLevel(QTreeWidget *AVt) : QObject(AVt), FVt(AVt) {}

    bool eventFilter(QObject *AWatched, QEvent *AEvent) override
    {
        if (AEvent->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(AEvent)->key() != Qt::Key_Asterisk)
            return QObject::eventFilter(AWatched, AEvent);
        if (QTreeWidgetItem *item = FVt->currentItem())
            item->setExpanded(true);
        return true;
    }

private:
    QTreeWidget *const FVt;
};

} // namespace

void BuildFldTree(QTreeWidget *AVt, TObj *AObj, const QString &ACycleMark)
{
    AVt->clear();
    if (!AObj)
        return;
    const TUpdateSuspension suspension(AVt);
    AVt->addTopLevelItems(FieldNodes(AObj, {}, ACycleMark));
}

bool GrowFldItem(QTreeWidgetItem *AItem, const QString &ACycleMark)
{
    TFldTreeItem *item = FldItem(AItem);
    if (item->Grown || !item->Master)
        return false;
    item->Grown = true;
    std::vector<const TFld *> path;
    for (QTreeWidgetItem *node = item; node; node = node->parent())
        path.push_back(FldItem(node)->Fld);
    item->addChildren(FieldNodes(item->Master, path, ACycleMark));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return true;
}

void OnFldTreeExpanded(QTreeWidget *AVt, const std::function<void(QTreeWidgetItem *)> &AOnExpanded)
{
    QObject::connect(AVt, &QTreeWidget::itemExpanded, AVt,
                     [AOnExpanded](QTreeWidgetItem *AItem) { Guarded([&] { AOnExpanded(AItem); }); });
    AVt->installEventFilter(new TOpenOneLevel(AVt));
}
