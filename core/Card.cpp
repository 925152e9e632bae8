#include "Card.h"

#include "CtrlTree.h"
#include "Fld.h"
#include "ChoiceSql.h"
#include "IBSQL.h"
#include "Main.h"
#include "TreeSearch.h"

namespace {

// Removes the target from the child list that holds it; the root is in no child list.
bool RemoveFromSubtree(TCtrlTree *ANode, const TCtrlTree *ATarget)
{
    auto &children = ANode->CtrlTreeList;
    for (int i = 0; i < children.Count(); ++i) {
        if (children.Items(i) == ATarget) {
            children.Delete(i);
            return true;
        }
        if (RemoveFromSubtree(children.Items(i), ATarget))
            return true;
    }
    return false;
}

const TChoiceSql &CardChoice()
{
    static const TChoiceSql choice(QStringLiteral("CARD"), QStringLiteral("C"), QStringLiteral("USRCARD"));
    return choice;
}

} // namespace

TCard::TCard()
    : TChoiceRow(CardChoice(), QStringLiteral("Карточка не найдена."),
                 QStringLiteral("Для объекта \"%s\" не создана карточка."))
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("CARD")));
    IBSQLC = DB->CreateIBSQLC();
}

TCard::~TCard() = default;

void TCard::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj ? Variant(AObj->Id()) : Variant::Null());
}

QString TCard::WhereLine(const QString &AFunc, TObj *AObj) const
{
    if (!AObj)
        throw ExceptionPos(AFunc + QStringLiteral(": Не указан объект."));
    return Choice.WhereLine(QStringLiteral("OBJ_ID"), AObj->Id());
}

void TCard::RowLoaded()
{
    if (!ObjId().isNull())
        SetObj(DB->ObjList->GetObjById(VarAsInteger(ObjId())));
    LoadCtrlTree();
}

bool TCard::LoadById(int AId)
{
    return LoadRowById(AId);
}

bool TCard::LoadByName(TObj *AObj, const QString &AName)
{
    return LoadRowByName(AObj, WhereLine(QStringLiteral("TCard.LoadByName"), AObj), AName);
}

bool TCard::LoadCurrent(TObj *AObj, int AUserId)
{
    return LoadRowCurrent(AObj, WhereLine(QStringLiteral("TCard.LoadCurrent"), AObj), AUserId);
}

std::unique_ptr<TCtrlTree> TCard::MakeNode() const
{
    auto node = std::make_unique<TCtrlTree>();
    node->CopyDataFrom(*IBSQLS);
    // Only the card's own object: a control bound to another object's field could never
    // show a value of this record, so the lookup's error stops the load.
    if (!node->FldId().isNull()) {
        if (!FObj)
            throw ExceptionPos(QStringLiteral("TCard.LoadCtrlTree: У карточки не указан объект."));
        node->SetFld(FObj->GetFldById(VarAsInteger(node->FldId())));
    }
    return node;
}

void TCard::LoadCtrlTree()
{
    RootCtrlTree.reset();
    TCloseGuard closer(*IBSQLS);
    IBSQLS->SetSQL(Format(
        QStringLiteral("select * from CTRLTREE C where C.CARD_ID = %d order by C.CTRLTREE_LFT"), {Id()}));
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        // The first row is the root whatever its bounds; rows come by left bound, so every
        // later control's parent is among the controls placed before it.
        if (!RootCtrlTree) {
            RootCtrlTree = MakeNode();
            continue;
        }
        const int lft = VarAsInteger(IBSQLS->FieldByName(QStringLiteral("CTRLTREE_LFT")));
        TCtrlTree *parent = FindParentByLft(RootCtrlTree.get(), lft, &TCtrlTree::CtrlTreeList);
        if (!parent)
            throw ExceptionPos::Fmt(
                QStringLiteral("Обнаружено нарушение структуры дерева для карточки \"%s\" (объект: \"%s\")."),
                {Capt(), FObj ? FObj->Capt() : QString()});
        parent->AddChild(MakeNode());
    }
}

void TCard::RenumberTree()
{
    if (RootCtrlTree)
        RenumberPreOrder(RootCtrlTree.get(), &TCtrlTree::CtrlTreeList);
}

void TCard::DeleteCtrlTree(TCtrlTree *ADelCtrlTree)
{
    if (RootCtrlTree && ADelCtrlTree)
        RemoveFromSubtree(RootCtrlTree.get(), ADelCtrlTree);
}
