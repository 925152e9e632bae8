#include "ConfFixture.h"
#include "ObjValue.h"

namespace {

using WinObjTemplTest = ConfFixture;

// The object card edits its value template in a copy: a cancelled edit leaves the card's list
// alone; a delete leaves no node focused. The chooser's field tree follows links until a link
// field repeats on its own path (marked, not followed), leaves virtual fields out, takes only a
// focused field, not a node that merely became current with the keyboard focus, and hands back
// the links above it, outermost first. The card writes the list OK handed back. TBLTREE's template
// shows the captions of its field and of its view, each one link away; the field added is two away.
TEST_F(WinObjTemplTest, EditsACopyAndAddsThroughTheFieldTree)
{
    const QString fld = F("TBLTREE", "FLD_ID")->Capt(), capt = fld + ">" + F("FLD", "FLD_CAPT")->Capt();
    const QString view = F("TBLTREE", "TBL_ID")->Capt() + ">" + F("TBL", "TBL_CAPT")->Capt();
    const QString added = fld + ">" + F("FLD", "OBJ_ID")->Capt() + ">" + F("OBJ", "OBJ_CAPT")->Capt();
    QList<QStringList> seen;
    auto focus = [&](QWidget *editor, int row) {
        auto *vt = editor->findChild<QTreeWidget *>();
        seen << Texts(vt);
        vt->setCurrentItem(vt->topLevelItem(row));
        return vt;
    };
    BoxSeen question, error;
    {
        ModalScript script{
            [](QWidget *card) { Pick(card, "Шаблон значения"); },
            [&](QWidget *editor) { focus(editor, 0), ClickTool(editor, "Удалить"); },
            AnswerBox(question, "&Да"),
            [&](QWidget *editor) {
                auto *vt = editor->findChild<QTreeWidget *>();
                EXPECT_EQ(vt->currentItem(), nullptr) << "no node focused after a delete";
                seen << Texts(vt);
                ClickButton(editor, "Отмена");
            },
            [](QWidget *card) { Pick(card, "Шаблон значения"); },
            [&](QWidget *editor) {
                focus(editor, -1);
                ClickTool(editor, "Удалить");   // nothing focused: nothing asked
                ClickTool(editor, "Добавить");
            },
            [&](QWidget *chooser) {
                auto *vt = chooser->findChild<QTreeWidget *>();
                EXPECT_EQ(Node(vt, {"FLD_ID"})->childCount(), StoredFields(O("FLD")));
                for (const QStringList &cycle :
                     {QStringList{"FLD_ID", "FLD_ID_AGR", "FLD_ID_AGR"}, {"FLD_ID", "DEP_ID_AGR", "FLD_ID", "DEP_ID_AGR"}}) {
                    QTreeWidgetItem *node = Node(vt, cycle);
                    ASSERT_NE(node, nullptr);
                    EXPECT_EQ(node->text(0), F("FLD", cycle.last())->Capt() + "*");
                    EXPECT_EQ(node->childCount(), 0);
                }
                // What taking the keyboard focus does: a node current, none selected.
                vt->selectionModel()->setCurrentIndex(vt->model()->index(0, 0), QItemSelectionModel::NoUpdate);
                ClickButton(chooser, "ОК");
            },
            AnswerBox(error, "OK"),
            [](QWidget *chooser) {
                auto *vt = chooser->findChild<QTreeWidget *>();
                EXPECT_EQ(chooser->windowTitle(), "Выбор поля") << "the chooser stays open";
                vt->setCurrentItem(Node(vt, {"FLD_ID", "OBJ_ID", "OBJ_CAPT"}));
                ClickButton(chooser, "ОК");
            },
            [&](QWidget *editor) { focus(editor, -1), ClickButton(editor, "ОК"); },
            [](QWidget *card) { ClickButton(card, "ОК"); }};
        ClickRow(*conf->WinTblObj, "TBLTREE");
        Key(*conf->WinTblObj, Qt::Key_F2);
    }
    EXPECT_EQ(seen, QList<QStringList>({{capt, view}, {view}, {capt, view}, {capt, view, added}}));
    EXPECT_EQ(question.Text, "Удалить поле?");
    EXPECT_EQ(error.Text, "Нужно выделить поле.");
    EXPECT_EQ(Ints(QString("select FLD_ID from OBJVALUE where OBJ_ID = %1").arg(O("TBLTREE")->Id())),
              QSet<int>({F("FLD", "FLD_CAPT")->Id(), F("TBL", "TBL_CAPT")->Id(), F("OBJ", "OBJ_CAPT")->Id()}));
}

} // namespace
