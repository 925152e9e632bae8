#include "ConfFixture.h"
#include "ObjLink.h"

namespace {

using namespace korvenix_test;

using WinDetCheckListTest = ConfFixture;

// Book 3 of DEAL holds its three detail links, and a save of the shipments fails; a second book
// gets the payments alone. CONTRAG has a detail link to DEAL and a link to DEALPAYM without the
// detail flag.
TEST_F(WinDetCheckListTest, TicksTheChosenBookAndSavesTheTickedLinks)
{
    TWinDetCheckList &list = *conf->WinDetCheckList;
    auto dep = [&](const QString &master, const QString &name) { return O(master)->ChildList->GetByName(name)->Id(); };
    auto bookLinks = [](int book) { return Ints(QString("select DEP_ID from DETDEP where DETBOOK_ID = %1").arg(book)); };
    auto ticked = [&] { return Texts(list.vt, QTreeWidgetItemIterator::Checked); };
    Repo().Exec(QString("alter table DETDEP add constraint CK_TEST check (DEP_ID <> %1)").arg(dep("DEAL", "DealShip")));
    const int payments = DB->GetGenId("DETBOOK_ID");
    Repo().Exec("insert into DETBOOK (DETBOOK_ID, OBJ_ID) values (:ID, :O)", {{"ID", payments}, {"O", O("DEAL")->Id()}});
    const QString addLink = "insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) values (gen_id(DETDEP_ID, 1), :B, :D)";
    Repo().Exec(addLink, {{"B", payments}, {"D", dep("DEAL", "DealPaym")}});
    list.SetObj(O("DEAL"));
    const QStringList listed = Texts(list.vt);   // in no particular order
    EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()), QSet<QString>({O("DEALPROD")->Capt2(), O("DEALPAYM")->Capt2(), O("DEALSHIP")->Capt2()}));
    list.SetDetBookId(3);
    EXPECT_EQ(ticked().size(), 3);
    const QSet<int> stored = bookLinks(3);
    BoxSeen error;
    {
        ModalScript script{AnswerBox(error, "OK")};
        Press(list, TBtnType::btSave);
    }
    EXPECT_TRUE(error.Text.contains("CK_TEST")) << error.Text.toStdString();
    EXPECT_EQ(bookLinks(3), stored) << "rolled back";
    list.SetDetBookId(payments);
    EXPECT_EQ(ticked(), QStringList{O("DEALPAYM")->Capt2()});

    // A row of a link that is not listed ticks nothing and goes with the next save.
    Repo().Exec(addLink, {{"B", 6}, {"D", dep("CONTRAG", "Contrag-DealPaym")}});
    list.SetObj(O("CONTRAG"));
    list.SetDetBookId(6);
    EXPECT_EQ(ticked(), QStringList{O("DEAL")->Capt2()});
    ModalScript none{};   // saving again works after the failure
    Press(list, TBtnType::btSave);
    EXPECT_EQ(bookLinks(6), QSet<int>{dep("CONTRAG", "Contrag-Deal")});

    list.SetDetBookId(Variant::Null());
    EXPECT_EQ(Boxes(list.vt), 0) << "no book: nothing to tick";
    EXPECT_FALSE(Enabled(list, TBtnType::btSave));
}

} // namespace
