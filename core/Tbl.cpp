#include "Tbl.h"

#include "Fld.h"
#include "ChoiceSql.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"
#include "TblTree.h"
#include "TreeSearch.h"

namespace {

const TChoiceSql &TblChoice()
{
    static const TChoiceSql choice(QStringLiteral("TBL"), QStringLiteral("T"), QStringLiteral("USRTBL"));
    return choice;
}

} // namespace

TTbl::TTbl()
    : TChoiceRow(TblChoice(), QStringLiteral("Таблица не найдена."),
                 QStringLiteral("Для объекта \"%s\" не создана таблица."))
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("TBL")));
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
        return Choice.WhereLine(QStringLiteral("DEP_ID"), AObjLink->Id());
    if (AObj)
        return Choice.WhereLine(QStringLiteral("OBJ_ID"), AObj->Id());
    throw ExceptionPos(AFunc + QStringLiteral(": Не указан ни объект, ни связь."));
}

void TTbl::RowLoaded()
{
    if (!ObjId().isNull())
        SetObj(DB->ObjList->GetObjById(VarAsInteger(ObjId())));
    if (!ObjLinkId().isNull())
        SetObjLink(DB->ObjList->GetObjLinkById(VarAsInteger(ObjLinkId())));
    LoadTree();
}

bool TTbl::LoadById(int AId)
{
    return LoadRowById(AId);
}

bool TTbl::LoadByName(TObj *AObj, TObjLink *AObjLink, const QString &AName)
{
    return LoadRowByName(AObj, WhereLine(QStringLiteral("TTbl.LoadByName"), AObj, AObjLink), AName);
}

bool TTbl::LoadCurrent(TObj *AObj, TObjLink *AObjLink, int AUserId)
{
    return LoadRowCurrent(AObj, WhereLine(QStringLiteral("TTbl.LoadCurrent"), AObj, AObjLink), AUserId);
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
