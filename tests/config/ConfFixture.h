#pragma once

#include "DBFixture.h"
#include "Fld.h"
#include "FldTreeItem.h"
#include "GuiHelpers.h"
#include "IBSQL.h"
#include "MDIConf.h"
#include "Program.h"
#include "MDITbl.h"
#include "WinDetCheckList.h"
#include "WinTblCard.h"
#include "WinTblDep.h"
#include "WinTblDetBook.h"
#include "WinTblFld.h"
#include "WinTblObj.h"
#include "WinTblTbl.h"
#include "WinTree.h"

#include <QMdiArea>

namespace korvenix_test {

// The node of a field tree reached from the top level through the fields named, or nil; it and
// the nodes on the way are expanded, as the user opens them.
inline QTreeWidgetItem *Node(QTreeWidget *vt, const QStringList &fields)
{
    QTreeWidgetItem *node = vt->invisibleRootItem();
    for (const QString &field : fields) {
        QTreeWidgetItem *parent = std::exchange(node, nullptr);
        for (int i = 0; i < parent->childCount() && !node; ++i)
            if (FldItem(parent->child(i))->Fld->Field() == field)
                node = parent->child(i);
        if (!node)
            return nullptr;
        node->setExpanded(true);
    }
    return node;
}

inline QStringList Texts(QTreeWidget *vt, QTreeWidgetItemIterator::IteratorFlags flags = QTreeWidgetItemIterator::All)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(vt, flags); *it; ++it)
        texts << (*it)->text(0);
    return texts;
}
inline int Ticks(QTreeWidget *vt) { return int(Texts(vt, QTreeWidgetItemIterator::Checked).size()); }

