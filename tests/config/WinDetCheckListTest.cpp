#include "ConfFixture.h"
#include "ObjLink.h"

namespace {

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
