#include "WinTree.h"

#include "Fld.h"
#include "FldTreeItem.h"
#include "Func.h"
#include "Main.h"
#include "Obj.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TreeSave.h"
#include "TreeWidget.h"
#include "WinToolBar.h"

#include <QTreeWidgetItemIterator>

namespace {

// Follows the caption of a link field repeating on its own path.
const QString cBreakMark = QStringLiteral(" (break)");

} // namespace

TWinTree::TWinTree(QWidget *AParent)
{
    Panel = new QFrame(AParent);
    Panel->setFrameShape(QFrame::NoFrame);
    Panel->show();
    WinToolBar = std::make_unique<TWinToolBar>(Panel);
    WinToolBar->AddBtn(TBtnType::btSave, QStringLiteral("Сохранить"), [this] { Save(); });
    vt = CreateTreeWidget(Panel);
    ::SetAlign(vt, TAlign::alClient);
    OnFldTreeExpanded(vt, [this](QTreeWidgetItem *AItem) { Grow(AItem); });
    Tbl = std::make_unique<TTbl>();
    UpdateSaveBtn();
}

TWinTree::~TWinTree()
{
    // The panel stays with its owner.
    delete vt.data();
    WinToolBar.reset();
}

void TWinTree::Init(TObj *AObj)
{
    BuildFldTree(vt, AObj, cBreakMark);
    SetCheckSupport(CheckSupport);
}

void TWinTree::SetTblId(const Variant &AValue)
{
    // Nothing of the view shown before survives, whether or not the new one loads.
    FTblId = Variant::Null();
    Tbl = std::make_unique<TTbl>();
    Tbl->RaiseLoad = true;
    SetCheckSupport(false);   // the ticks go with the boxes
    vt->collapseAll();
    UpdateSaveBtn();
    if (AValue.isNull())
        return;
    Tbl->LoadById(VarAsInteger(AValue));
    FTblId = AValue;
    UpdateSaveBtn();
    if (!Tbl->TblTree)
        return;
    SetCheckSupport(true);
    {
        const TUpdateSuspension suspension(vt);
        for (const TTblTree *col : Tbl->TblTree->TblTreeList)
            TickColumn(col, nullptr);
    }
    if (vt->topLevelItemCount() > 0)
        vt->scrollToItem(vt->topLevelItem(0));
}

void TWinTree::Save()
{
    if (FTblId.isNull())
        return;
    if (!Tbl->TblTree)
        CreateRoot();
    TTblTree *root = Tbl->TblTree.get();
    root->TblTreeList.Clear();
    for (int i = 0; i < vt->topLevelItemCount(); ++i)
        if (auto col = TakenColumn(vt->topLevelItem(i)))
            root->AddChild(std::move(col));
    CommitTree(*Tbl);
    SetCheckSupport(true);
}

void TWinTree::SetAlign(TAlign AAlign)
{
    ::SetAlign(Panel, AAlign);
}

void TWinTree::SetCheckSupport(bool ACheckSupport)
{
    CheckSupport = ACheckSupport;
    const TUpdateSuspension suspension(vt);
    for (QTreeWidgetItemIterator it(vt); *it; ++it)
        if (!FldItem(*it)->Link)
            SetCheckable(*it, ACheckSupport);
}

void TWinTree::Grow(QTreeWidgetItem *AItem)
{
    if (!GrowFldItem(AItem, cBreakMark) || !CheckSupport)
        return;
    for (int i = 0; i < AItem->childCount(); ++i)
        if (!FldItem(AItem->child(i))->Link)
            SetCheckable(AItem->child(i), true);
}

void TWinTree::TickColumn(const TTblTree *ACol, QTreeWidgetItem *AParent)
{
    const int count = AParent ? AParent->childCount() : vt->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        TFldTreeItem *item = FldItem(AParent ? AParent->child(i) : vt->topLevelItem(i));
        if (item->Fld != ACol->Fld())
            continue;
        if (!item->Link) {
            item->setCheckState(0, Qt::Checked);
            return;
        }
        Grow(item);
        for (const TTblTree *child : ACol->TblTreeList)
            TickColumn(child, item);
        item->setExpanded(true);
        return;
    }
    // A column whose field has no node here (deleted since, or beyond a repeated link) is
    // skipped with the columns below it.
}

std::unique_ptr<TTblTree> TWinTree::TakenColumn(QTreeWidgetItem *AItem) const
{
    TFldTreeItem *item = FldItem(AItem);
    std::unique_ptr<TTblTree> col;
    auto makeCol = [&] {
        col = std::make_unique<TTblTree>();
        col->SetFld(item->Fld);
    };
    if (!item->Link) {
        if (IsTicked(item))
            makeCol();
        return col;
    }
    for (int i = 0; i < item->childCount(); ++i) {
        auto child = TakenColumn(item->child(i));
        if (!child)
            continue;
        if (!col)
            makeCol();
        col->AddChild(std::move(child));
    }
    return col;
}

void TWinTree::CreateRoot()
{
    const TObj *obj = Tbl->GetObj();
    if (!obj || !obj->PKFld)
        throw ExceptionPos::Fmt(QStringLiteral("TWinTree.Save: Не найдено ключевое поле объекта таблицы \"%s\"."),
                                {Tbl->Capt()}, vt);
    auto root = std::make_unique<TTblTree>();
    root->SetFld(obj->PKFld);
    Tbl->TblTree = std::move(root);
}

void TWinTree::UpdateSaveBtn()
{
    WinToolBar->GetByBtnType(TBtnType::btSave)->SetEnabled(!FTblId.isNull());
}
