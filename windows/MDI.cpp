#include "MDI.h"

#include "Application.h"

#include <QMdiArea>
#include <QMenu>
#include <QShortcut>
#include <QStyle>

namespace {

// Where a new child goes: one caption lower and to the right of the last child made, as the
// platform cascades its children, and back to the top-left corner where it would no longer fit
// in the visible part of the area (which has no scroll bars to reach it).
QPoint CascadePosition(QMdiArea *AArea, QMdiSubWindow *AForm)
{
    const QList<QMdiSubWindow *> others = AArea->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow *last = nullptr;
    for (QMdiSubWindow *other : others)
        if (other != AForm && other->isVisible() && !other->isMinimized() && !other->isMaximized())
            last = other;
    if (!last)
        return QPoint(0, 0);
    const int step = AForm->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, AForm);
    const QPoint next = last->pos() + QPoint(step, step);
    const QRect visible(QPoint(0, 0), AArea->viewport()->size());
    if (next.x() < 0 || next.y() < 0 || !visible.contains(QRect(next, AForm->size())))
        return QPoint(0, 0);
    return next;
}

const QKeySequence CloseKey(Qt::CTRL | Qt::Key_F4);

// Each child's window menu carries the platform's keys for closing, Ctrl+F4 among them; with two
// children open the keys clash and close neither. The area closes its active child instead.
void TakeCloseKeyFromWindowMenu(QMdiSubWindow *AForm)
{
    if (!AForm->systemMenu())
        return;
    for (QAction *action : AForm->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(CloseKey) > 0)
            action->setShortcuts(keys);
    }
}

} // namespace

void CloseActiveChildOnCtrlF4(QMdiArea *AArea)
{
    auto *shortcut = new QShortcut(CloseKey, AArea);
    QObject::connect(shortcut, &QShortcut::activated, AArea, Guard([AArea] { AArea->closeActiveSubWindow(); }));
}

TMDIForm::TMDIForm() = default;

TMDIForm::~TMDIForm()
{
    // Runs before the frame's controls are destroyed; the handler may free its window object.
    if (OnDestroy) {
        const std::function<void()> handler = std::move(OnDestroy);
        OnDestroy = nullptr;
        handler();
    }
}

TMDI::TMDI(QMdiArea *AOwner)
{
    Form = new TMDIForm;
    // Closing a child frees it.
    Form->setAttribute(Qt::WA_DeleteOnClose);
    Form->setWidget(new QWidget);
    Form->OnDestroy = [this] { FormDestroy(); };
    // While it is being made the window takes no focus: a control of it that asks for the focus
    // would make it the active window, and the area would take the front and the maximized
    // state from the window that has them, for a window that may yet fail to be made.
    Form->setEnabled(false);
    AOwner->addSubWindow(Form);
    TakeCloseKeyFromWindowMenu(Form);
    // Like the platform's default placement of a child: most of the frame, not the child's
    // minimal size hint.
    const QSize area = AOwner->viewport()->size();
    if (area.width() > 0 && area.height() > 0) {
        Form->resize(area.width() * 3 / 4, area.height() * 3 / 4);
        Form->move(CascadePosition(AOwner, Form));
    }
    Form->show();
}

TMDI::~TMDI()
{
    if (Form) {
        // Freed by its object: nobody needs to hear about it any more.
        Form->OnDestroy = nullptr;
        // Taken out of the area first: a child destroyed under it the area takes for the one
        // last active, even one that never was, and activates another in its place.
        if (QMdiArea *area = Form->mdiArea())
            area->removeSubWindow(Form);
        delete Form;
    }
}

void TMDI::FormDestroy()
{
    Form = nullptr;
    // The handler may free this object: nothing may follow the call.
    if (OnFormDestroy)
        OnFormDestroy(this);
}

void TMDI::Show()
{
    if (!Form)
        return;
    Form->setEnabled(true);
    Form->show();
    Form->raise();
    if (QMdiArea *area = Form->mdiArea())
        area->setActiveSubWindow(Form);
}

QWidget *TMDI::Client() const
{
    return Form ? Form->widget() : nullptr;
}
