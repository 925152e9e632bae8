#pragma once

#include "AtrFld.h"
#include "AtrObj.h"
#include "ConfigFixture.h"
#include "CtrlTree.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinCtrlTreeFrml.h"
#include "WinCtrlTreeObjTempl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

namespace korvenix_test {

// A configurator card by name on one record, the control of `field` made as the configurator
// makes it, with the record editor of the card's object and the object the control works on.
template <typename Control, typename Editor>
class HostCard : public TWinCard
{
    struct Panel : TWinAtr {
        using TWinAtr::TWinAtr;
        std::unique_ptr<TAtr> CreateAtr() override { return std::make_unique<Editor>(); }
        std::unique_ptr<TWinCtrlTree> CreateWinCtrlTree(QWidget *owner, QWidget *parent, TCtrlTree *node) override
        {
            if (!node->Fld() || node->Fld()->Field() != Field)
                return TWinAtr::CreateWinCtrlTree(owner, parent, node);
            auto control = std::make_unique<Control>(owner, parent, node);
            Ctrl = control.get();
            return control;
        }
        QString Field;
        Control *Ctrl = nullptr;
    };

public:
    HostCard(const QString &table, const QString &card, const QString &field, int id, TObj *obj)
        : TWinCard(nullptr, nullptr, nullptr), Field(field)
    {
        InitByName(DB->ObjList->GetObjByTable(table), card);
        SetRecId(id);
        Ctrl().Obj = obj;
    }
    void CreateWinAtr() override
    {
        WinAtr = std::make_unique<Panel>(Form, AtrPanel);
        static_cast<Panel &>(*WinAtr).Field = Field;
        WinAtr->Init(Card.get());
    }
    Control &Ctrl() const { return *static_cast<Panel &>(*WinAtr).Ctrl; }
    QLineEdit *Edit() const { return qobject_cast<QLineEdit *>(Ctrl().WinControl.data()); }
    void F2() const { QTest::keyClick(Edit(), Qt::Key_F2); }

    const QString Field;
};

using FldCard = HostCard<TWinCtrlTreeFormula, TAtrFld>;
using ObjCard = HostCard<TWinCtrlTreeObjTempl, TAtrObj>;

// Right-clicks the node (nil: the empty space below the nodes) as the user opens the popup menu,
// and runs the item reached through `path`, as clicking it does; the captions the menu showed.
inline QStringList Popup(QTreeWidget *vt, QMenu *menu, QTreeWidgetItem *item, const QStringList &path = {})
{
    const QPoint at = item ? vt->visualItemRect(item).center() : QPoint(4, vt->viewport()->height() - 4);
    QTest::mouseClick(vt->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, vt->viewport()->mapToGlobal(at));
    QApplication::sendEvent(vt->viewport(), &event);
    QStringList captions;
    for (QAction *action : menu->actions())
        captions << action->text();
    menu->hide();
    QAction *chosen = nullptr;
    for (const QString &caption : path) {
        for (QAction *action : (chosen ? chosen->menu() : menu)->actions())
            chosen = action->text() == caption ? action : chosen;
    }
    if (chosen)
        chosen->trigger();
    return captions;
}

// Chooses the row of the value picker that shows the text in some column, by a double click.
inline void PickRow(QWidget *picker, const QString &text)
{
    auto *grid = picker->findChild<QAbstractItemView *>();
    ASSERT_NE(grid, nullptr) << "not a value picker";
    QAbstractItemModel *model = grid->model();
    QModelIndexList found;
    for (int column = 0; found.isEmpty() && column < model->columnCount(); ++column)
        found = model->match(model->index(0, column), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << "no row " << text.toStdString();
    const QPoint row = grid->visualRect(found.first()).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
}

} // namespace korvenix_test
