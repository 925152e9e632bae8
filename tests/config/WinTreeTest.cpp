// The configurator's editors that tick and save: a view's column tree and a book's detail links.
#include "ConfFixture.h"
#include "ObjLink.h"
#include "Tbl.h"
#include "TblTree.h"
#include "WinObjTree.h"
#include "WinSelFld.h"

namespace {

class WinTreeTest : public ConfFixture
{
protected:
    // A column tree as text, each node's field with its children in brackets.
    static QString Shape(const TTblTree *node)
    {
        QStringList children;
        for (const TTblTree *child : node->TblTreeList)
            children << Shape(child);
        return node->Fld()->Field() + (children.isEmpty() ? QString() : "(" + children.join(",") + ")");
    }
    static QString Stored(int tblId)
    {
        TTbl tbl;
        tbl.LoadById(tblId);
        return tbl.TblTree ? Shape(tbl.TblTree.get()) : QString();
    }
};

// The column tree marks a link field repeating on its own path and does not follow it. A view that
// is gone leaves no view to save over; a view stored without columns gets its root on the first
// save; a failing save writes nothing and can be repeated; a field below a link is saved under the
// link's column and ticked when the view is loaded again; no view leaves the nodes without ticks or
// boxes.
TEST_F(WinTreeTest, EditsAViewFromNoColumnsOnAndLetsItGo)
{
    TWinTree &tree = *conf->TblTree;
    tree.Init(O("FLD"));
    QTreeWidgetItem *repeated = Node(tree.vt, {"DEP_ID_AGR", "FLD_ID", "DEP_ID_AGR"});
    ASSERT_NE(repeated, nullptr);
    EXPECT_EQ(repeated->text(0), F("FLD", "DEP_ID_AGR")->Capt() + " (break)");
    EXPECT_EQ(repeated->childCount(), 0);
    Repo().Exec(QString("alter table TBLTREE add constraint CK_TEST check (FLD_ID <> %1)").arg(F("CONTRAG", "CONTRAG_INN")->Id()));
    const int bare = DB->GetGenId("TBL_ID");
    Repo().Exec("insert into TBL (TBL_ID, OBJ_ID, TBL_CAPT) values (:ID, :O, 'Bare')", {{"ID", bare}, {"O", O("DEAL")->Id()}});
    tree.Init(O("DEAL"));
    auto boxed = [&] { return Node(tree.vt, {"DEAL_NUM"})->data(0, Qt::CheckStateRole).isValid(); };
    tree.SetTblId(bare);
    EXPECT_EQ(ErrorOf([&] { tree.SetTblId(bare + 1000); }), "Таблица не найдена.");
    EXPECT_TRUE(tree.TblId().isNull());
    EXPECT_FALSE(Enabled(tree, TBtnType::btSave));

    tree.SetTblId(bare);
    EXPECT_FALSE(boxed()) << "no column tree to tick into";
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Ints(QString("select TBLTREE_LFT * 10 + TBLTREE_RGT from TBLTREE where TBL_ID = %1").arg(bare)), QSet<int>{12});
    ASSERT_TRUE(boxed()) << "the view has a column tree now";
    EXPECT_FALSE(Node(tree.vt, {"CONTRAG_ID"})->data(0, Qt::CheckStateRole).isValid()) << "a link has no box";

    Node(tree.vt, {"CONTRAG_ID", "CONTRAG_NAME"})->setCheckState(0, Qt::Checked);
    Node(tree.vt, {"CONTRAG_ID", "CONTRAG_INN"})->setCheckState(0, Qt::Checked);
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Press(tree, TBtnType::btSave);
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(Stored(bare), "DEAL_ID") << "rolled back";
    Node(tree.vt, {"CONTRAG_ID", "CONTRAG_INN"})->setCheckState(0, Qt::Unchecked);
    ModalScript none{};
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Stored(bare), "DEAL_ID(CONTRAG_ID(CONTRAG_NAME))");

    tree.SetTblId(Variant::Null());
    EXPECT_TRUE(!boxed() && !Enabled(tree, TBtnType::btSave));
    tree.SetTblId(bare);   // loaded again, the column below the link is ticked and saved back
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Stored(bare), "DEAL_ID(CONTRAG_ID(CONTRAG_NAME))");
}

