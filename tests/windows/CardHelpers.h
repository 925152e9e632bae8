#pragma once

#include "CardWidgets.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinCtrlTree.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// The control of a card's field, as the user sees it; a missing one fails the test.
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
    auto *widget = node ? dynamic_cast<Widget *>(node->WinControl.data()) : nullptr;
    EXPECT_NE(widget, nullptr) << field.toStdString() << " has another kind of control";
    return widget;
}

// Replaces an edit's text by typing, key by key, as the user does.
inline void TypeInto(const TWinAtr &atr, const QString &field, const QString &text)
{
    if (auto *edit = FieldControl<QLineEdit>(atr, field)) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
}
inline void TypeInto(const TWinCard &card, const QString &field, const QString &text)
{
    TypeInto(*card.WinAtr, field, text);
}

// Ticks a date picker's box and sets its date.
inline void SetDate(const TWinCard &card, const QString &field, const QDate &date)
{
    if (auto *picker = FieldControl<TDateCheckEdit>(*card.WinAtr, field)) {
        if (!picker->Checked())
            QTest::mouseClick(picker->CheckBox(), Qt::LeftButton, {}, QPoint(2, picker->CheckBox()->height() / 2));
        picker->DateEdit()->setDate(date);
    }
}
