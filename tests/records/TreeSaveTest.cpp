#include "AtrFixture.h"
#include "Card.h"
#include "CtrlTree.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TreeSave.h"
#include "TreeSearch.h"

namespace {

using korvenix_test::AtrFixture;

// Bounds and keys of a stored tree, in the order of left bounds.
QList<std::tuple<int, int, int>> StoredTree(TDB &db, const QString &table, const QString &owner, int ownerId)
{
    auto sql = db.CreateIBSQLS();
    sql->SetSQL(QString("select %1_ID, %1_LFT, %1_RGT from %1 where %2 = :ID order by %1_LFT").arg(table, owner));
    sql->ParamByName("ID") = ownerId;
    QList<std::tuple<int, int, int>> rows;
    for (sql->ExecQuery(); !sql->Eof(); sql->Next())
        rows << std::make_tuple(sql->Field(0).toInt(), sql->Field(1).toInt(), sql->Field(2).toInt());
    return rows;
}

class TreeSaveTest : public AtrFixture
{
protected:
    TObj *Deal() { return db.ObjList->GetObjByTable("DEAL"); }
};

TEST_F(TreeSaveTest, ControlTreeIsRenumberedInPreOrderWithFreshKeys)
{
    TCard card;
    ASSERT_TRUE(card.LoadCurrent(Deal(), db.CurrentUserId));
    ASSERT_NE(card.RootCtrlTree, nullptr);
    const auto before = StoredTree(db, "CTRLTREE", "CARD_ID", card.Id());
    ASSERT_GE(before.size(), 3);
    // Drop the first control below the root: the stored bounds now have a gap until saved.
    TCtrlTree *first = card.RootCtrlTree->CtrlTreeList.Items(0);
    int removed = 0;
    ForEachPreOrder(first, &TCtrlTree::CtrlTreeList, [&](TCtrlTree *) { ++removed; });
    QStringList captions;
    ForEachPreOrder(card.RootCtrlTree.get(), &TCtrlTree::CtrlTreeList,
                    [&](TCtrlTree *n) { captions << n->GetCapt2(); });
    captions.remove(1, removed);
    card.DeleteCtrlTree(first);

    db.StartTransaction();
    SaveTree(card);
    db.CommitTransaction();

    const auto after = StoredTree(db, "CTRLTREE", "CARD_ID", card.Id());
    ASSERT_EQ(after.size(), before.size() - removed);
    const int n = int(after.size());
    EXPECT_EQ(std::get<1>(after.front()), 1);
    EXPECT_EQ(std::get<2>(after.front()), 2 * n) << "the root spans 1 .. 2n";
    for (const auto &row : after)
        for (const auto &old : before)
            EXPECT_NE(std::get<0>(row), std::get<0>(old)) << "every row has a fresh key";

    TCard reloaded;
    ASSERT_TRUE(reloaded.LoadById(card.Id()));
    QStringList reloadedCaptions;
    ForEachPreOrder(reloaded.RootCtrlTree.get(), &TCtrlTree::CtrlTreeList,
                    [&](TCtrlTree *node) { reloadedCaptions << node->GetCapt2(); });
    EXPECT_EQ(reloadedCaptions, captions) << "the same controls in the same order";
    EXPECT_EQ(card.RootCtrlTree->Id(), std::get<0>(after.front())) << "the tree in memory has the new keys";
}

TEST_F(TreeSaveTest, ColumnTreeSavesAndAFailedSaveRollsBack)
{
    TTbl tbl;
    ASSERT_TRUE(tbl.LoadCurrent(Deal(), nullptr, db.CurrentUserId));
    const auto before = StoredTree(db, "TBLTREE", "TBL_ID", tbl.Id());
    db.StartTransaction();
    SaveTree(tbl);
    db.RollbackChanges();
    EXPECT_EQ(StoredTree(db, "TBLTREE", "TBL_ID", tbl.Id()), before) << "nothing written behind the caller's back";

    db.StartTransaction();
    SaveTree(tbl);
    db.CommitTransaction();
    const auto after = StoredTree(db, "TBLTREE", "TBL_ID", tbl.Id());
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(std::get<2>(after.front()), 2 * int(after.size()));
    TTbl reloaded;
    ASSERT_TRUE(reloaded.LoadById(tbl.Id()));
    EXPECT_EQ(reloaded.TblTree->TblTreeList.Count(), tbl.TblTree->TblTreeList.Count());
}

TEST_F(TreeSaveTest, CardSizesAreWrittenBack)
{
    TCard card;
    ASSERT_TRUE(card.LoadCurrent(Deal(), db.CurrentUserId));
    card.SetWidth(card.Width() + 40);
    card.SetHeightAtr(123);
    db.StartTransaction();
    SaveCard(card);
    db.CommitTransaction();
    TCard reloaded;
    ASSERT_TRUE(reloaded.LoadById(card.Id()));
    EXPECT_EQ(reloaded.Width(), card.Width());
    EXPECT_EQ(reloaded.HeightAtr(), 123);
    EXPECT_EQ(reloaded.HeightDet(), card.HeightDet());
}

} // namespace
