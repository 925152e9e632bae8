#include "ConfigFixture.h"
#include "WinObjTree.h"
#include "WinSelFld.h"

namespace {

using WinSelFldTest = korvenix_test::ConfigFixture;

// The chooser's result is the focused node's field with the link fields above it, outermost
// first; a node that only became current with the keyboard focus does not count.
TEST_F(WinSelFldTest, OkNeedsAFocusedField)
{
    TWinSelFld sel(&host, &host);
    sel.Init(O("FLD"));
    QTreeWidget *vt = sel.WinObjTree->vt;
    BoxSeen error;
    {
        ModalScript script{[&](QWidget *w) {
                               EXPECT_EQ(w->windowTitle(), "Выбор поля");
                               // What taking the keyboard focus does: a node current, none selected.
                               vt->selectionModel()->setCurrentIndex(vt->model()->index(0, 0),
                                                                     QItemSelectionModel::NoUpdate);
                               ClickButton(w, "ОК");
                           },
                           AnswerBox(error, "OK"),
                           [&](QWidget *w) {
                               EXPECT_EQ(w, sel.Form.data()) << "the chooser stays open";
                               vt->setCurrentItem(Node(vt, {"FLD_CAPT"}));
                               EXPECT_EQ(sel.WinObjTree->Path->Count(), 0);
                               vt->setCurrentItem(Node(vt, {"FLD_ID_AGR", "OBJ_ID"}));   // a link field itself
                               ClickButton(w, "ОК");
                           }};
        ASSERT_TRUE(sel.Execute());
    }
    EXPECT_EQ(error.Text, "Нужно выделить поле.");
    EXPECT_EQ(sel.Fld, F("FLD", "OBJ_ID"));
    EXPECT_EQ(QList<TFld *>(sel.Path->begin(), sel.Path->end()), QList<TFld *>{F("FLD", "FLD_ID_AGR")});
    ModalScript cancel{[](QWidget *w) { ClickButton(w, "Отмена"); }};
    EXPECT_FALSE(sel.Execute());
}

} // namespace