// A save is done once it has committed: the engine failing afterwards to take up the rows the save
// deleted is none of the user's business. No box comes, the view is stored, its boxes are on, and
// the next save goes through.
TEST_F(WinTreeTest, ASaveIsDoneOnceCommitted)
{
    FailTheCommitAfterEachTreeSave();
    const int bare = DB->GetGenId("TBL_ID");
    Repo().Exec("insert into TBL (TBL_ID, OBJ_ID, TBL_CAPT) values (:ID, :O, 'Bare')", {{"ID", bare}, {"O", O("DEAL")->Id()}});
    TWinTree &tree = *conf->TblTree;
    tree.Init(O("DEAL"));
    tree.SetTblId(bare);
    ModalScript none{};
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Stored(bare), "DEAL_ID");
    ASSERT_TRUE(Node(tree.vt, {"DEAL_NUM"})->data(0, Qt::CheckStateRole).isValid());
    Node(tree.vt, {"DEAL_NUM"})->setCheckState(0, Qt::Checked);
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Stored(bare), "DEAL_ID(DEAL_NUM)");
    EXPECT_EQ(FailedCommits(), 2);
}

// The column tree editor writes a view three links deep as these rows, numbered in pre-order.
TEST_F(WinTreeTest, SavesTheColumnsAsTheseRows)
{
    ClickRow(*conf->WinTblObj, "DEALPROD");
    ClickRowAt(*conf->WinTblTbl, 0);
    TWinTree &tree = *conf->TblTree;
    for (const QStringList &path : {QStringList{"DEAL_ID", "CONTRAG_ID", "CONTRAG_NAME"}, {"DEAL_ID", "CONTRAG_ID", "CONTRAG_INN"},
                                    {"DEAL_ID", "DEAL_NUM"}, {"PRODUCT_ID", "UNIT_ID", "UNIT_NAME"}, {"DEALPROD_DLV"}})
        Node(tree.vt, path)->setCheckState(0, Qt::Checked);
    Node(tree.vt, {"DEALPROD_PRICE"})->setCheckState(0, Qt::Unchecked);
    Press(tree, TBtnType::btSave);
    Press(tree, TBtnType::btSave);   // a tree saved over itself
    const QStringList rows = RowTexts("select O.OBJ_TABLE || '.' || F.FLD_FIELD, T.TBLTREE_LFT, T.TBLTREE_RGT from TBLTREE T "
                                      "join FLD F on F.FLD_ID = T.FLD_ID join OBJ O on O.OBJ_ID = F.OBJ_ID "
                                      "where T.TBL_ID = :T order by T.TBLTREE_LFT",
                                      {{"T", tree.TblId()}});
    EXPECT_EQ(rows, QStringList({"DEALPROD.DEALPROD_ID 1 30", "DEALPROD.DEAL_ID 2 11", "DEAL.DEAL_NUM 3 4",
                                 "DEAL.CONTRAG_ID 5 10", "CONTRAG.CONTRAG_NAME 6 7", "CONTRAG.CONTRAG_INN 8 9",
                                 "DEALPROD.PRODUCT_ID 12 19", "PRODUCT.PRODUCT_NAME 13 14", "PRODUCT.UNIT_ID 15 18",
                                 "UNIT.UNIT_NAME 16 17", "DEALPROD.DEALPROD_SHIP 20 21", "DEALPROD.DEALPROD_DLV 22 23",
                                 "DEALPROD.DEALPROD_PAY 24 25", "DEALPROD.DEALPROD_PAID 26 27",
                                 "DEALPROD.DEALPROD_SHPD 28 29"}));
}

// Fourteen objects in a ring, each with a key, a name, a virtual field and two link fields, one to
// the next object and one to the object seven further on (so that following it twice comes back),
// logged in afresh. The first object has a view of columns two links deep.
class RingTest : public WinTreeTest
{
protected:
    static constexpr int Size = 14;

