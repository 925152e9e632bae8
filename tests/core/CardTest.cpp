#include "Card.h"
#include "CtrlTree.h"
#include "DetBook.h"

#include "ShopFixture.h"

#include <gtest/gtest.h>

namespace {

using korvenix_test::ErrorOf;

using enum TCtrlType;

class CardTest : public ShopFixture
{
protected:
    void Ctrl(int card, int lft, int rgt, TCtrlType type, const QString &field = QString(), const QString &capt = QString())
    {
        AddNode("CTRLTREE", "CARD_ID", card, lft, rgt,
                {{"CTRLTRTP_ID", db.CtrlTreeTypeToCode(type)}, {"FLD_ID", field.isEmpty() ? Variant::Null() : Id(field)},
                 {"CTRLTREE_CAPT", capt}});
    }
    int DetBook(const QString &owner, const QString &name, const QStringList &links)
    {
        const int book = AddChoice("DETBOOK", "OBJ_ID", Id(owner), name);
        for (const QString &link : links)
            Insert("DETDEP", {{"DETBOOK_ID", book}, {"DEP_ID", LinkId(link)}});
        return book;
    }
};

// Root, a page control with two tab sheets, the first holding a name edit and a check box; the
// rows go in backwards, since only the left bounds may order them.
TEST_F(CardTest, ControlTreesFollowTheLeftBoundsOrStopTheLoadAndABookReloadsItsLinks)
{
    const int id = AddChoice("CARD", "OBJ_ID", Id("CUST"), "Main", true);
    Ctrl(id, 9, 10, ctTabSheet, "", "Прочее");
    Ctrl(id, 6, 7, ctBoolean, "CUST.CUST_VIP");
    Ctrl(id, 4, 5, ctEditStr, "CUST.CUST_NAME", "не показывается");
    Ctrl(id, 3, 8, ctTabSheet, "", "Основное");
    Ctrl(id, 2, 11, ctPageControl);
    Ctrl(id, 1, 12, ctRoot);
    TCard card;
    ASSERT_TRUE(card.LoadById(id));
    TCtrlTree *root = card.RootCtrlTree.get();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->CtrlTreeList.Count(), 1);
    TCtrlTree *pages = root->CtrlTreeList.Items(0);
    ASSERT_EQ(pages->CtrlTreeList.Count(), 2);
    TCtrlTree *mainTab = pages->CtrlTreeList.Items(0);
    EXPECT_EQ(mainTab->GetCapt2(), "Основное");
    ASSERT_EQ(mainTab->CtrlTreeList.Count(), 2);
    EXPECT_EQ(mainTab->CtrlTreeList.Items(0)->GetCapt2(), "Клиент") << "a bound control shows its field's caption";

    // A gap in the bounds, a control of another object and a link of another master stop the load.
    const int gap = AddChoice("CARD", "OBJ_ID", Id("CUST"), "Gap");
    Ctrl(gap, 1, 6, ctRoot);
    Ctrl(gap, 3, 4, ctEditStr, "CUST.CUST_NAME");
    EXPECT_EQ(ErrorOf([&] { card.LoadById(gap); }),
              "Обнаружено нарушение структуры дерева для карточки \"Gap\" (объект: \"Клиенты\").");
    const int foreign = AddChoice("CARD", "OBJ_ID", Id("CUST"), "Foreign");
    Ctrl(foreign, 1, 6, ctRoot);
    Ctrl(foreign, 2, 3, ctEditStr, "CUST.CUST_NAME");
    Ctrl(foreign, 4, 5, ctEditInt, "ORD.ORD_NO");
    EXPECT_EQ(ErrorOf([&] { card.LoadById(foreign); }),
              QString("Объект \"Клиенты\": Получение поля по коду.\r"
                      "Список полей: Получение поля по коду \"%1\" - не найдено.").arg(Id("ORD.ORD_NO")));
    EXPECT_EQ(card.RootCtrlTree->CtrlTreeList.Count(), 1) << "the foreign control is dropped";
    const int wrong = DetBook("CUST", "Wrong", {"PAY.ORD_ID"});   // payments are details of orders
    EXPECT_EQ(ErrorOf([&] { TDetBook().LoadById(wrong); }),
              QString("TDetBook.Load: Для объекта \"Клиенты\" в наборе деталей (%1) не найдена деталь с кодом %2.")
                  .arg(wrong)
                  .arg(LinkId("PAY.ORD_ID")));

    // A book loads its links and a reload replaces them; each loader tells its own miss.
    TDetBook book;
    ASSERT_TRUE(book.LoadById(DetBook("CITY", "Both", {"CUST.CITY_ID", "CUST.CITY2_ID"})));
    EXPECT_EQ(book.ObjLinkList.Count(), 2);
    ASSERT_TRUE(book.LoadById(DetBook("CITY", "Delivery", {"CUST.CITY2_ID"})));
    ASSERT_EQ(book.ObjLinkList.Count(), 1);
    EXPECT_EQ(book.ObjLinkList.Items(0), L("CUST.CITY2_ID"));
    card.RaiseLoad = book.RaiseLoad = true;
    EXPECT_EQ(ErrorOf([&] { card.LoadCurrent(O("ORD"), 0); }), "Для объекта \"Заказы\" не создана карточка.");
    EXPECT_EQ(ErrorOf([&] { book.LoadById(-1); }), "Набор деталей не найден.");
}

} // namespace
