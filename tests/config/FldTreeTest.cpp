#include "ConfigFixture.h"
#include "WinObjTree.h"
#include "WinTree.h"

namespace {

using FldTreeTest = korvenix_test::ConfigFixture;

// Both field trees follow link fields alike and differ in the mark of a link field repeating on
// its own path. FLD links to itself and to DEP, which links back to FLD; FRMLTREE links to FLD
// twice.
TEST_F(FldTreeTest, FollowsLinksUntilALinkFieldRepeatsOnItsPath)
{
    TWinObjTree objTree(&host);
    TWinTree colTree(&host);
    const struct {
        QTreeWidget *vt;
        std::function<void(TObj *)> init;
        QString mark;
    } trees[] = {{objTree.vt, [&](TObj *o) { objTree.Init(o); }, "*"},
                 {colTree.vt, [&](TObj *o) { colTree.Init(o); }, " (break)"}};
    QStringList stored;
    for (TFld *fld : *O("FLD")->FldList)
        if (!fld->Virt())
            stored << fld->Capt();
    ASSERT_LT(stored.size(), O("FLD")->FldList->Count()) << "FLD has virtual fields to leave out";

    for (const auto &tree : trees) {
        SCOPED_TRACE(tree.mark.toStdString());
        tree.init(O("FLD"));
        QStringList top;
        for (int i = 0; i < tree.vt->topLevelItemCount(); ++i)
            top << tree.vt->topLevelItem(i)->text(0);
        EXPECT_EQ(top, stored);
        for (QTreeWidgetItemIterator it(tree.vt); *it; ++it)
            ASSERT_FALSE(FldItem(*it)->Fld->Virt()) << (*it)->text(0).toStdString();
        for (const QStringList &cycle : {QStringList{"FLD_ID_AGR", "FLD_ID_AGR"}, {"DEP_ID_AGR", "FLD_ID", "DEP_ID_AGR"}}) {
            QTreeWidgetItem *node = Node(tree.vt, cycle);
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->text(0), F("FLD", cycle.last())->Capt() + tree.mark);
            EXPECT_EQ(node->childCount(), 0);
        }
        EXPECT_NE(Node(tree.vt, {"DEP_ID_AGR", "FLD_ID", "FLD_ID_AGR", "FLD_CAPT"}), nullptr)
            << "another link field to an object already on the path opens again";

        tree.init(O("FRMLTREE"));
        EXPECT_EQ(Node(tree.vt, {"FLD_ID"})->childCount(), stored.size());
        EXPECT_EQ(Node(tree.vt, {"FLD_ID_VALUE"})->childCount(), stored.size()) << "both links open fully";
        tree.init(nullptr);
        EXPECT_EQ(tree.vt->topLevelItemCount(), 0);
    }
}

} // namespace