    void SetUp() override
    {
        WinTreeTest::SetUp();
        RepoBuilder repo = Repo();
        std::vector<int> objs, next, far;
        for (int i = 1; i <= Size; ++i) {
            const QString table = QString("RING%1").arg(i);
            objs.push_back(repo.AddObj(table, QString("Кольцо %1").arg(i)));
            repo.AddFld(objs.back(), table + "_ID", "PK", "Код");
            next.push_back(repo.AddFld(objs.back(), "NEXT_ID", "FK", "Следующий"));
            far.push_back(repo.AddFld(objs.back(), "FAR_ID", "FK", "Дальний"));
            repo.AddFld(objs.back(), table + "_NAME", "String", "Название");
            repo.AddFld(objs.back(), table + "_SUM", "Integ", "Итог", true);
        }
        for (int i = 0; i < Size; ++i) {
            repo.AddDep(objs[(i + 1) % Size], next[i]);
            repo.AddDep(objs[(i + 7) % Size], far[i]);
        }
        view = DB->GetGenId("TBL_ID");
        repo.Exec("insert into TBL (TBL_ID, OBJ_ID, TBL_CAPT, TBL_DEFAULT) values (:ID, :O, 'Кольцо', 1)",
                  {{"ID", view}, {"O", objs[0]}});
        const auto column = [&](int fld, int lft, int rgt) {
            repo.Exec("insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT) "
                      "values (gen_id(TBLTREE_ID, 1), :T, :F, :L, :R)",
                      {{"T", view}, {"F", fld}, {"L", lft}, {"R", rgt}});
        };
        const auto field = [&](int obj, const QString &name) {
            return repo.Scalar("select FLD_ID from FLD where OBJ_ID = :O and FLD_FIELD = :F", {{"O", objs[obj]}, {"F", name}})
                .toInt();
        };
        column(field(0, "RING1_ID"), 1, 14);
        column(next[0], 2, 7);
        column(next[1], 3, 6);
        column(field(2, "RING3_NAME"), 4, 5);
        column(far[0], 8, 11);
        column(field(7, "RING8_NAME"), 9, 10);
        column(field(0, "RING1_NAME"), 12, 13);
        LogIn();
        conf = OpenConfig();
        ASSERT_NE(conf, nullptr);
    }

    static int NodeCount(QTreeWidget *vt) { return int(Texts(vt).size()); }
    static bool Ticked(QTreeWidget *vt, const QStringList &path)
    {
        QTreeWidgetItem *node = Node(vt, path);
        return node && node->checkState(0) == Qt::Checked;
    }

    int view = 0;
};

