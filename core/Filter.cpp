#include "Filter.h"

#include "FilterTree.h"
#include "IBSQL.h"
#include "Main.h"

TFilter::TFilter()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("FLTR")));
    IBSQLS = DB->CreateIBSQLS();
    IBSQLS2 = DB->CreateIBSQLS();
}

TFilter::~TFilter() = default;

void TFilter::Clear()
{
    FilterTreeRoot.reset();
}

bool TFilter::LoadById(int AId)
{
    bool found = false;
    {
        TCloseGuard closer(*IBSQLS);
        IBSQLS->ClearSQL();
        IBSQLS->AddLine(QStringLiteral("select F.*"));
        IBSQLS->AddLine(QStringLiteral("from FLTR F"));
        IBSQLS->AddLine(QStringLiteral("where F.FLTR_ID = :FLTR_ID"));
        IBSQLS->ParamByName(QStringLiteral("FLTR_ID")) = AId;
        IBSQLS->ExecQuery();
        found = !IBSQLS->Eof();
        if (found) {
            CopyDataFrom(*IBSQLS);
            IBSQLS->Close();
            LoadTree();
        }
    }
    if (RaiseLoad && !found)
        throw ExceptionPos(QStringLiteral("Фильтр не найден."));
    return found;
}

void TFilter::LoadTree()
{
    Clear();
    TCloseGuard closer(*IBSQLS);
    TCloseGuard closer2(*IBSQLS2);
    IBSQLS->SetSQL(Format(QStringLiteral("select * from FLTRTREE F where F.FLTR_ID = %d order by F.FLTRTREE_LFT"),
                          {Id()}));
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        auto node = std::make_unique<TFilterTree>();
        node->CopyDataFrom(*IBSQLS);
        if (!node->FldId().isNull())
            node->SetFld(DB->ObjList->GetFldById(VarAsInteger(node->FldId())));
        if (!node->ObjLinkId().isNull())
            node->SetObjLink(DB->ObjList->GetObjLinkById(VarAsInteger(node->ObjLinkId())));
        if (node->PathHave()) {
            IBSQLS2->SetSQL(QStringLiteral(
                "select FLD_ID from FLTRTRPT where FLTRTREE_ID = :FLTRTREE_ID order by FLTRTRPT_ID"));
            IBSQLS2->ParamByName(QStringLiteral("FLTRTREE_ID")) = node->Id();
            for (IBSQLS2->ExecQuery(); !IBSQLS2->Eof(); IBSQLS2->Next())
                node->Path.Add(DB->ObjList->GetFldById(VarAsInteger(IBSQLS2->Field(0))));
            IBSQLS2->Close();
        }
        // The first row is the root whatever its bounds; rows come by left bound, so every
        // later node finds its parent among the nodes already placed.
        if (!FilterTreeRoot)
            FilterTreeRoot = std::move(node);
        else if (!FilterTreeRoot->PlaceNode(node))
            throw ExceptionPos(QStringLiteral("Дерево фильтра испорчено."));
    }
}

TFilterTree *TFilter::GetFilterTreeByName(const QString &AName) const
{
    return FilterTreeRoot ? FilterTreeRoot->FindByName(AName) : nullptr;
}

TFilterTree *TFilter::CreateRoot(TFilterTreeType AType, TFld *AFld)
{
    auto root = std::make_unique<TFilterTree>();
    root->SetFilterTreeType(AType);
    root->SetFld(AFld);
    FilterTreeRoot = std::move(root);
    return FilterTreeRoot.get();
}
