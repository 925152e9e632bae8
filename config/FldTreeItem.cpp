#include "FldTreeItem.h"

#include "Fld.h"
#include "Obj.h"
#include "ObjLink.h"

#include "TreeWidget.h"

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

// APath: the link fields followed from the top down to AObj.
void AddFields(QTreeWidget *AVt, QTreeWidgetItem *AParent, TObj *AObj, std::vector<TFld *> &APath,
               const QString &ACycleMark)
{
    for (TFld *fld : *AObj->FldList) {
        if (fld->Virt())
            continue;
        const bool link = fld->FldType() == TFldType::ftFK;
        const bool cycle = link && std::find(APath.begin(), APath.end(), fld) != APath.end();
        auto *item = new TFldTreeItem(fld, link, cycle);
        if (AParent)
            AParent->addChild(item);
        else
            AVt->addTopLevelItem(item);
        SetNodeText(item, cycle ? fld->Capt() + ACycleMark : fld->Capt());
        if (!link || cycle)
            continue;
        if (TObj *master = MasterObj(AObj, fld)) {
            APath.push_back(fld);
            AddFields(AVt, item, master, APath, ACycleMark);
            APath.pop_back();
        }
    }
}

} // namespace

void BuildFldTree(QTreeWidget *AVt, TObj *AObj, const QString &ACycleMark)
{
    AVt->clear();
    if (!AObj)
        return;
    const TUpdateSuspension suspension(AVt);
    std::vector<TFld *> path;
    AddFields(AVt, nullptr, AObj, path, ACycleMark);
}
