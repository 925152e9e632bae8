#include "AtrItemObjTempl.h"
#include "CardHosts.h"
#include "ObjValue.h"
#include "WinObjTempl.h"

namespace {

using WinCtrlTreeObjTemplTest = korvenix_test::ConfigFixture;

// The object card edits a copy of the template's fields: Cancel leaves the card's list alone, OK
// hands the copy back marked for saving even unchanged, the text stays, and the card writes the rows.
TEST_F(WinCtrlTreeObjTemplTest, EditsACopyThatOkHandsBackForSaving)
{
    korvenix_test::ObjCard card("OBJ", "Obj", "OBJ_TEMPL", O("TBLTREE")->Id(), O("TBLTREE"));
    auto &list = *static_cast<TAtrItemObjTempl *>(card.WinAtr->Atr->GetByFldName("OBJ_TEMPL"))->TemplFldList;
    const QString text = card.Edit()->text();
    QStringList seen;
    QList<bool> modified;
    auto modifiedThenF2 = [&](QWidget *) { modified << list.Modified << card.WinAtr->Atr->Modified(), card.F2(); };
    BoxSeen yes;
    {
        ModalScript script{[&](QWidget *) { card.F2(); },
                           [&](QWidget *w) { seen << w->windowTitle() << Texts(card.Ctrl().WinObjTempl->vt), ClickButton(w, "Отмена"); },
                           modifiedThenF2,
                           [](QWidget *w) { ClickButton(w, "ОК"); },
                           modifiedThenF2,
                           [&](QWidget *) {
                               card.Ctrl().WinObjTempl->vt->setCurrentItem(card.Ctrl().WinObjTempl->vt->topLevelItem(0));
                               Click(*card.Ctrl().WinObjTempl->WinToolBar, TBtnType::btDel);
                           },
                           AnswerBox(yes, "&Да"),
                           [](QWidget *w) { ClickButton(w, "ОК"); },
                           [&](QWidget *w) { seen << card.Edit()->text(), ClickButton(w, "ОК"); }};
        ASSERT_EQ(card.ShowModalCard(), mrOk);
    }
    const QString fld = F("TBLTREE", "FLD_ID")->Capt() + ">" + F("FLD", "FLD_CAPT")->Capt();
    const QString view = F("TBLTREE", "TBL_ID")->Capt() + ">" + F("TBL", "TBL_CAPT")->Capt();
    EXPECT_EQ(seen, QStringList({"Поля шаблонов значений", fld, view, text}));
    EXPECT_EQ(modified, QList<bool>({false, false, true, true}));
    const int view_id = F("TBL", "TBL_CAPT")->Id();
    EXPECT_EQ(Ints(QString("select FLD_ID from OBJVALUE where OBJ_ID = %1").arg(O("TBLTREE")->Id())), QSet<int>{view_id});
    ASSERT_EQ(O("TBLTREE")->TemplFldList->Count(), 1);
    EXPECT_EQ(O("TBLTREE")->TemplFldList->Items(0)->Fld(), F("TBL", "TBL_CAPT"));
}

} // namespace
