#include "ConfFixture.h"
#include "WinObjTree.h"

namespace {

using FldTreeTest = korvenix_test::ConfFixture;
using korvenix_test::Node;

// Both field trees list the stored fields and follow link fields alike; they differ in the mark of
// a link field repeating on its own path. FLD links to itself and to DEP, which links back to FLD;
// FRMLTREE links to FLD twice.
TEST_F(FldTreeTest, FollowsLinksUntilALinkFieldRepeatsOnItsPath)
{
    TWinObjTree objTree(form.get());
    TWinTree &colTree = *conf->TblTree;
    const int stored = StoredFields(O("FLD"));
    ASSERT_LT(stored, O("FLD")->FldList->Count()) << "FLD has virtual fields to leave out";
    for (const auto &[vt, init, mark] : {std::tuple<QTreeWidget *, std::function<void(TObj *)>, QString>{
                                             objTree.vt, [&](TObj *o) { objTree.Init(o); }, "*"},
                                         {colTree.vt, [&](TObj *o) { colTree.Init(o); }, " (break)"}}) {
        SCOPED_TRACE(mark.toStdString());
        init(O("FLD"));
        EXPECT_EQ(vt->topLevelItemCount(), stored);
        for (const QStringList &cycle : {QStringList{"FLD_ID_AGR", "FLD_ID_AGR"}, {"DEP_ID_AGR", "FLD_ID", "DEP_ID_AGR"}}) {
            QTreeWidgetItem *node = Node(vt, cycle);
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->text(0), F("FLD", cycle.last())->Capt() + mark);
            EXPECT_EQ(node->childCount(), 0);
        }
        EXPECT_NE(Node(vt, {"DEP_ID_AGR", "FLD_ID", "FLD_ID_AGR", "FLD_CAPT"}), nullptr)
            << "another link field to an object already on the path opens again";
        init(O("FRMLTREE"));
        EXPECT_EQ(Node(vt, {"FLD_ID"})->childCount(), stored);
        EXPECT_EQ(Node(vt, {"FLD_ID_VALUE"})->childCount(), stored) << "both links open fully";
    }
}

} // namespace
