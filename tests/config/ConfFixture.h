#pragma once

#include "CardHosts.h"
#include "LoginFo.h"
#include <QPushButton>
#include "MDIConf.h"
#include "MDITbl.h"
#include "MainFo.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "WinDetCheckList.h"
#include "WinTbl.h"
#include "WinTblCard.h"
#include "WinTblDep.h"
#include "WinTblDetBook.h"
#include "WinTblFld.h"
#include "WinTblObj.h"
#include "WinTblTbl.h"
#include "WinTree.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace korvenix_test {

// Brings the pages that hold the widget to the front by clicking their tabs.
inline void ShowPage(QWidget *widget)
{
    for (QWidget *child = widget, *parent = widget->parentWidget(); parent; child = parent, parent = parent->parentWidget())
        if (auto *pages = qobject_cast<QTabWidget *>(parent->parentWidget()); pages && pages->indexOf(child) >= 0) {
            QTabBar *bar = pages->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->indexOf(child)).center());
        }
}

// The main form on a copy of the initial database, logged in as the administrator, with the
// configurator installed as the program installs it.
class ConfFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
        form = std::make_unique<TMainForm>();
        form->resize(1100, 750);
        ModalScript script{LogInStep()};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }
    void TearDown() override
    {
        form.reset();
        TMDIList::CreateConfig = nullptr;
        DevMode = false;
    }

    static ModalScript::Step LogInStep()
    {
        return [](QWidget *w) {
            auto *login = dynamic_cast<TLoginForm *>(w);
            ASSERT_NE(login, nullptr);
            login->leLogin->setText("admin");
            QTest::mouseClick(login->btOk, Qt::LeftButton);
        };
    }
    void LogInAgain()
    {
        ModalScript script{LogInStep()};
        form->miLogin->trigger();
    }

    // Opens the menu of the menu bar and clicks its item, as the user does.
    void Choose(QMenu *menu, const QString &item)
    {
        QTest::mouseClick(form->mm, Qt::LeftButton, {}, form->mm->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
        for (QAction *action : menu->actions())
            if (action->text() == item) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        menu->hide();
        FAIL() << "no menu item " << item.toStdString();
    }
    // Opens the data window of the object through its item of "Данные".
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
        ADD_FAILURE() << "no configurator";
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
        ShowPage(list.GetPanel());
        list.GotoEnd();
        QTableView *grid = Grid(list);
        QAbstractItemModel *model = grid->model();
        QModelIndexList found;
        for (int column = 0; found.isEmpty() && column < model->columnCount(); ++column)
            found = model->match(model->index(0, column), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << "no row " << text.toStdString();
        grid->scrollTo(found.first());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, grid->visualRect(found.first()).center());
    }
    static void ClickRowAt(TWinTbl &list, int row)
    {
        ShowPage(list.GetPanel());
        QTableView *grid = Grid(list);
        const QModelIndex index = grid->model()->index(row, 0);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
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

    TObj *O(const QString &table) const { return DB->ObjList->GetObjByTable(table); }
    static bool InRepository(const QString &table)
    {
        return std::any_of(DB->ObjList->begin(), DB->ObjList->end(), [&](const TObj *obj) { return obj->Table() == table; });
    }
    Variant Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return RepoBuilder(*DB).Scalar(text, params);
    }
    int Count(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return Scalar(text, params).toInt();
    }

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
};

// The control of a card that the label with this caption names, its tab brought to the front.
template <typename Widget = QLineEdit>
Widget *Labelled(QWidget *card, const QString &caption)
{
    for (QLabel *label : card->findChildren<QLabel *>())
        if (label->text() == caption)
            if (auto *control = dynamic_cast<Widget *>(label->buddy())) {
                ShowPage(control);
                return control;
            }
    ADD_FAILURE() << "no control labelled " << caption.toStdString();
    return nullptr;
}
// Replaces the edit's text by typing it key by key, with each character as the key's text (the test keys know only ASCII).
inline void Type(QWidget *card, const QString &caption, const QString &text)
{
    QLineEdit *edit = Labelled(card, caption);
    if (!edit)
        return;
    edit->setFocus();
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
