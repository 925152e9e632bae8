#include "ConfigFixture.h"
#include "ObjValue.h"
#include "WinObjTempl.h"

namespace {

using WinObjTemplTest = korvenix_test::ConfigFixture;

// TBLTREE's template shows the captions of its field and of its view, each one link away; the
// field added is two links away.
TEST_F(WinObjTemplTest, AddsThroughTheChooserAndDeletesAfterTheQuestion)
{
    TWinObjTempl editor(&host, &host, "Поля шаблонов значений");
    editor.Obj = O("TBLTREE");
    editor.TemplFldList->Assign(*O("TBLTREE")->TemplFldList);
    const QString fld = F("TBLTREE", "FLD_ID")->Capt(), capt = fld + ">" + F("FLD", "FLD_CAPT")->Capt();
    const QString view = F("TBLTREE", "TBL_ID")->Capt() + ">" + F("TBL", "TBL_CAPT")->Capt();
    const QString added = fld + ">" + F("FLD", "OBJ_ID")->Capt() + ">" + F("OBJ", "OBJ_CAPT")->Capt();
    QTreeWidget *vt = editor.vt;
    auto del = [&](QTreeWidgetItem *item) {
        vt->setCurrentItem(item);
        Click(*editor.WinToolBar, TBtnType::btDel);
    };
    BoxSeen no, yes;
    QList<QStringList> seen;
    {
        ModalScript script{[&](QWidget *) {
                               seen << Texts(vt);
                               del(nullptr);   // nothing focused: nothing asked
                               Click(*editor.WinToolBar, TBtnType::btAdd);
                           },
                           [&](QWidget *w) {
                               ASSERT_EQ(w->windowTitle(), "Выбор поля");
                               auto *fields = w->findChild<QTreeWidget *>();
                               fields->setCurrentItem(Node(fields, {"FLD_ID", "OBJ_ID", "OBJ_CAPT"}));
                               ClickButton(w, "ОК");
                           },
                           [&](QWidget *) { seen << Texts(vt), del(vt->topLevelItem(0)); },
                           AnswerBox(no, "&Нет"),
                           [&](QWidget *) { seen << Texts(vt), del(vt->topLevelItem(0)); },
                           AnswerBox(yes, "&Да"),
                           [&](QWidget *w) {
                               seen << Texts(vt);
                               EXPECT_EQ(vt->currentItem(), nullptr) << "no node focused after a delete";
                               ClickButton(w, "ОК");
                           }};
        ASSERT_TRUE(editor.Execute());
    }
    EXPECT_EQ(seen, QList<QStringList>({{capt, view}, {capt, view, added}, {capt, view, added}, {view, added}}));
    EXPECT_EQ(yes.Text, "Удалить поле?");
    ASSERT_EQ(editor.TemplFldList->Count(), 2);
    const TObjValue *value = editor.TemplFldList->Items(1);
    EXPECT_EQ(value->Fld(), F("OBJ", "OBJ_CAPT"));
    EXPECT_EQ(value->Obj(), O("TBLTREE"));
    EXPECT_TRUE(value->PathHave());
    EXPECT_EQ(QList<TFld *>(value->Path->begin(), value->Path->end()),
              QList<TFld *>({F("TBLTREE", "FLD_ID"), F("FLD", "OBJ_ID")}));

    ModalScript cancel{[](QWidget *w) { ClickButton(w, "Отмена"); }};
    EXPECT_FALSE(editor.Execute());
    EXPECT_EQ(Texts(vt), QStringList({view, added})) << "listed afresh, not twice";
}

} // namespace
