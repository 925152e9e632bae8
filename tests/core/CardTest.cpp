#include "Card.h"
#include "CtrlTree.h"
#include "DetBook.h"
#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "TreeSearch.h"

#include "DBFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TCtrlType;


// Customers with two kinds of details (orders and notes), and payments as details of orders.
// Cards and books only read metadata, so no data table is created.
class CardTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
        repo.EnsureDescribed("CARD");
        repo.EnsureDescribed("CTRLTREE");
        repo.EnsureDescribed("DETBOOK");
        cust = repo.AddObj("CUST", "Клиенты");
        repo.AddFld(cust, "CUST_ID", "PK");
        custName = repo.AddFld(cust, "CUST_NAME", "String", "Имя");
        custVip = repo.AddFld(cust, "CUST_VIP", "Boolean", "Важный");
        ord = repo.AddObj("ORD", "Заказы");
        repo.AddFld(ord, "ORD_ID", "PK");
        ordNo = repo.AddFld(ord, "ORD_NO", "Integ", "Номер");
        custOrd = repo.AddDep(cust, repo.AddFld(ord, "CUST_ID", "FK"));
        const int note = repo.AddObj("NOTE", "Заметки");
        repo.AddFld(note, "NOTE_ID", "PK");
        custNote = repo.AddDep(cust, repo.AddFld(note, "CUST_ID", "FK"));
        const int pay = repo.AddObj("PAY", "Платежи");
        repo.AddFld(pay, "PAY_ID", "PK");
        ordPay = repo.AddDep(ord, repo.AddFld(pay, "ORD_ID", "FK"));
        user1 = AddUser("first");
        user2 = AddUser("second");
        db.Init();
    }
    int AddUser(const QString &login) { return repo.AddUser(login); }
    // A card or a detail book (the two tables share their column pattern).
    int AddRow(const QString &table, int obj, const QString &name, bool def = false, bool dev = false)
    {
        const int id = db.GetGenId(table + "_ID");
        repo.Exec(QString("insert into %1 (%1_ID, OBJ_ID, %1_NAME, %1_CAPT, %1_DEFAULT, %1_DEV) "
                          "values (:ID, :OBJ, :NAME, :CAPT, :DEF, :DEV)")
                      .arg(table),
                  {{"ID", id}, {"OBJ", obj}, {"NAME", name}, {"CAPT", "Карточка " + name}, {"DEF", def ? 1 : 0},
                   {"DEV", dev ? 1 : 0}});
        return id;
    }
    int AddCtrl(int card, int lft, int rgt, const QString &type, Variant fld = Variant::Null(),
                const QString &capt = QString())
    {
        const int id = db.GetGenId("CTRLTREE_ID");
        repo.Exec("insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, FLD_ID, CTRLTREE_LFT, CTRLTREE_RGT, "
                  "CTRLTREE_CAPT) values (:ID, :C, (select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = :T), "
                  ":F, :L, :R, :CAPT)",
                  {{"ID", id}, {"C", card}, {"T", type}, {"F", fld}, {"L", lft}, {"R", rgt}, {"CAPT", capt}});
        return id;
    }
    void Choose(const QString &table, const QString &column, int user, int id)
    {
        repo.Exec(QString("insert into %1 (%1_ID, USR_ID, %2) values (next value for %1_ID, :U, :ID)")
                      .arg(table, column),
                  {{"U", user}, {"ID", id}});
    }
    void AddDetDep(int book, int dep)
    {
        repo.Exec("insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID) values (next value for DETDEP_ID, :B, :D)",
                  {{"B", book}, {"D", dep}});
    }
    // Root, a page control with two tab sheets, the first holding a name edit and a check
    // box. The rows go in backwards: only the left bounds may order them.
    int CustomerCardWithTabs()
    {
        const int card = AddRow("CARD", cust, "Main", true);
        repo.Exec("update CARD set CARD_HEIGHTATR = 200, CARD_HEIGHTDET = 150, CARD_WIDTH = 400 "
                  "where CARD_ID = :ID",
                  {{"ID", card}});
        AddCtrl(card, 9, 10, "TabSheet", Variant::Null(), "Прочее");
        const int vip = AddCtrl(card, 6, 7, "CheckBox", custVip);
        const int name = AddCtrl(card, 4, 5, "EditStr", custName, "не показывается");
        AddCtrl(card, 3, 8, "TabSheet", Variant::Null(), "Основное");
        AddCtrl(card, 2, 11, "PageControl");
        AddCtrl(card, 1, 12, "Root");
        repo.Exec("update CTRLTREE set CTRLTREE_CLEFT = 8, CTRLTREE_CTOP = 22, CTRLTREE_CWIDTH = 120, "
                  "CTRLTREE_LLEFT = 0, CTRLTREE_LWIDTH = 64, CTRLTREE_ROEDT = 1 where CTRLTREE_ID = :ID",
                  {{"ID", name}});
        repo.Exec("update CTRLTREE set CTRLTREE_ROADD = 1 where CTRLTREE_ID = :ID", {{"ID", vip}});
        return card;
    }
    static QList<std::pair<int, int>> Bounds(TCtrlTree *root)
    {
        QList<std::pair<int, int>> bounds;
        ForEachPreOrder(root, &TCtrlTree::CtrlTreeList, [&](TCtrlTree *n) { bounds << std::pair{n->Lft(), n->Rgt()}; });
        return bounds;
    }
    static QList<int> LinkIds(const TDetBook &book)
    {
        QList<int> ids;
        for (const TObjLink *link : book.ObjLinkList)
            ids << link->Id();
        std::sort(ids.begin(), ids.end());   // the database returns them in no set order
        return ids;
    }
    TObj *O(int id) const { return db.ObjList->GetObjById(id); }

    int cust = 0, custName = 0, custVip = 0, ord = 0, ordNo = 0, custOrd = 0, custNote = 0, ordPay = 0;
    int user1 = 0, user2 = 0;
};

