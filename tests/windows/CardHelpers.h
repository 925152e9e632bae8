#pragma once

#include "CardWidgets.h"
#include "DBFixture.h"
#include "GuiHelpers.h"
#include "MDITbl.h"
#include "WinAtr.h"
#include "WinCtrlTree.h"
#include "WinTbl.h"

#include <QDateEdit>
#include <QMdiArea>
#include <QTableView>

using namespace korvenix_test;

// The template database's copy, logged in as "admin", with the Russian number formats the
// sample users work with.
class LoggedInTest : public AdminFixture
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        AdminFixture::SetUp();
    }
    void TearDown() override
    {
        AdminFixture::TearDown();
        QLocale::setDefault(QLocale::c());
    }
};

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

// Ticks a date picker's box and sets its date.
inline void SetDate(TDateCheckEdit *picker, const QDate &date)
{
    ASSERT_NE(picker, nullptr);
    if (!picker->Checked())
        QTest::mouseClick(picker->CheckBox(), Qt::LeftButton, {}, QPoint(2, picker->CheckBox()->height() / 2));
    picker->DateEdit()->setDate(date);
}

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

// An object's table window as "Данные" opens it, and the cards its keys open.
class CardUseTest : public LoggedInTest
{
protected:
    void TearDown() override
    {
        mdi.reset();
        LoggedInTest::TearDown();
    }
    void Open(const QString &tableName, bool readAll = true)
    {
        area.resize(800, 600);
        area.show();
        mdi = std::make_unique<TMDITbl>(&area, O(tableName));
        mdi->Show();
        table = mdi->GetWinTbl();
        if (readAll)
            table->GotoEnd();
    }
    QTableView *Grid() const { return table->GetPanel()->findChild<QTableView *>(); }
    void Press(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(Grid(), Qt::Key(key), modifiers); }
    Variant Key(int row) const
    {
        Variant key;
        table->GetDataByIndexFld(row, table->TblObj()->PKFld, key);
        return key;
    }
    void Click(int row) { ClickCell(Grid(), row); }
    // The texts of the focused row.
    QStringList FocusedRow() const
    {
        QStringList texts;
        for (int c = 0; c < Grid()->model()->columnCount(); ++c)
            texts << Grid()->currentIndex().siblingAtColumn(c).data().toString();
        return texts;
    }

    QMdiArea area;
    std::unique_ptr<TMDITbl> mdi;
    TWinTbl *table = nullptr;
};
