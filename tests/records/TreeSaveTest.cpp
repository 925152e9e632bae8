#include "AtrFixture.h"
#include "Card.h"
#include "CtrlTree.h"
#include "Tbl.h"
#include "TblTree.h"
#include "TreeSave.h"

namespace {

using namespace korvenix_test;

class TreeSaveTest : public AtrFixture
{
protected:
    // Rows the write transaction has updated so far, triggers included.
    int UpdatedInTransaction()
    {
        return Written("select R.MON$RECORD_UPDATES from MON$TRANSACTIONS T join MON$RECORD_STATS R "
                       "on R.MON$STAT_ID = T.MON$STAT_ID where T.MON$TRANSACTION_ID = current_transaction");
    }
    // Rewrites the tree in a transaction of its own; the rows that updated.
    template <typename TOwner>
    int UpdatedBySave(TOwner &AOwner)
    {
        db.StartTransaction();
        SaveTree(AOwner);
        const int updated = UpdatedInTransaction();
        db.CommitTransaction();
        return updated;
    }
    // A copy of an owner's row (key <owner>_ID) with its tree, the tree's rows written leaves last
    // to root, as a tool may load them: a delete meets them in that order.
    int CopyBackwards(const QString &AOwner, const QString &AOwnerColumns, const QString &ATree,
                      const QString &ATreeColumns, int AOwnerId)
    {
        const QString key = AOwner + "_ID";
        const int copy = db.GetGenId(key);
        repo.Exec(QString("insert into %1 (%2, %3) select %4, %3 from %1 where %2 = %5")
                      .arg(AOwner, key, AOwnerColumns).arg(copy).arg(AOwnerId));
        repo.Exec(QString("insert into %1 (%1_ID, %2, %3) select gen_id(%1_ID, 1), %4, %3 from %1 where %2 = %5 "
                          "order by %1_LFT desc")
                      .arg(ATree, key, ATreeColumns).arg(copy).arg(AOwnerId));
        return copy;
    }
    // A number read in the write transaction, which sees its own changes.
    int Written(const QString &text)
    {
        auto sql = db.CreateIBSQLC();
        sql->SetSQL(text);
        TCloseGuard closer(*sql);
        sql->ExecQuery();
        return sql->Field(0).toInt();
    }
};

// A card's control tree and a view's column tree written anew update no row: the old rows go
// without the trigger's renumbering of the rest of the tree, a pass over the tree for each row
// that goes before the root.
TEST_F(TreeSaveTest, ATreeWrittenAnewUpdatesNoRow)
{
    TCard card;
    card.LoadById(CopyBackwards("CARD", "OBJ_ID, CARD_WIDTH, CARD_HEIGHTATR, CARD_HEIGHTDET", "CTRLTREE",
                                "CTRLTRTP_ID, FLD_ID, CTRLTREE_LFT, CTRLTREE_RGT, CTRLTREE_CAPT, CTRLTREE_CLEFT, "
                                "CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_CHEIGHT, CTRLTREE_LLEFT, CTRLTREE_LTOP, "
                                "CTRLTREE_LWIDTH, CTRLTREE_LHEIGHT, CTRLTREE_ROADD, CTRLTREE_ROEDT",
                                Scalar("select CARD_ID from CARD where CARD_NAME = 'Requisites'").toInt()));
    ASSERT_GT(card.RootCtrlTree->CtrlTreeList.Count(), 0);
    EXPECT_EQ(UpdatedBySave(card), 0);
    TTbl view;
    view.LoadById(CopyBackwards("TBL", "OBJ_ID, DEP_ID", "TBLTREE", "FLD_ID, TBLTREE_LFT, TBLTREE_RGT",
                                Scalar("select first 1 TBL_ID from TBLTREE group by TBL_ID order by count(*) desc, TBL_ID")
                                    .toInt()));
    ASSERT_GT(view.TblTree->TblTreeList.Count(), 0);
    EXPECT_EQ(UpdatedBySave(view), 0);
}

// A whole tree deleted for a rewrite holds off its trigger's repair, and only for that delete: in
// the same transaction, after it and after one that failed, a node deleted alone still takes its
// subtree and closes up the bounds behind it. This for each kind of tree that is rewritten whole.
TEST_F(TreeSaveTest, AWholeTreeGoesWithoutRepairAndLaterDeletesAreStillRepaired)
{
    repo.Exec("create exception KVX_TEST_FAULT 'injected'");
    for (const auto &[table, owner] : {std::pair<QString, QString>{"TBLTREE", "TBL_ID"}, {"CTRLTREE", "CARD_ID"}, {"FRMLTREE", "FLD_ID"}}) {
        SCOPED_TRACE(table.toStdString());
        const QString lft = table + "_LFT", rgt = table + "_RGT";
        // Three trees of at least three nodes: one to go whole, one whose delete fails, one to lose a node.
        QList<int> owners;
        auto sql = db.CreateIBSQLS();
        sql->SetSQL(QString("select first 3 %2 from %1 group by %2 having count(*) >= 3 order by %2").arg(table, owner));
        for (sql->ExecQuery(); !sql->Eof(); sql->Next())
            owners << sql->Field(0).toInt();
        sql->Close();
        ASSERT_EQ(owners.size(), 3);
        repo.Exec(QString("create trigger KVX_TEST_FAULT for %1 before delete as begin "
                          "if (old.%2 = %3) then exception KVX_TEST_FAULT; end").arg(table, owner).arg(owners[1]));
        const auto rows = [&](int id) { return Written(QString("select count(*) from %1 where %2 = %3").arg(table, owner).arg(id)); };
        // Bounds 1..2n, each once, as a whole nested set has them.
        const auto whole = [&](int id) {
            return Written(QString("select count(distinct B) from (select %3 B from %1 where %2 = %4 union all "
                                 "select %5 from %1 where %2 = %4) where B between 1 and 2 * (select count(*) from %1 where %2 = %4)")
                             .arg(table, owner, lft).arg(id).arg(rgt)) == 2 * rows(id);
        };
        db.StartTransaction();
        const int failing = rows(owners[1]), lost = rows(owners[2]);
        const int node = Written(QString("select first 1 %1_ID from %1 where %2 = %3 and %4 > 1 order by %5 - %4 desc, %4")
                                     .arg(table, owner).arg(owners[2]).arg(lft, rgt));
        const int subtree = Written(QString("select (%3 - %2 + 1) / 2 from %1 where %1_ID = %4").arg(table, lft, rgt).arg(node));
        auto write = db.CreateIBSQLC();
        DeleteTree(*write, table, owner, owners[0]);
        EXPECT_TRUE(ErrorOf([&] { DeleteTree(*write, table, owner, owners[1]); }).contains("injected"));
        write->SetSQL(QString("delete from %1 where %1_ID = %2").arg(table).arg(node));
        write->ExecQuery();
        const int left[] = {rows(owners[0]), rows(owners[1]), rows(owners[2])};
        const bool repaired = whole(owners[2]);
        db.RollbackChanges();
        repo.Exec("drop trigger KVX_TEST_FAULT");

        EXPECT_EQ(left[0], 0);
        EXPECT_EQ(left[1], failing) << "the failed delete left its tree";
        EXPECT_EQ(left[2], lost - subtree) << "the node went with its subtree";
        EXPECT_TRUE(repaired) << "and the bounds after it closed up";
    }
}

} // namespace
