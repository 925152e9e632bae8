#include "FilterTree.h"

#include "Main.h"
#include "ObjLink.h"

TFilterTree::TFilterTree()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("FLTRTREE")));
}

void TFilterTree::SetFld(TFld *AFld)
{
    FFld = AFld;
    TSObj::SetValue(QStringLiteral("FLD_ID"), AFld ? Variant(AFld->Id()) : Variant::Null());
}

void TFilterTree::SetObjLink(TObjLink *AObjLink)
{
    FObjLink = AObjLink;
    TSObj::SetValue(QStringLiteral("DEP_ID"), AObjLink ? Variant(AObjLink->Id()) : Variant::Null());
}

TFilterTreeType TFilterTree::FilterTreeType() const
{
    return DB->CodeToFilterTreeType(GetVariant(QStringLiteral("FLTRTRTP_ID")));
}

void TFilterTree::SetFilterTreeType(TFilterTreeType AType)
{
    TSObj::SetValue(QStringLiteral("FLTRTRTP_ID"), DB->FilterTreeTypeToCode(AType));
}

bool TFilterTree::PlaceNode(std::unique_ptr<TFilterTree> &N)
{
    if (N->Lft() == Lft() + 1 || N->Rgt() == Rgt() - 1) {
        FilterTreeList.Add(std::move(N));
        return true;
    }
    for (TFilterTree *child : FilterTreeList) {
        if (child->Rgt() + 1 == N->Lft()) {
            FilterTreeList.Add(std::move(N));
            return true;
        }
        if (child->PlaceNode(N))
            return true;
    }
    return false;
}

TFilterTree *TFilterTree::FindByName(const QString &AName)
{
    if (Name() == AName)
        return this;
    for (TFilterTree *child : FilterTreeList)
        if (TFilterTree *found = child->FindByName(AName))
            return found;
    return nullptr;
}
