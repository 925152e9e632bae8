#pragma once

#include "CardHosts.h"
#include "LoginFo.h"
#include "MDIConf.h"
#include "MDITbl.h"
#include "MainFo.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "WinDetCheckList.h"
#include "WinTblCard.h"
#include "WinTblDep.h"
#include "WinTblDetBook.h"
#include "WinTblFld.h"
#include "WinTblObj.h"
#include "WinTblTbl.h"
#include "WinTree.h"

#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace korvenix_test {

// Brings the pages that hold the widget to the front by clicking their tabs.
inline void ShowPage(QWidget *widget)
{
    for (QWidget *child = widget, *parent = widget->parentWidget(); parent; child = parent, parent = parent->parentWidget())
        if (auto *pages = qobject_cast<QTabWidget *>(parent->parentWidget()); pages && pages->indexOf(child) >= 0)
            QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(pages->indexOf(child)).center());
}

// The main form on a copy of the initial database, logged in as the administrator, with the
// configurator installed as the program installs it; the user's clicks on its lists.
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
    }
    void TearDown() override
    {
        form.reset();
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
    // Opens the menu of the menu bar and clicks its item.
    void Choose(QMenu *menu, const QString &item)
    {
        QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
        for (QAction *action : menu->actions())
            if (action->text() == item)
                return QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        menu->hide();
        FAIL() << "no menu item " << item.toStdString();
    }
    void OpenData(const QString &table)
    {
        for (QAction *action : form->miData->actions())
            if (action->data().value<TObj *>() == O(table))
                return Choose(form->miData, action->text());
        FAIL() << "no item of " << table.toStdString() << " in the data menu";
    }
    TMDIConfig *OpenConfig()
    {
        Choose(form->miSetup, "Конфигуратор");
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
    static bool IsOpen(const TWinTbl &list) { return list.WinToolBar->GetByBtnType(TBtnType::btReopen)->Enabled(); }
    static int Rows(TWinTbl &list)
    {
        list.GotoEnd();
        return list.Count();
    }
    // Clicks the row that shows the text in some column (with Ctrl: deselects it).
    static void ClickRow(TWinTbl &list, const QString &text, Qt::KeyboardModifiers keys = {})
    {
        list.GotoEnd();
        QAbstractItemModel *model = Grid(list)->model();
        QModelIndexList found;
        for (int column = 0; found.isEmpty() && column < model->columnCount(); ++column)
            found = model->match(model->index(0, column), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << "no row " << text.toStdString();
        ClickRowAt(list, found.first().row(), keys);
    }
    static void ClickRowAt(TWinTbl &list, int row, Qt::KeyboardModifiers keys = {})
    {
        ShowPage(list.GetPanel());
        const QModelIndex index = Grid(list)->model()->index(row, 0);
        Grid(list)->scrollTo(index);
        QTest::mouseClick(Grid(list)->viewport(), Qt::LeftButton, keys, Grid(list)->visualRect(index).center());
    }
    static void Press(TWinTbl &list, TBtnType type)
    {
        ShowPage(list.GetPanel());
        QTest::mouseClick(list.WinToolBar->GetByBtnType(type)->Widget(), Qt::LeftButton);
    }
    static void Key(TWinTbl &list, int key)
    {
        ShowPage(list.GetPanel());
        QTest::keyClick(Grid(list), Qt::Key(key));
    }
    static int Ticks(QTreeWidget *vt)
    {
        int ticks = 0;
        for (QTreeWidgetItemIterator it(vt); *it; ++it)
            ticks += (*it)->checkState(0) == Qt::Checked;
        return ticks;
    }

    TObj *O(const QString &table) const { return DB->ObjList->GetObjByTable(table); }
    static bool InRepository(const QString &table)
    {
        return std::any_of(DB->ObjList->begin(), DB->ObjList->end(), [&](const TObj *obj) { return obj->Table() == table; });
    }
    int Count(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return RepoBuilder(*DB).Scalar(text, params).toInt();
    }

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
};

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
// Replaces the edit's text by typing it, each character as the key's text (the test keys know
// only ASCII).
inline void Type(QWidget *card, const QString &caption, const QString &text)
{
    QLineEdit *edit = Labelled(card, caption);
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
}
// Opens the value picker of a link control with F2.
inline void Pick(QWidget *card, const QString &caption)
{
    if (QLineEdit *edit = Labelled(card, caption))
        QTest::keyClick(edit, Qt::Key_F2);
}

} // namespace korvenix_test
