#include "WinAtr.h"

#include "Atr.h"
#include "AtrDealRow.h"
#include "AtrItem.h"
#include "Card.h"
#include "CodeTables.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "WinCtrlTree.h"
#include "WinCtrlTreeDealProd.h"
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

// A link control of a required field whose item holds no key.
bool UnfilledRequiredLink(const TWinCtrlTree *ANode)
{
    const TFld *fld = ANode->CtrlTree->Fld();
    return ANode->CtrlType() == TCtrlType::ctEditObj && ANode->AtrItem && fld && fld->FldType() == TFldType::ftFK
           && fld->NotNull() && ANode->AtrItem->Value().isEmptyOrNull();
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
    return CreateRecordEditor(Card->Obj());
}

void TWinAtr::Init(TCard *ACard)
{
    Card = ACard;
    if (!Atr)
        Atr = CreateAtr();
    Atr->SetObj(ACard->Obj());
    if (!ACard->RootCtrlTree)
        return;
    RootWinCtrlTree = CreateWinCtrlTree(nullptr, Parent, ACard->RootCtrlTree.get());
    for (TCtrlTree *child : ACard->RootCtrlTree->CtrlTreeList)
        CreateControls(RootWinCtrlTree.get(), child);
}

std::unique_ptr<TWinCtrlTree> TWinAtr::CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    if (ACtrlTree->Fld() && ACtrlTree->Fld()->FldType() == TFldType::ftFK) {
        if (auto *row = dynamic_cast<TAtrDealRow *>(Atr.get()); row && row->IsProduct(ACtrlTree->Fld()))
            return std::make_unique<TWinCtrlTreeDealProd>(AOwner, AParent, ACtrlTree, *row);
        return std::make_unique<TWinCtrlTreeObj>(AOwner, AParent, ACtrlTree);
    }
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
    CheckInput();
    try {
        Atr->Post();
    } catch (const ECheckFldException &e) {
        if (TWinCtrlTree *node = e.AtrItem ? GetWinCtrlTreeByFld(e.AtrItem->Fld) : nullptr)
            node->SetFocus();
        throw;
    }
}

void TWinAtr::CheckInput()
{
    if (RootWinCtrlTree)
        AnyPreOrder(RootWinCtrlTree.get(), [](TWinCtrlTree *node) {
            node->CheckInput();
            return false;
        });
}

bool TWinAtr::FocusFirstInput()
{
    // The tree is built in pre-order, so that is the order Tab walks the controls in.
    TWinCtrlTree *first = Find([](const TWinCtrlTree *node) {
        const QWidget *control = node->WinControl;
        if (control && control->focusProxy())
            control = control->focusProxy();
        return CtrlTypesFld.Contains(node->CtrlType()) && node->AtrItem && !node->ReadOnly() && control
               && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus);
    });
    if (first)
        first->SetFocus();
    return first != nullptr;
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
        const bool readOnly = adding ? node->CtrlTree->ROAdd() && !UnfilledRequiredLink(node) : node->CtrlTree->ROEdt();
        node->SetReadOnly(unbound || readOnly);
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
