#include "ConfigFixture.h"
#include "Tbl.h"
#include "TblTree.h"
#include "WinTree.h"

namespace {

class WinTreeTest : public korvenix_test::ConfigFixture
{
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        tree = std::make_unique<TWinTree>(&host);
        tree->SetAlign(TAlign::alClient);
    }

    // A column tree as text, each node's field with its children in brackets: in stored order,
    // or sorted where only the set of columns counts.
    static QString Shape(const TTblTree *node, bool sorted = false)
    {
        QStringList children;
        for (const TTblTree *child : node->TblTreeList)
            children << Shape(child, sorted);
        if (sorted)
            children.sort();
        return node->Fld()->Field() + (children.isEmpty() ? QString() : "(" + children.join(",") + ")");
    }
    static QString Stored(int tblId, bool sorted = false)
    {
        TTbl tbl;
        tbl.LoadById(tblId);
        return tbl.TblTree ? Shape(tbl.TblTree.get(), sorted) : QString();
    }
    void Tick(const QStringList &node, bool on = true) { Node(tree->vt, node)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked); }
    void Save() { Click(*tree->WinToolBar, TBtnType::btSave); }
    bool SaveEnabled() const { return tree->WinToolBar->GetByBtnType(TBtnType::btSave)->Enabled(); }

    std::unique_ptr<TWinTree> tree;
};

// Every view of the initial repository: what it shows ticked is saved as its columns, and loading
// the view again gives the tree in memory with no column lost or added.
TEST_F(WinTreeTest, EveryViewTicksItsColumnsAndSavesThemBack)
{
    const QSet<int> views = Ints("select TBL_ID from TBL");
    ASSERT_GT(views.size(), 50);
    for (int id : views) {
        TTbl before;
        ASSERT_TRUE(before.LoadById(id));
        SCOPED_TRACE(before.Capt().toStdString());
        tree->Init(before.GetObj());
        tree->SetTblId(id);
        Save();
        EXPECT_EQ(Stored(id), Shape(tree->Tbl->TblTree.get()));
        EXPECT_EQ(Stored(id, true), Shape(before.TblTree.get(), true));
    }
}

// A view that is gone leaves no view to save over; a view stored without columns gets its root
// on the first save; a failing save writes nothing and can be repeated; a field below a link is
// saved under the link's column; no view leaves the nodes without ticks or boxes.
TEST_F(WinTreeTest, EditsAViewFromNoColumnsOnAndLetsItGo)
{
    repo.Exec(QString("alter table TBLTREE add constraint CK_TEST check (FLD_ID <> %1)").arg(F("CONTRAG", "CONTRAG_INN")->Id()));
    const int bare = db.GetGenId("TBL_ID");
    repo.Exec("insert into TBL (TBL_ID, OBJ_ID, TBL_CAPT) values (:ID, :O, 'Bare')", {{"ID", bare}, {"O", O("DEAL")->Id()}});
    tree->Init(O("DEAL"));
    EXPECT_FALSE(SaveEnabled()) << "no view";
    tree->SetTblId(bare);
    EXPECT_EQ(korvenix_test::ErrorOf([&] { tree->SetTblId(bare + 1000); }), "Таблица не найдена.");
    EXPECT_TRUE(tree->TblId().isNull());
    EXPECT_FALSE(SaveEnabled());

    tree->SetTblId(bare);
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(Boxes(tree->vt), 0) << "no column tree to tick into";
    Save();
    EXPECT_EQ(Stored(bare), "DEAL_ID");
    EXPECT_EQ(Ints(QString("select TBLTREE_LFT * 10 + TBLTREE_RGT from TBLTREE where TBL_ID = %1").arg(bare)), QSet<int>{12});
    ASSERT_GT(Boxes(tree->vt), 0) << "the view has a column tree now";
    EXPECT_FALSE(Node(tree->vt, {"CONTRAG_ID"})->data(0, Qt::CheckStateRole).isValid()) << "a link has no box";

    Tick({"CONTRAG_ID", "CONTRAG_NAME"});
    Tick({"CONTRAG_ID", "CONTRAG_INN"});
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Save();
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(Stored(bare), "DEAL_ID") << "rolled back";
    Tick({"CONTRAG_ID", "CONTRAG_INN"}, false);
    {
        ModalScript none{};
        Save();
    }
    EXPECT_EQ(Stored(bare), "DEAL_ID(CONTRAG_ID(CONTRAG_NAME))");

    const int nodes = Texts(tree->vt).size();
    tree->SetTblId(Variant::Null());
    EXPECT_EQ(Texts(tree->vt).size(), nodes);
    EXPECT_EQ(Boxes(tree->vt), 0);
    EXPECT_FALSE(Node(tree->vt, {"CONTRAG_ID"})->isExpanded());
    EXPECT_FALSE(SaveEnabled());
}

} // namespace
