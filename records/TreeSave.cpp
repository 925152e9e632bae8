#include "TreeSave.h"

#include "Atr.h"
#include "Card.h"
#include "CtrlTree.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TreeSearch.h"

namespace {

void DeleteRows(TIBSQL &AIBSQLC, const QString &ATable, const QString &AOwnerColumn, int AOwnerId)
{
    AIBSQLC.SetSQL(QStringLiteral("delete from %1 where %2 = %3").arg(ATable, AOwnerColumn).arg(AOwnerId));
    AIBSQLC.ExecQuery();
}

// Inserts one node as a new row owned by AOwnerId and gives the node its new key.
template <typename TNode>
void InsertNode(TAtr &AAtr, TNode &ANode, const QString &AKeyColumn, const QString &AOwnerColumn, int AOwnerId)
{
    AAtr.SetDefaultValues(nullptr, Variant::Null());
    AAtr.CopyDataFrom(ANode);
    AAtr.GetAddByFldName(AKeyColumn)->SetValue(Variant::Null());
    AAtr.GetAddByFldName(AOwnerColumn)->SetValue(AOwnerId);
    AAtr.Post();
    ANode.FldByName(AKeyColumn).Value = AAtr.RecId();
}

template <typename TNode>
void SaveNodes(TNode *ARoot, TObjectList<TNode> TNode::*AChildren, const QString &ATable,
               const QString &AOwnerColumn, int AOwnerId)
{
    if (!ARoot)
        return;
    RenumberPreOrder(ARoot, AChildren);
    TAtr atr;
    atr.SetObj(DB->ObjList->GetObjByTable(ATable));
    const QString keyColumn = ATable + QStringLiteral("_ID");
    ForEachPreOrder(ARoot, AChildren,
                    [&](TNode *node) { InsertNode(atr, *node, keyColumn, AOwnerColumn, AOwnerId); });
}

} // namespace

void SaveTree(TTbl &ATbl)
{
    DeleteRows(*ATbl.IBSQLC, QStringLiteral("TBLTREE"), QStringLiteral("TBL_ID"), ATbl.Id());
    SaveNodes(ATbl.TblTree.get(), &TTblTree::TblTreeList, QStringLiteral("TBLTREE"), QStringLiteral("TBL_ID"),
              ATbl.Id());
    if (ATbl.TblTree)
        ATbl.UpdateLongCapt();
}

void SaveTree(TCard &ACard)
{
    DeleteRows(*ACard.IBSQLC, QStringLiteral("CTRLTREE"), QStringLiteral("CARD_ID"), ACard.Id());
    SaveNodes(ACard.RootCtrlTree.get(), &TCtrlTree::CtrlTreeList, QStringLiteral("CTRLTREE"),
              QStringLiteral("CARD_ID"), ACard.Id());
}

void SaveCard(TCard &ACard)
{
    TAtr atr;
    atr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("CARD")));
    atr.SetRecId(ACard.Id());
    atr.GetAddByFldName(QStringLiteral("CARD_HEIGHTATR"))->SetValue(ACard.HeightAtr());
    atr.GetAddByFldName(QStringLiteral("CARD_HEIGHTDET"))->SetValue(ACard.HeightDet());
    atr.GetAddByFldName(QStringLiteral("CARD_WIDTH"))->SetValue(ACard.Width());
    atr.Post();
}