// Right-clicks the node (nil: the empty space below the nodes) as the user opens the popup menu,
// and runs the item reached through `path`, as clicking it does. The captions of the menu shown
// last: the popup's own, or the submenu the path ends in.
inline QStringList Popup(QTreeWidget *vt, QTreeWidgetItem *item, const QStringList &path = {})
{
    if (item)
        vt->scrollToItem(item);
    const QPoint at = item ? vt->visualItemRect(item).center() : QPoint(4, vt->viewport()->height() - 4);
    QTest::mouseClick(vt->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, vt->viewport()->mapToGlobal(at));
    QApplication::sendEvent(vt->viewport(), &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return {};
    menu->hide();
    QAction *chosen = nullptr;
    for (const QString &caption : path)
        for (QAction *action : (chosen ? chosen->menu() : menu)->actions())
            chosen = action->text() == caption ? action : chosen;
    const QStringList captions = Captions(chosen && chosen->menu() ? chosen->menu() : menu);
    if (chosen && !chosen->menu())
        chosen->trigger();
    return captions;
}

// The main form on a copy of the initial database, logged in as the administrator, with the
// configurator installed as the program installs it and opened from its menu; the user's clicks.
class ConfFixture : public MainFormFixture
{
protected:
    void SetUp() override
    {
        PrepareApplication();
        MainFormFixture::SetUp();
        form->resize(1100, 750);
        Show(EnterLogin("admin"));
        conf = OpenConfig();
        ASSERT_NE(conf, nullptr);
    }
    void TearDown() override
    {
        MainFormFixture::TearDown();
        TMDIList::CreateConfig = nullptr;
    }

    TMDIConfig *OpenConfig()
    {
        form->miConf->trigger();
        for (TMDI *window : *form->MDIList)
            if (auto *config = dynamic_cast<TMDIConfig *>(window))
                return config;
        return nullptr;
    }
    static QTableView *Grid(const TWinTbl &list) { return list.GetPanel()->findChild<QTableView *>(); }
    template <typename Part>
    static bool Enabled(const Part &part, TBtnType type) { return part.WinToolBar->GetByBtnType(type)->Enabled(); }
    static bool IsOpen(const TWinTbl &list) { return Enabled(list, TBtnType::btReopen); }
    static int Rows(TWinTbl &list)
    {
        list.GotoEnd();
        return list.Count();
    }
    // Clicks the row that shows the text in some column (with Ctrl: deselects it).
    static void ClickRow(TWinTbl &list, const QString &text, Qt::KeyboardModifiers keys = {})
    {
        list.GotoEnd();
        ClickRowAt(list, FindRow(Grid(list), text).row(), keys);
    }
    static void ClickRowAt(TWinTbl &list, int row, Qt::KeyboardModifiers keys = {}) { ClickCell(Grid(list), row, keys); }
    // Clicks the button of a list's or an editor's tool bar.
    template <typename Part>
    static void Press(Part &part, TBtnType type)
    {
        QWidget *button = part.WinToolBar->GetByBtnType(type)->Widget();
        ShowPage(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Key(TWinTbl &list, int key)
    {
        ShowPage(list.GetPanel());
        QTest::keyClick(Grid(list), Qt::Key(key));
    }

    static int StoredFields(const TObj *obj)
    {
        return int(std::count_if(obj->FldList->begin(), obj->FldList->end(), [](const TFld *fld) { return !fld->Virt(); }));
    }
    static bool InRepository(const QString &table)
    {
        return std::any_of(DB->ObjList->begin(), DB->ObjList->end(), [&](const TObj *obj) { return obj->Table() == table; });
    }
    static RepoBuilder Repo() { return RepoBuilder(*DB); }
    // The first column of every row of a select, as a set: the select fixes no order.
    static QSet<int> Ints(const QString &text)
    {
        auto sql = DB->CreateIBSQLS();
        TCloseGuard closer(*sql);
        sql->SetSQL(text);
        QSet<int> values;
        for (sql->ExecQuery(); !sql->Eof(); sql->Next())
            values << sql->Field(0).toInt();
        return values;
    }

    // From now on the first commit after each save of a column or control tree fails, as the
    // engine may fail the empty transaction that wakes its collector; the save's own commit goes
    // through. FailedCommits counts the commits made to fail.
    static void FailTheCommitAfterEachTreeSave()
    {
        Repo().Exec("create sequence KVX_TEST_FAILED");
        Repo().Exec("create exception KVX_TEST_FAILED 'The commit after a tree save fails.'");
        for (const QString table : {"TBLTREE", "CTRLTREE"})
            Repo().Exec(QString("create trigger KVX_TEST_%1 after insert on %1 as declare d integer; begin "
                                "d = rdb$set_context('USER_SESSION', 'KVX_SAVED_IN', current_transaction); end")
                            .arg(table));
        Repo().Exec("create trigger KVX_TEST_COMMIT on transaction commit as "
                    "declare saved varchar(255); declare d integer; begin "
                    "saved = rdb$get_context('USER_SESSION', 'KVX_SAVED_IN'); "
                    "if (saved <> cast(current_transaction as varchar(20))) then begin "
                    "d = rdb$set_context('USER_SESSION', 'KVX_SAVED_IN', null); "
                    "d = gen_id(KVX_TEST_FAILED, 1); "
                    "exception KVX_TEST_FAILED; end end");
    }
    static int FailedCommits() { return Repo().Scalar("select gen_id(KVX_TEST_FAILED, 0) from RDB$DATABASE").toInt(); }

    // Every row of a select as its values joined by blanks, "-" for Null, in the select's order.
    static QStringList RowTexts(const QString &text, const QList<std::pair<QString, Variant>> &params)
    {
        QStringList rows;
        for (const QList<Variant> &row : SelectRows(*DB, text, params)) {
            QStringList values;
            for (const Variant &value : row)
                values << (value.isNull() ? "-" : value.toString());
            rows << values.join(' ');
        }
        return rows;
    }

    TMDIConfig *conf = nullptr;
};

} // namespace korvenix_test

using namespace korvenix_test;
