#include "Tbl.h"

#include "Fld.h"
#include "ChoiceSql.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"
#include "TblTree.h"
#include "TreeSearch.h"

TTbl::TTbl()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("TBL")));
    IBSQLS = DB->CreateIBSQLS();
    IBSQLC = DB->CreateIBSQLC();
}

TTbl::~TTbl() = default;

void TTbl::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj ? Variant(AObj->Id()) : Variant::Null());
}

void TTbl::SetObjLink(TObjLink *AObjLink)
{
    FObjLink = AObjLink;
    SetValue(QStringLiteral("DEP_ID"), AObjLink ? Variant(AObjLink->Id()) : Variant::Null());
}

TObj *TTbl::GetObj() const
{
    if (FObj)
        return FObj;
    if (FObjLink && FObjLink->ChildFld())
        return FObjLink->ChildFld()->Obj();
    return nullptr;
}

QString TTbl::WhereLine(const QString &AFunc, TObj *AObj, TObjLink *AObjLink) const
{
    if (AObjLink)
        return Choice().WhereLine(QStringLiteral("DEP_ID"), AObjLink->Id());
    if (AObj)
        return Choice().WhereLine(QStringLiteral("OBJ_ID"), AObj->Id());
    throw ExceptionPos(AFunc + QStringLiteral(": Не указан ни объект, ни связь."));
}

const TChoiceSql &TTbl::Choice()
{
    static const TChoiceSql choice(QStringLiteral("TBL"), QStringLiteral("T"), QStringLiteral("USRTBL"));
    return choice;
}

bool TTbl::LoadRow()
{
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    if (IBSQLS->Eof())
        return false;
    CopyDataFrom(*IBSQLS);
    if (!ObjId().isNull())
        SetObj(DB->ObjList->GetObjById(VarAsInteger(ObjId())));
    if (!ObjLinkId().isNull())
        SetObjLink(DB->ObjList->GetObjLinkById(VarAsInteger(ObjLinkId())));
    IBSQLS->Close();
    LoadTree();
    return true;
}

void TTbl::MissCheck(bool AFound, const TObj *AObj) const
{
    if (AFound || !RaiseLoad)
        return;
    if (!AObj)
        throw ExceptionPos(QStringLiteral("Таблица не найдена."));
    throw ExceptionPos::Fmt(QStringLiteral("Для объекта \"%s\" не создана таблица."), {AObj->Capt()});
}

bool TTbl::LoadById(int AId)
{
    Choice().ById(*IBSQLS, AId);
    const bool found = LoadRow();
    MissCheck(found, nullptr);
    return found;
}

bool TTbl::LoadByName(TObj *AObj, TObjLink *AObjLink, const QString &AName)
{
    Choice().ByName(*IBSQLS, WhereLine(QStringLiteral("TTbl.LoadByName"), AObj, AObjLink), AName);
    const bool found = LoadRow();
    MissCheck(found, AObj);
    return found;
}

bool TTbl::LoadCurrent(TObj *AObj, TObjLink *AObjLink, int AUserId)
{
    const QString where = WhereLine(QStringLiteral("TTbl.LoadCurrent"), AObj, AObjLink);
    Choice().UserChoice(*IBSQLS, where, AUserId);
    bool found = LoadRow();
    if (!found) {
        Choice().Default(*IBSQLS, where);
        found = LoadRow();
    }
    MissCheck(found, AObj);
    return found;
}

void TTbl::LoadTree()
{
    TblTree.reset();
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select *"));
    IBSQLS->AddLine(QStringLiteral("from TBLTREE"));
    IBSQLS->AddLine(QStringLiteral("where TBL_ID = :TBL_ID"));
    IBSQLS->AddLine(QStringLiteral("order by TBLTREE_LFT"));
    IBSQLS->ParamByName(QStringLiteral("TBL_ID")) = Id();
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        auto node = std::make_unique<TTblTree>();
        node->CopyDataFrom(*IBSQLS);
        if (!node->FldId().isNull())
            node->SetFld(DB->ObjList->GetFldById(VarAsInteger(node->FldId())));
        // The first row is the root whatever its bounds; rows come by left bound, so every
        // later node's parent is among the nodes placed before it.
        if (!TblTree) {
            TblTree = std::move(node);
            continue;
        }
        TTblTree *parent = FindParentByLft(TblTree.get(), node->Lft(), &TTblTree::TblTreeList);
        if (!parent) {
            const TObj *obj = GetObj();
            throw ExceptionPos::Fmt(
                QStringLiteral("Обнаружено нарушение структуры дерева для таблицы \"%s\" (объект: \"%s\")."),
                {Capt(), obj ? obj->Capt() : QString()});
        }
        parent->AddChild(std::move(node));
    }
    UpdateLongCapt();
}

void TTbl::RenumberTree()
{
    if (TblTree)
        RenumberPreOrder(TblTree.get(), &TTblTree::TblTreeList);
}

void TTbl::UpdateLongCapt()
{
    if (TblTree)
        TblTree->UpdateLongCapt();
}
