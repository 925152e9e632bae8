#include "ConfigFixture.h"
#include "ObjLink.h"
#include "WinDetCheckList.h"

namespace {

class WinDetCheckListTest : public korvenix_test::ConfigFixture
{
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        list = std::make_unique<TWinDetCheckList>(&host);
        list->SetAlign(TAlign::alClient);
    }

    int Dep(const QString &master, const QString &name) const { return O(master)->ChildList->GetByName(name)->Id(); }
    QSet<int> BookLinks(int book) { return Ints(QString("select DEP_ID from DETDEP where DETBOOK_ID = %1").arg(book)); }
    QStringList Ticked() const { return Texts(list->vt, QTreeWidgetItemIterator::Checked); }
    bool SaveEnabled() const { return list->WinToolBar->GetByBtnType(TBtnType::btSave)->Enabled(); }
    void Save() { Click(*list->WinToolBar, TBtnType::btSave); }
    QString Capt2(const QString &table) const { return O(table)->Capt2(); }

    std::unique_ptr<TWinDetCheckList> list;
};

// Book 3 of DEAL holds its three detail links, and a save of the shipments fails; a second book
// gets the payments alone. CONTRAG has a detail link to DEAL and a link to DEALPAYM without the
// detail flag.
TEST_F(WinDetCheckListTest, TicksTheChosenBookAndSavesTheTickedLinks)
{
    repo.Exec(QString("alter table DETDEP add constraint CK_TEST check (DEP_ID <> %1)").arg(Dep("DEAL", "DealShip")));
    const int payments = db.GetGenId("DETBOOK_ID");
    repo.Exec("insert into DETBOOK (DETBOOK_ID, OBJ_ID) values (:ID, :O)", {{"ID", payments}, {"O", O("DEAL")->Id()}});
    const QString addLink = "insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) values (gen_id(DETDEP_ID, 1), :B, :D)";
    repo.Exec(addLink, {{"B", payments}, {"D", Dep("DEAL", "DealPaym")}});
    list->SetObj(O("DEAL"));
    EXPECT_EQ(Texts(list->vt), QStringList({Capt2("DEALPROD"), Capt2("DEALPAYM"), Capt2("DEALSHIP")}));
    list->SetDetBookId(3);
    EXPECT_EQ(Ticked().size(), 3);
    EXPECT_TRUE(SaveEnabled());
    const QSet<int> stored = BookLinks(3);
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Save();
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(BookLinks(3), stored) << "rolled back";
    EXPECT_EQ(Ticked().size(), 3);
    list->SetDetBookId(payments);
    EXPECT_EQ(Ticked(), QStringList{Capt2("DEALPAYM")});

    // A row of a link that is not listed ticks nothing and goes with the next save.
    repo.Exec(addLink, {{"B", 6}, {"D", Dep("CONTRAG", "Contrag-DealPaym")}});
    list->SetDetBookId(6);
    list->SetObj(O("CONTRAG"));
    EXPECT_EQ(Texts(list->vt), QStringList{Capt2("DEAL")});
    EXPECT_TRUE(Ticked().isEmpty()) << "another object's list starts unticked";
    EXPECT_EQ(list->DetBookId(), Variant(6));
    list->SetDetBookId(6);
    EXPECT_EQ(Ticked(), QStringList{Capt2("DEAL")});
    ModalScript none{};   // saving again works after the failure
    Save();
    EXPECT_EQ(BookLinks(6), QSet<int>{Dep("CONTRAG", "Contrag-Deal")});
    list->vt->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    Save();
    EXPECT_TRUE(BookLinks(6).isEmpty());

    list->SetDetBookId(Variant::Null());
    EXPECT_EQ(Boxes(list->vt), 0) << "no book: nothing to tick";
    EXPECT_FALSE(SaveEnabled());
}

} // namespace
