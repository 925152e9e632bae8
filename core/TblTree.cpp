#include "TblTree.h"

#include "Fld.h"
#include "Main.h"

TTblTree::TTblTree()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("TBLTREE")));
}

void TTblTree::SetFld(TFld *AFld)
{
    FFld = AFld;
    SetValue(QStringLiteral("FLD_ID"), AFld ? Variant(AFld->Id()) : Variant::Null());
}

TTblTree *TTblTree::AddChild(std::unique_ptr<TTblTree> AChild)
{
    AChild->FParent = this;
    return TblTreeList.Add(std::move(AChild));
}