TEST_F(CardTest, ControlTreeKeepsLeftBoundOrderAndCarriesItsLayout)
{
    const int id = CustomerCardWithTabs();
    TCard card;
    ASSERT_TRUE(card.LoadById(id));
    EXPECT_EQ(card.Obj(), O(cust));
    EXPECT_EQ(QList<int>({card.HeightAtr(), card.HeightDet(), card.Width()}), QList<int>({200, 150, 400}));

    TCtrlTree *root = card.RootCtrlTree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->CtrlTreeType(), ctRoot);
    ASSERT_EQ(root->CtrlTreeList.Count(), 1);
    TCtrlTree *pages = root->CtrlTreeList.Items(0);
    EXPECT_EQ(pages->CtrlTreeType(), ctPageControl);
    ASSERT_EQ(pages->CtrlTreeList.Count(), 2);
    TCtrlTree *mainTab = pages->CtrlTreeList.Items(0);
    EXPECT_EQ(mainTab->GetCapt2(), "Основное");
    EXPECT_EQ(pages->CtrlTreeList.Items(1)->GetCapt2(), "Прочее");

    ASSERT_EQ(mainTab->CtrlTreeList.Count(), 2);
    TCtrlTree *name = mainTab->CtrlTreeList.Items(0);
    TCtrlTree *vip = mainTab->CtrlTreeList.Items(1);
    EXPECT_EQ(name->CtrlTreeType(), ctEditStr);
    EXPECT_EQ(name->Fld(), O(cust)->GetFldById(custName));
    EXPECT_EQ(name->GetCapt2(), "Имя") << "a bound control shows its field's caption";
    EXPECT_EQ(name->Capt(), "не показывается");
    EXPECT_EQ(QList<Variant>({name->CLeft(), name->CTop(), name->CWidth(), name->LLeft(), name->LWidth()}),
              QList<Variant>({8, 22, 120, 0, 64}));
    EXPECT_TRUE(name->CHeight().isNull() && name->LTop().isNull()) << "a size not set stays Null";
    EXPECT_TRUE(name->ROEdt() && !name->ROAdd());
    EXPECT_EQ(vip->CtrlTreeType(), ctBoolean);
    EXPECT_TRUE(vip->ROAdd() && !vip->ROEdt());

    // A card without control rows has no root, also when it replaces a loaded one.
    const int bare = AddRow("CARD", cust, "Bare");
    ASSERT_TRUE(card.LoadById(bare));
    EXPECT_EQ(card.RootCtrlTree, nullptr);
    card.RenumberTree();
}

