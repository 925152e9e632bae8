#include "CtrlTree.h"

#include "Fld.h"
#include "Main.h"

TCtrlTree::TCtrlTree()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("CTRLTREE")));
}

void TCtrlTree::SetFld(TFld *AFld)
{
    FFld = AFld;
    SetValue(QStringLiteral("FLD_ID"), AFld ? Variant(AFld->Id()) : Variant::Null());
}

TCtrlTree *TCtrlTree::AddChild(std::unique_ptr<TCtrlTree> AChild)
{
    AChild->FParent = this;
    return CtrlTreeList.Add(std::move(AChild));
}

TCtrlType TCtrlTree::CtrlTreeType() const
{
    return DB->CodeToCtrlTreeType(GetVariant(QStringLiteral("CTRLTRTP_ID")));
}

void TCtrlTree::SetCtrlTreeType(TCtrlType AType)
{
    SetValue(QStringLiteral("CTRLTRTP_ID"), DB->CtrlTreeTypeToCode(AType));
}

QString TCtrlTree::GetCapt2() const
{
    return FFld ? FFld->Capt() : Capt();
}
