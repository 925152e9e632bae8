#pragma once

// What the GUI tests do as a user does: find a control by its label, type, pick a row, log in
// through the main window.

#include "LoginFo.h"
#include "Main.h"
#include "MainFo.h"
#include "ModalScript.h"
#include "Obj.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace korvenix_test {

// The repository's object of a table, one of its fields, and a count the database gives.
inline TObj *O(const QString &table) { return DB->ObjList->GetObjByTable(table); }
inline TFld *F(const QString &table, const QString &field) { return O(table)->GetFldByName(field); }
inline int Count(const QString &sql, const QList<std::pair<QString, Variant>> &params = {})
{
    return RepoBuilder(*DB).Scalar(sql, params).toInt();
}

// Brings the pages that hold the widget to the front by clicking their tabs.
inline void ShowPage(QWidget *widget)
{
    for (QWidget *child = widget, *parent = widget->parentWidget(); parent; child = parent, parent = parent->parentWidget())
        if (auto *pages = qobject_cast<QTabWidget *>(parent->parentWidget()); pages && pages->indexOf(child) >= 0)
            QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(pages->indexOf(child)).center());
}

// The control of a form that the label with this caption names, its tab brought to the front.
template <typename Widget = QLineEdit>
Widget *Labelled(QWidget *form, const QString &caption)
{
    for (QLabel *label : form->findChildren<QLabel *>())
        if (auto *control = dynamic_cast<Widget *>(label->buddy()); control && label->text() == caption) {
            ShowPage(control);
            return control;
        }
    ADD_FAILURE() << "no control labelled " << caption.toStdString();
    return nullptr;
}

// Replaces an edit's text by typing, key by key, as the user does: with the character as the
// key's text, since Qt's test keys know only ASCII.
inline void TypeText(QLineEdit *edit, const QString &text)
{
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
}
inline void Type(QWidget *form, const QString &caption, const QString &text)
{
    TypeText(Labelled(form, caption), text);
}

// Opens the value picker (or the editor) of a control with F2.
inline void Pick(QWidget *card, const QString &caption)
{
    if (QLineEdit *edit = Labelled(card, caption))
        QTest::keyClick(edit, Qt::Key_F2);
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

// Clicks the first cell of a grid's row, its page in front and the row scrolled into view.
inline void ClickCell(QAbstractItemView *grid, int row, Qt::KeyboardModifiers keys = {})
{
    ShowPage(grid);
    const QModelIndex index = grid->model()->index(row, 0);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, grid->visualRect(index).center());
}

// Chooses the row of a value picker that shows the text (no text: the first row) by a double click.
inline void PickRow(QWidget *picker, const QString &text = {})
{
    auto *grid = picker->findChild<QAbstractItemView *>();
    const QPoint row = grid->visualRect(text.isEmpty() ? grid->model()->index(0, 0) : FindRow(grid, text)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
}

// Clicks the tool bar button of the window that has this caption.
inline void ClickTool(QWidget *window, const QString &caption)
{
    for (QToolButton *button : window->findChildren<QToolButton *>())
        if (button->text() == caption)
            return button->click();
    ADD_FAILURE() << "no tool button " << caption.toStdString();
}

inline QStringList Captions(const QMenu *menu)
{
    QStringList captions;
    for (const QAction *action : menu->actions())
        captions << action->text();
    return captions;
}

// A step that answers the login dialog with `login`, after the check.
inline ModalScript::Step EnterLogin(const QString &login, const std::function<void(TLoginForm *)> &check = {})
{
    return [=](QWidget *w) {
        auto *form = dynamic_cast<TLoginForm *>(w);
        ASSERT_NE(form, nullptr) << w->metaObject()->className();
        if (check)
            check(form);
        form->leLogin->setText(login);
        QTest::mouseClick(form->btOk, Qt::LeftButton);
    };
}

// The main window over a copy of the template database.
class MainFormFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        copy.WriteDefaultIni();
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override
    {
        form.reset();
        DevMode = false;
    }
    // Shows the main window; its first show brings the login dialog, which the step answers.
    void Show(const ModalScript::Step &login)
    {
        ModalScript script{login};
        form->show();
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }
    void LogIn()
    {
        ModalScript script{EnterLogin("admin")};
        form->miLogin->trigger();
    }
    // Chooses the object's item of the "Данные" menu.
    void OpenData(const QString &table)
    {
        for (QAction *action : form->miData->actions())
            if (action->data().value<TObj *>() == O(table))
                return action->trigger();
        FAIL() << "no item of " << table.toStdString() << " in the data menu";
    }

    TestDatabase copy;
    std::unique_ptr<TMainForm> form;
};

} // namespace korvenix_test