TEST_F(CardTest, DamagedTreesAndForeignFieldsStopTheLoad)
{
    const int gap = AddRow("CARD", cust, "Gap");
    AddCtrl(gap, 1, 6, "Root");
    AddCtrl(gap, 3, 4, "EditStr", custName);
    TCard card;
    EXPECT_EQ(ErrorOf([&] { card.LoadById(gap); }),
              "Обнаружено нарушение структуры дерева для карточки \"Карточка Gap\" (объект: \"Клиенты\").");
    ASSERT_NE(card.RootCtrlTree, nullptr) << "the controls placed so far stay";
    EXPECT_EQ(card.RootCtrlTree->CtrlTreeList.Count(), 0);

    const int foreign = AddRow("CARD", cust, "Foreign");
    AddCtrl(foreign, 1, 6, "Root");
    AddCtrl(foreign, 2, 3, "EditStr", custName);
    AddCtrl(foreign, 4, 5, "EditInt", ordNo);
    EXPECT_EQ(ErrorOf([&] { card.LoadById(foreign); }),
              QString("Объект \"Клиенты\": Получение поля по коду.\r"
                      "Список полей: Получение поля по коду \"%1\" - не найдено.")
                  .arg(ordNo));
    ASSERT_NE(card.RootCtrlTree, nullptr);
    ASSERT_EQ(card.RootCtrlTree->CtrlTreeList.Count(), 1) << "the foreign control is dropped";
    EXPECT_EQ(card.RootCtrlTree->CtrlTreeList.Items(0)->FldId(), Variant(custName));
}

TEST_F(CardTest, CardChoiceDefaultsDeveloperCardsAndMisses)
{
    const int ordinary = AddRow("CARD", cust, "Main", true, false);
    const int forDev = AddRow("CARD", cust, "Main", true, true);
    const int chosen = AddRow("CARD", cust, "Chosen");
    const int ordCard = AddRow("CARD", ord, "Orders", true);
    Choose("USRCARD", "CARD_ID", user1, chosen);
    Choose("USRCARD", "CARD_ID", user2, ordCard);

    TCard card;
    ASSERT_TRUE(card.LoadCurrent(O(cust), user1));
    EXPECT_EQ(card.Id(), chosen);
    ASSERT_TRUE(card.LoadCurrent(O(cust), user2));
    EXPECT_EQ(card.Id(), ordinary) << "a choice for another object does not count";
    ASSERT_TRUE(card.LoadByName(O(cust), "Main"));
    EXPECT_EQ(card.Id(), ordinary);
    DevMode = true;
    ASSERT_TRUE(card.LoadCurrent(O(cust), user2));
    EXPECT_EQ(card.Id(), forDev);
    ASSERT_TRUE(card.LoadByName(O(cust), "Main"));
    EXPECT_EQ(card.Id(), forDev);
    ASSERT_TRUE(card.LoadCurrent(O(cust), user1));
    EXPECT_EQ(card.Id(), chosen);

    TCard other;
    EXPECT_FALSE(other.LoadById(chosen + 100));
    EXPECT_FALSE(other.LoadByName(O(ord), "Main"));
    other.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { other.LoadById(chosen + 100); }), "Карточка не найдена.");
    EXPECT_EQ(ErrorOf([&] { other.LoadByName(O(ord), "Main"); }), "Для объекта \"Заказы\" не создана карточка.");
    repo.Exec("update CARD set CARD_DEFAULT = 0");
    EXPECT_EQ(ErrorOf([&] { other.LoadCurrent(O(ord), user1); }), "Для объекта \"Заказы\" не создана карточка.");
}

