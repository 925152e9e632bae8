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
#include "WriteGuard.h"

namespace {

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

// The rows a save deleted are the engine's to clear in any case, at the latest once the next write
// starts; a wake that fails only leaves them for then.
void WakeCollector() noexcept
{
    try {
        DB->WakeGarbageCollector();
    } catch (const std::exception &) {
        // A transaction the wake started and could not commit must not stay open for the next writer.
        try {
            DB->RollbackChanges();
        } catch (const std::exception &) {
        }
    }
}

template <typename TSave>
void Committed(const TSave &ASave)
{
    {
        TWriteGuard guard(*DB);
        ASave();
        guard.Commit();
    }
    WakeCollector();
}

} // namespace

void DeleteTree(TIBSQL &AIBSQLC, const QString &ATable, const QString &AOwnerColumn, int AOwnerId)
{
    // The after-delete trigger of each tree table closes up the bounds behind every row it sees
    // go, which costs a pass over the rest of the tree per row. With the whole tree going there is
    // nothing to close up: its guard, the transaction's context variable the trigger sets for its
    // own nested deletes, is set around the delete. One block sets and clears it, also when the
    // delete fails, so no later delete of this transaction goes without its repair.
    const QString guard = QStringLiteral("'KVX_%1_AD'").arg(ATable);
    AIBSQLC.SetSQL(QStringLiteral("execute block as\n"
                                  "  declare dummy integer;\n"
                                  "begin\n"
                                  "  dummy = rdb$set_context('USER_TRANSACTION', %1, '1');\n"
                                  "  delete from %2 where %3 = %4;\n"
                                  "  dummy = rdb$set_context('USER_TRANSACTION', %1, null);\n"
                                  "  when any do\n"
                                  "  begin\n"
                                  "    dummy = rdb$set_context('USER_TRANSACTION', %1, null);\n"
                                  "    exception;\n"
                                  "  end\n"
                                  "end")
                       .arg(guard, ATable, AOwnerColumn)
                       .arg(AOwnerId));
    AIBSQLC.ExecImmediate();
}

void SaveTree(TTbl &ATbl)
{
    DeleteTree(*ATbl.IBSQLC, QStringLiteral("TBLTREE"), QStringLiteral("TBL_ID"), ATbl.Id());
    SaveNodes(ATbl.TblTree.get(), &TTblTree::TblTreeList, QStringLiteral("TBLTREE"), QStringLiteral("TBL_ID"),
              ATbl.Id());
    if (ATbl.TblTree)
        ATbl.UpdateLongCapt();
}

void SaveTree(TCard &ACard)
{
    DeleteTree(*ACard.IBSQLC, QStringLiteral("CTRLTREE"), QStringLiteral("CARD_ID"), ACard.Id());
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

void CommitTree(TTbl &ATbl)
{
    Committed([&] { SaveTree(ATbl); });
}

void CommitCard(TCard &ACard)
{
    Committed([&] {
        SaveCard(ACard);
        SaveTree(ACard);
    });
}