// A click on an object shows its own fields; the view's columns open the links they run through,
// and nothing else, with their fields ticked. A link opened by the user shows its master's fields
// with their boxes; a link field that repeats on its own path reads " (break)" and opens no
// further. A field ticked below a newly opened link is saved under it.
TEST_F(RingTest, TheColumnTreeGrowsAsItIsOpened)
{
    ClickRow(*conf->WinTblObj, "RING1");
    TWinTree &tree = *conf->TblTree;
    EXPECT_EQ(NodeCount(tree.vt), 4);
    EXPECT_EQ(Texts(tree.vt), QStringList({"Код", "Следующий", "Дальний", "Название"}));
    ClickRowAt(*conf->WinTblTbl, 0);
    ASSERT_EQ(tree.TblId(), Variant(view));
    EXPECT_EQ(NodeCount(tree.vt), 16) << "the object and the three links the columns pass";
    QTreeWidgetItem *next = tree.vt->topLevelItem(1), *far = tree.vt->topLevelItem(2);
    EXPECT_TRUE(next->isExpanded() && next->child(1)->isExpanded() && far->isExpanded());
    EXPECT_EQ(next->child(2)->childCount(), 0) << "a link no column passes is not opened";
    EXPECT_EQ(Ticks(tree.vt), 3);
    EXPECT_TRUE(Ticked(tree.vt, {"NEXT_ID", "NEXT_ID", "RING3_NAME"}) && Ticked(tree.vt, {"FAR_ID", "RING8_NAME"}) &&
                Ticked(tree.vt, {"RING1_NAME"}));

    EXPECT_EQ(Node(tree.vt, {"FAR_ID", "FAR_ID"})->childCount(), 4);   // to the first object again
    QTreeWidgetItem *repeated = Node(tree.vt, {"FAR_ID", "FAR_ID", "FAR_ID"});
    ASSERT_NE(repeated, nullptr);
    EXPECT_EQ(repeated->text(0), "Дальний (break)");
    EXPECT_EQ(repeated->childCount(), 0);
    EXPECT_EQ(repeated->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    EXPECT_FALSE(repeated->data(0, Qt::CheckStateRole).isValid()) << "a link has no box";
    QTreeWidgetItem *name9 = Node(tree.vt, {"FAR_ID", "NEXT_ID", "RING9_NAME"});
    ASSERT_NE(name9, nullptr);
    EXPECT_EQ(name9->checkState(0), Qt::Unchecked) << "a new field has its box";
    name9->setCheckState(0, Qt::Checked);
    Press(tree, TBtnType::btSave);
    EXPECT_EQ(Stored(view), "RING1_ID(NEXT_ID(NEXT_ID(RING3_NAME)),FAR_ID(NEXT_ID(RING9_NAME),RING8_NAME),RING1_NAME)");
}

// The field chooser shows the object's own fields first and a link's fields once it is opened (the
// "*" key opens one link alone); a link field repeating on its own path is marked and opens no
// further; a field deep down hands back the links above it.
TEST_F(RingTest, TheFieldChooserGrowsAsItIsOpened)
{
    TWinSelFld chooser(form.get(), form.get());
    chooser.Init(O("RING1"));
    QTreeWidget *vt = chooser.WinObjTree->vt;
    EXPECT_EQ(NodeCount(vt), 4);
    QTreeWidgetItem *repeated = Node(vt, {"FAR_ID", "FAR_ID", "FAR_ID"});
    ASSERT_NE(repeated, nullptr);
    EXPECT_EQ(repeated->text(0), "Дальний*");
    EXPECT_EQ(repeated->childCount(), 0);
    EXPECT_EQ(NodeCount(vt), 12);
    vt->setCurrentItem(vt->topLevelItem(1));
    QTest::keyClick(vt, Qt::Key_Asterisk);
    EXPECT_EQ(NodeCount(vt), 16) << "\"*\" opens the link, not every link below it";
    vt->setCurrentItem(Node(vt, {"FAR_ID", "FAR_ID", "NEXT_ID", "RING2_NAME"}));
    EXPECT_EQ(chooser.WinObjTree->Fld, F("RING2", "RING2_NAME"));
    QStringList path;
    for (const TFld *link : *chooser.WinObjTree->Path)
        path << link->Obj()->Table() + "." + link->Field();
    EXPECT_EQ(path, QStringList({"RING1.FAR_ID", "RING8.FAR_ID", "RING1.NEXT_ID"}));
}

using WinDetCheckListTest = ConfFixture;

// Book 3 of DEAL holds its three detail links, and a save of the shipments fails and writes
// nothing; a second book holds the payments alone, then the products instead.
TEST_F(WinDetCheckListTest, TicksTheChosenBookAndSavesTheTickedLinks)
{
    TWinDetCheckList &list = *conf->WinDetCheckList;
    auto dep = [&](const QString &name) { return O("DEAL")->ChildList->GetByName(name)->Id(); };
    auto bookLinks = [](int book) { return Ints(QString("select DEP_ID from DETDEP where DETBOOK_ID = %1").arg(book)); };
    Repo().Exec(QString("alter table DETDEP add constraint CK_TEST check (DEP_ID <> %1)").arg(dep("DealShip")));
    const int payments = DB->GetGenId("DETBOOK_ID");
    Repo().Exec("insert into DETBOOK (DETBOOK_ID, OBJ_ID) values (:ID, :O)", {{"ID", payments}, {"O", O("DEAL")->Id()}});
    Repo().Exec("insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) values (gen_id(DETDEP_ID, 1), :B, :D)",
                {{"B", payments}, {"D", dep("DealPaym")}});
    list.SetObj(O("DEAL"));
    list.SetDetBookId(3);
    EXPECT_EQ(Ticks(list.vt), 3);
    const QSet<int> stored = bookLinks(3);
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Press(list, TBtnType::btSave);
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(bookLinks(3), stored) << "rolled back";

    list.SetDetBookId(payments);
    EXPECT_EQ(Texts(list.vt, QTreeWidgetItemIterator::Checked), QStringList{O("DEALPAYM")->Capt2()});
    list.vt->findItems(O("DEALPAYM")->Capt2(), Qt::MatchExactly).value(0)->setCheckState(0, Qt::Unchecked);
    list.vt->findItems(O("DEALPROD")->Capt2(), Qt::MatchExactly).value(0)->setCheckState(0, Qt::Checked);
    ModalScript none{};   // saving again works after the failure
    Press(list, TBtnType::btSave);
    EXPECT_EQ(bookLinks(payments), QSet<int>{dep("DealProd")});
    list.SetDetBookId(Variant::Null());
    EXPECT_FALSE(list.vt->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid() || Enabled(list, TBtnType::btSave))
        << "no book: nothing to tick";
}

} // namespace
