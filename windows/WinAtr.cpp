#include "WinAtr.h"

#include "Atr.h"
#include "Card.h"
#include "CodeTables.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "WinCtrlTree.h"
#include "WinCtrlTreeObj.h"

namespace {

// A node before its children, children in order.
bool AnyPreOrder(TWinCtrlTree *ANode, const std::function<bool(TWinCtrlTree *)> &AVisit)
{
    if (AVisit(ANode))
        return true;
    for (TWinCtrlTree *child : *ANode)
        if (AnyPreOrder(child, AVisit))
            return true;
    return false;
}

} // namespace

TWinAtr::TWinAtr(QWidget *AOwner, QWidget *AParent) : Owner(AOwner), Parent(AParent)
{
}

TWinAtr::~TWinAtr()
{
    // The controls let go of their items before the items go.
    RootWinCtrlTree.reset();
    Atr.reset();
}

std::unique_ptr<TAtr> TWinAtr::CreateAtr()
{
    return std::make_unique<TAtr>();
}

void TWinAtr::Init(TCard *ACard)
{
    if (!Atr)
        Atr = CreateAtr();
    Card = ACard;
    Atr->SetObj(ACard->Obj());
    if (!ACard->RootCtrlTree)
        return;
    RootWinCtrlTree = CreateWinCtrlTree(nullptr, Parent, ACard->RootCtrlTree.get());
    for (TCtrlTree *child : ACard->RootCtrlTree->CtrlTreeList)
        CreateControls(RootWinCtrlTree.get(), child);
}

std::unique_ptr<TWinCtrlTree> TWinAtr::CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    if (ACtrlTree->Fld() && ACtrlTree->Fld()->FldType() == TFldType::ftFK)
        return std::make_unique<TWinCtrlTreeObj>(AOwner, AParent, ACtrlTree);
    return std::make_unique<TWinCtrlTree>(AOwner, AParent, ACtrlTree);
}

TWinCtrlTree *TWinAtr::CreateControls(TWinCtrlTree *AParentWinCtrlTree, TCtrlTree *ACtrlTree)
{
    TWinCtrlTree *node = AParentWinCtrlTree->Add(CreateWinCtrlTree(Owner, AParentWinCtrlTree->WinControl, ACtrlTree));
    node->ParentWinCtrlTree = AParentWinCtrlTree;
    if (TFld *fld = ACtrlTree->Fld())
        node->Bind(Atr->GetAddByFld(fld));
    // Only pages hold controls; whatever a stored tree hangs under a field control is not built.
    const TCtrlType type = ACtrlTree->CtrlTreeType();
    if (type == TCtrlType::ctPageControl || type == TCtrlType::ctTabSheet)
        for (TCtrlTree *child : ACtrlTree->CtrlTreeList)
            CreateControls(node, child);
    return node;
}

Variant TWinAtr::RecId() const
{
    return Atr ? Atr->RecId() : Variant::Null();
}

void TWinAtr::SetRecId(const Variant &Value)
{
    Atr->SetRecId(Value);
    ApplyReadOnly();
}

void TWinAtr::InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    Atr->SetDefaultValues(AObjLink, AParentId);
    ApplyReadOnly();
}

void TWinAtr::Post()
{
    try {
        Atr->Post();
    } catch (const ECheckFldException &e) {
        if (TWinCtrlTree *node = e.AtrItem ? GetWinCtrlTreeByFld(e.AtrItem->Fld) : nullptr)
            node->SetFocus();
        throw;
    }
}

void TWinAtr::RefreshArgFlieds()
{
    Atr->RefreshArgFlieds();
}

void TWinAtr::ApplyReadOnly()
{
    if (!RootWinCtrlTree)
        return;
    const bool adding = Atr->New();
    AnyPreOrder(RootWinCtrlTree.get(), [&](TWinCtrlTree *node) {
        if (node == RootWinCtrlTree.get())
            return false;
        const bool unbound = CtrlTypesFld.Contains(node->CtrlType()) && !node->AtrItem;
        node->SetReadOnly(unbound || (adding ? node->CtrlTree->ROAdd() : node->CtrlTree->ROEdt()));
        return false;
    });
}

TWinCtrlTree *TWinAtr::Find(const std::function<bool(const TWinCtrlTree *)> &AWhich) const
{
    TWinCtrlTree *found = nullptr;
    if (RootWinCtrlTree)
        AnyPreOrder(RootWinCtrlTree.get(), [&](TWinCtrlTree *node) {
            if (AWhich(node))
                found = node;
            return found != nullptr;
        });
    return found;
}

TWinCtrlTree *TWinAtr::GetWinCtrlTreeByCtrlTree(const TCtrlTree *ACtrlTree) const
{
    return Find([&](const TWinCtrlTree *node) { return node->CtrlTree == ACtrlTree; });
}

TWinCtrlTree *TWinAtr::GetWinCtrlTreeByFld(const TFld *AFld) const
{
    return AFld ? Find([&](const TWinCtrlTree *node) { return node->CtrlTree->Fld() == AFld; }) : nullptr;
}

TWinCtrlTree *TWinAtr::GetWinCtrlTreeByFldName(const QString &AName) const
{
    return Find([&](const TWinCtrlTree *node) {
        const TFld *fld = node->CtrlTree->Fld();
        return fld && fld->Field() == AName;
    });
}

void TWinAtr::DeleteWinCtrlTree(TWinCtrlTree *AWinCtrlTree)
{
    TWinCtrlTree *parent = AWinCtrlTree ? AWinCtrlTree->ParentWinCtrlTree : nullptr;
    if (!parent)
        return;
    // The subtree lets go of its items first: deleting the widgets reports nothing to them.
    AnyPreOrder(AWinCtrlTree, [](TWinCtrlTree *node) {
        node->Bind(nullptr);
        return false;
    });
    delete AWinCtrlTree->LabelControl.data();
    delete AWinCtrlTree->WinControl.data();
    parent->Delete(parent->IndexOf(AWinCtrlTree));
}
