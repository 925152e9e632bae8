#pragma once

#include "CardWidgets.h"
#include "DBFixture.h"
#include "MDITbl.h"
#include "Main.h"
#include "Obj.h"
#include "RepoBuilder.h"
#include "TestDatabase.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinCtrlTree.h"
#include "WinTbl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using korvenix_test::ErrorOf;

// The control of a card's field, and its widget; a missing one fails the test.
inline TWinCtrlTree *FieldNode(const TWinAtr &atr, const QString &field)
{
    TWinCtrlTree *node = atr.GetWinCtrlTreeByFldName(field);
    EXPECT_NE(node, nullptr) << "no control of " << field.toStdString();
    return node;
}
template <typename Widget>
Widget *FieldControl(const TWinAtr &atr, const QString &field)
{
    TWinCtrlTree *node = FieldNode(atr, field);
    return node ? dynamic_cast<Widget *>(node->WinControl.data()) : nullptr;
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
inline void TypeInto(const TWinAtr &atr, const QString &field, const QString &text)
{
    TypeText(FieldControl<QLineEdit>(atr, field), text);
}

// Ticks a date picker's box and sets its date.
inline void SetDate(TDateCheckEdit *picker, const QDate &date)
{
    ASSERT_NE(picker, nullptr);
    if (!picker->Checked())
        QTest::mouseClick(picker->CheckBox(), Qt::LeftButton, {}, QPoint(2, picker->CheckBox()->height() / 2));
    picker->DateEdit()->setDate(date);
}

// The template database's copy, logged in as "admin", with the Russian number formats the
// sample users work with.
class LoggedInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        copy.WriteDefaultIni();
        DB = &db;
        db.Connect();
        db.Init();
        db.Login("admin", "");
    }
    void TearDown() override
    {
        db.RollbackChanges();
        DB = nullptr;
        DevMode = false;
        QLocale::setDefault(QLocale::c());
    }

    TObj *O(const QString &table) const { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }
    Variant Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return repo.Scalar(text, params);
    }

    TestDatabase copy;
    TDB db;
    RepoBuilder repo{db};
};

// The control of a form that the label with this caption names, as a user finds it.
template <typename Widget>
Widget *Labelled(QWidget *form, const QString &caption)
{
    for (QLabel *label : form->findChildren<QLabel *>())
        if (label->text() == caption)
            if (auto *control = dynamic_cast<Widget *>(label->buddy()))
                return control;
    ADD_FAILURE() << "no control labelled " << caption.toStdString();
    return nullptr;
}

// An object's table window as "Данные" opens it, and the cards its keys open.
class CardUseTest : public LoggedInTest
{
protected:
    void TearDown() override
    {
        mdi.reset();
        LoggedInTest::TearDown();
    }
    void Open(const QString &tableName)
    {
        area.resize(800, 600);
        area.show();
        mdi = std::make_unique<TMDITbl>(&area, O(tableName));
        table = mdi->GetWinTbl();
        table->GotoEnd();
    }
    QAbstractItemView *Grid() const { return table->GetPanel()->findChild<QAbstractItemView *>(); }
    void Press(int key) { QTest::keyClick(Grid(), Qt::Key(key)); }
    // Clicks the row of the record with the key.
    void Focus(const Variant &key)
    {
        for (int row = 0; row < table->Count(); ++row) {
            Variant value;
            table->GetDataByIndexFld(row, table->TblObj()->PKFld, value);
            if (value != key)
                continue;
            const QModelIndex index = Grid()->model()->index(row, 0);
            Grid()->scrollTo(index);
            QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualRect(index).center());
            return;
        }
        ADD_FAILURE() << "no row of key " << key.toString().toStdString();
    }
    // The texts of the focused row.
    QStringList FocusedRow() const
    {
        QStringList texts;
        for (int c = 0; c < Grid()->model()->columnCount(); ++c)
            texts << Grid()->currentIndex().siblingAtColumn(c).data().toString();
        return texts;
    }
    static void Type(QWidget *card, const QString &caption, const QString &text)
    {
        TypeText(Labelled<QLineEdit>(card, caption), text);
    }

    QMdiArea area;
    std::unique_ptr<TMDITbl> mdi;
    TWinTbl *table = nullptr;
};

// The grid on the detail tab of a card captioned `tab`, that tab made the current one.
inline QAbstractItemView *DetailGrid(QWidget *card, const QString &tab)
{
    for (QTabWidget *pages : card->findChildren<QTabWidget *>())
        for (int i = 0; i < pages->count(); ++i)
            if (pages->tabText(i) == tab) {
                pages->setCurrentIndex(i);
                if (auto *grid = pages->widget(i)->findChild<QAbstractItemView *>())
                    return grid;
            }
    ADD_FAILURE() << "no detail tab " << tab.toStdString();
    return nullptr;
}

// A value picker's answer: the first row, chosen by a double click.
inline void PickFirstRow(QWidget *picker)
{
    auto *grid = picker->findChild<QAbstractItemView *>();
    const QPoint row = grid->visualRect(grid->model()->index(0, 0)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
}
