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

void TTblTree::UpdateLongCapt()
{
    const QString own = FFld ? FFld->Capt() : QString();
    // The root's own caption is not part of its columns' captions: a grid of an object never
    // prefixes its columns with the key field.
    LongCapt = FParent && FParent->FParent ? FParent->LongCapt + QLatin1Char('>') + own : own;
    for (TTblTree *child : TblTreeList)
        child->UpdateLongCapt();
}
