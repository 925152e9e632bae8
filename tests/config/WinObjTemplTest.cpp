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
            [](QWidget *card) {
                Type(card, "Шаблон значения", "%s [%s] %s");   // a place for the field to come
                Pick(card, "Шаблон значения");
            },
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

// OK of the editor and of the card refuses a template whose text and fields disagree, with the
// message a record of the object would otherwise show wherever it is shown: fields other in
// number than the text's "%s", no fields for a text, no text for the fields; nothing is saved.
// Neither text nor fields is no template at all, which both take.
TEST_F(WinObjTemplTest, TextAndFieldsThatDisagreeAreRefusedAndNothingIsSaved)
{
    const QString table = O("TBLTREE")->Capt(), templ = O("TBLTREE")->Templ();
    ASSERT_EQ(templ, "%s [%s]");
    const auto deleteFirst = [](QWidget *editor) {
        editor->findChild<QTreeWidget *>()->setCurrentItem(editor->findChild<QTreeWidget *>()->topLevelItem(0));
        ClickTool(editor, "Удалить");
    };
    const auto ok = [](QWidget *window) { ClickButton(window, "ОК"); };
    const auto typeAndOk = [](const QString &text) {
        return [text](QWidget *card) {
            Type(card, "Шаблон значения", text);
            ClickButton(card, "ОК");
        };
    };
    // The template as the database and the repository hold it: text, text, fields, fields.
    const auto templates = [&] {
        const QList<std::pair<QString, Variant>> obj = {{"O", O("TBLTREE")->Id()}};
        return QStringList({RepoBuilder(*DB).Scalar("select coalesce(OBJ_TEMPL, '') from OBJ where OBJ_ID = :O", obj).toString(),
                            O("TBLTREE")->Templ(),
                            QString::number(Count("select count(*) from OBJVALUE where OBJ_ID = :O", obj)),
                            QString::number(O("TBLTREE")->TemplFldList->Count())});
    };
    BoxSeen question, count, noFields, cardCount, noText;
    QStringList afterRefusals;
    {
        ModalScript script{[](QWidget *card) { Pick(card, "Шаблон значения"); },
                           deleteFirst, AnswerBox(question, "&Да"),
                           ok, AnswerBox(count, "OK"),
                           deleteFirst, AnswerBox(question, "&Да"),
                           ok, AnswerBox(noFields, "OK"),
                           [](QWidget *editor) { ClickButton(editor, "Отмена"); },
                           typeAndOk("%s"), AnswerBox(cardCount, "OK"),
                           typeAndOk(""), AnswerBox(noText, "OK"),
                           [&](QWidget *card) {
                               afterRefusals = templates();
                               Pick(card, "Шаблон значения");
                           },
                           deleteFirst, AnswerBox(question, "&Да"),
                           deleteFirst, AnswerBox(question, "&Да"),
                           ok, ok};
        ClickRow(*conf->WinTblObj, "TBLTREE");
        Key(*conf->WinTblObj, Qt::Key_F2);
    }
    const QString mismatch = "У объекта \"" + table + "\" количество значений \"%s\" в шаблоне не соответствует количеству "
                                                        "полей шаблона.";
    EXPECT_EQ(QStringList({count.Text, noFields.Text, cardCount.Text, noText.Text}),
              QStringList({mismatch, "У объекта \"" + table + "\" не указаны поля для шаблона значения.", mismatch,
                           "У объекта \"" + table + "\" не указан шаблон значения."}));
    EXPECT_EQ(afterRefusals, QStringList({templ, templ, "2", "2"}));
    EXPECT_EQ(templates(), QStringList({"", "", "0", "0"}));
}

} // namespace