TEST_F(CardTest, RenumberingAndDeletingControls)
{
    TCard card;
    ASSERT_TRUE(card.LoadById(CustomerCardWithTabs()));
    TCtrlTree *root = card.RootCtrlTree.get();
    TCtrlTree *pages = root->CtrlTreeList.Items(0);
    TCtrlTree *mainTab = pages->CtrlTreeList.Items(0);
    TCtrlTree *otherTab = pages->CtrlTreeList.Items(1);

    // The designer moves the check box onto the second tab sheet: bounds in memory go stale.
    std::unique_ptr<TCtrlTree> vip(mainTab->CtrlTreeList.Extract(mainTab->CtrlTreeList.Items(1)));
    TCtrlTree *moved = otherTab->AddChild(std::move(vip));
    card.RenumberTree();
    EXPECT_EQ(Bounds(root), (QList<std::pair<int, int>>{{1, 12}, {2, 11}, {3, 6}, {4, 5}, {7, 10}, {8, 9}}));
    EXPECT_EQ(moved->Parent(), otherTab);

    TCard elsewhere;
    ASSERT_TRUE(elsewhere.LoadById(CustomerCardWithTabs()));
    card.DeleteCtrlTree(elsewhere.RootCtrlTree->CtrlTreeList.Items(0));   // not in this tree
    card.DeleteCtrlTree(root);                                              // the root stays
    card.DeleteCtrlTree(nullptr);
    EXPECT_EQ(Bounds(root).size(), 6);

    card.DeleteCtrlTree(mainTab);   // frees the tab sheet with its name edit
    ASSERT_EQ(pages->CtrlTreeList.Count(), 1);
    EXPECT_EQ(pages->CtrlTreeList.Items(0), otherTab);
    card.RenumberTree();
    EXPECT_EQ(Bounds(root), (QList<std::pair<int, int>>{{1, 8}, {2, 7}, {3, 6}, {4, 5}}));
    card.DeleteCtrlTree(moved);     // a leaf deep down
    EXPECT_EQ(otherTab->CtrlTreeList.Count(), 0);
}

TEST_F(CardTest, DetailBookLinksChoiceDefaultsAndMisses)
{
    const int ordinary = AddRow("DETBOOK", cust, "Main", true, false);
    const int forDev = AddRow("DETBOOK", cust, "Main", true, true);
    const int chosen = AddRow("DETBOOK", cust, "Chosen");
    AddDetDep(ordinary, custOrd);
    AddDetDep(ordinary, custNote);
    AddDetDep(chosen, custNote);
    Choose("USRDET", "DETBOOK_ID", user1, chosen);

    TDetBook book;
    ASSERT_TRUE(book.LoadCurrent(O(cust), user2));
    EXPECT_EQ(book.Id(), ordinary);
    EXPECT_EQ(book.Obj(), O(cust));
    EXPECT_EQ(LinkIds(book), QList<int>({custOrd, custNote}));
    ASSERT_TRUE(book.LoadCurrent(O(cust), user1));
    EXPECT_EQ(book.Id(), chosen);
    EXPECT_EQ(LinkIds(book), QList<int>({custNote})) << "a load replaces the links";
    DevMode = true;
    ASSERT_TRUE(book.LoadCurrent(O(cust), user2));
    EXPECT_EQ(book.Id(), forDev);
    EXPECT_EQ(book.ObjLinkList.Count(), 0);
    ASSERT_TRUE(book.LoadByName(O(cust), "Main"));
    EXPECT_EQ(book.Id(), forDev);
    DevMode = false;
    ASSERT_TRUE(book.LoadByName(O(cust), "Main"));
    EXPECT_EQ(book.Id(), ordinary);

    TDetBook other;
    EXPECT_FALSE(other.LoadById(chosen + 100));
    EXPECT_FALSE(other.LoadCurrent(O(ord), user1));
    other.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { other.LoadById(chosen + 100); }), "Набор деталей не найден.");
    EXPECT_EQ(ErrorOf([&] { other.LoadCurrent(O(ord), user1); }), "Для объекта \"Заказы\" набор деталей не создан.");
    EXPECT_EQ(ErrorOf([&] { other.LoadByName(O(cust), "None"); }), "Для объекта \"Клиенты\" набор деталей не создан.");
}

TEST_F(CardTest, ABookNamingALinkOfAnotherObjectFails)
{
    const int book = AddRow("DETBOOK", cust, "Wrong");
    AddDetDep(book, ordPay);   // payments are details of orders, not of customers
    TDetBook detBook;
    EXPECT_EQ(ErrorOf([&] { detBook.LoadById(book); }),
              QString("TDetBook.Load: Для объекта \"Клиенты\" в наборе деталей (%1) не найдена деталь с кодом %2.")
                  .arg(book)
                  .arg(ordPay));
}

} // namespace
