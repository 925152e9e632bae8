#pragma once

#include "DBFixture.h"
#include "Fld.h"
#include "FldTreeItem.h"
#include "IBSQL.h"
#include "LoginFo.h"
#include "MDIConf.h"
#include "MDITbl.h"
#include "MainFo.h"
#include "ModalScript.h"
#include "WinDetCheckList.h"
#include "WinTblCard.h"
#include "WinTblDep.h"
#include "WinTblDetBook.h"
#include "WinTblFld.h"
#include "WinTblObj.h"
#include "WinTblTbl.h"
#include "WinTree.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace korvenix_test {

// Brings the pages that hold the widget to the front by clicking their tabs.
inline void ShowPage(QWidget *widget)
{
    for (QWidget *child = widget, *parent = widget->parentWidget(); parent; child = parent, parent = parent->parentWidget())
        if (auto *pages = qobject_cast<QTabWidget *>(parent->parentWidget()); pages && pages->indexOf(child) >= 0)
            QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(pages->indexOf(child)).center());
}

// The first cell of the grid that shows the text, in whichever column.
inline QModelIndex FindRow(const QAbstractItemView *grid, const QString &text)
{
    const QAbstractItemModel *model = grid->model();
    for (int column = 0; column < model->columnCount(); ++column)
        if (const auto found = model->match(model->index(0, column), Qt::DisplayRole, text, 1, Qt::MatchExactly);
            !found.isEmpty())
            return found.first();
    ADD_FAILURE() << "no row " << text.toStdString();
    return {};
}

// Chooses the row of the value picker that shows the text, by a double click.
inline void PickRow(QWidget *picker, const QString &text)
{
    auto *grid = picker->findChild<QAbstractItemView *>();
    const QPoint row = grid->visualRect(FindRow(grid, text)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
}

// The node of a field tree reached from the top level through the fields named, or nil.
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
    QStringList captions;
    for (QAction *action : (chosen && chosen->menu() ? chosen->menu() : menu)->actions())
        captions << action->text();
    if (chosen && !chosen->menu())
        chosen->trigger();
    return captions;
}

// Clicks the tool bar button of the window that has this caption.
inline void ClickTool(QWidget *window, const QString &caption)
{
    for (QToolButton *button : window->findChildren<QToolButton *>())
        if (button->text() == caption)
            return QTest::mouseClick(button, Qt::LeftButton);
    ADD_FAILURE() << "no tool button " << caption.toStdString();
}

// The control of a card that the label with this caption names, its tab brought to the front.
template <typename Widget = QLineEdit>
Widget *Labelled(QWidget *card, const QString &caption)
{
    for (QLabel *label : card->findChildren<QLabel *>())
        if (auto *control = dynamic_cast<Widget *>(label->buddy()); control && label->text() == caption) {
            ShowPage(control);
            return control;
        }
    ADD_FAILURE() << "no control labelled " << caption.toStdString();
    return nullptr;
}
// Replaces the text of the edit with this caption.
inline void Type(QWidget *card, const QString &caption, const QString &text)
{
    if (QLineEdit *edit = Labelled(card, caption))
        edit->setText(text);
}
// Opens the value picker (or the editor) of a control with F2.
inline void Pick(QWidget *card, const QString &caption)
{
    if (QLineEdit *edit = Labelled(card, caption))
        QTest::keyClick(edit, Qt::Key_F2);
}

// The main form on a copy of the initial database, logged in as the administrator, with the
// configurator installed as the program installs it and opened from its menu; the user's clicks.
class ConfFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
        form = std::make_unique<TMainForm>();
        form->resize(1100, 750);
        ModalScript script{LogIn};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
        conf = OpenConfig();
        ASSERT_NE(conf, nullptr);
    }
    void TearDown() override
    {
        TMDIList::CreateConfig = nullptr;
        DevMode = false;
    }

    static void LogIn(QWidget *w)
    {
        auto *login = dynamic_cast<TLoginForm *>(w);
        ASSERT_NE(login, nullptr);
        login->leLogin->setText("admin");
        QTest::mouseClick(login->btOk, Qt::LeftButton);
    }
    void Relogin()
    {
        ModalScript script{LogIn};
        form->miLogin->trigger();
    }
    void OpenData(const QString &table)
    {
        for (QAction *action : form->miData->actions())
            if (action->data().value<TObj *>() == O(table))
                return action->trigger();
        FAIL() << "no item of " << table.toStdString() << " in the data menu";
    }
    TMDIConfig *OpenConfig()
    {
        form->miConf->trigger();
        for (TMDI *window : *form->MDIList)
            if (auto *config = dynamic_cast<TMDIConfig *>(window))
                return config;
        return nullptr;
    }
    QStringList DataMenu() const
    {
        QStringList captions;
        for (const QAction *action : form->miData->actions())
            captions << action->text();
        return captions;
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
    static void ClickRowAt(TWinTbl &list, int row, Qt::KeyboardModifiers keys = {})
    {
        ShowPage(list.GetPanel());
        const QModelIndex index = Grid(list)->model()->index(row, 0);
        Grid(list)->scrollTo(index);
        QTest::mouseClick(Grid(list)->viewport(), Qt::LeftButton, keys, Grid(list)->visualRect(index).center());
    }
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

    TObj *O(const QString &table) const { return DB->ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }
    static int StoredFields(const TObj *obj)
    {
        return int(std::count_if(obj->FldList->begin(), obj->FldList->end(), [](const TFld *fld) { return !fld->Virt(); }));
    }
    static bool InRepository(const QString &table)
    {
        return std::any_of(DB->ObjList->begin(), DB->ObjList->end(), [&](const TObj *obj) { return obj->Table() == table; });
    }
    static RepoBuilder Repo() { return RepoBuilder(*DB); }
    int Count(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return Repo().Scalar(text, params).toInt();
    }
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

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
    TMDIConfig *conf = nullptr;
};

} // namespace korvenix_test
