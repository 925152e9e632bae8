#include "MenuKeys.h"

#include "Application.h"
#include "HintStyle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace {

// Qt walks a menu bar by keyboard after a lone Alt only where the style asks for it, which most
// styles on Linux do not; this one does, and draws as the application's style does. Styles such
// as Fusion light a menu's title only while the menu is open, so while the keyboard is in the bar
// the current title is drawn as an open one: the user sees where the arrows are.
class TAltKeyStyle : public THintStyle
{
public:
    TAltKeyStyle() : THintStyle({{SH_MenuBar_AltKeyNavigation, 1}}) {}

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget && widget->hasFocus()) {
            QStyleOptionMenuItem lit = *item;
            lit.state |= State_Sunken;
            QProxyStyle::drawControl(element, &lit, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// The menu bar hears a lone Alt as its window does: a press, which Qt announces first as a
// shortcut override, then the release. A second one leaves the bar again.
void PressLoneAlt(QMenuBar *AMenuBar)
{
    QWidget *window = AMenuBar->window();
    // A modifier key's event reports its own modifier as changed: made with none, Alt is down.
    QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(window, &release);
}

} // namespace

void EnableMenuBarKeys(QMenuBar *AMenuBar)
{
    auto *style = new TAltKeyStyle;
    // The menu bar keeps a guarded pointer to its style, so the style may go with it.
    style->setParent(AMenuBar);
    AMenuBar->setStyle(style);
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), AMenuBar->window());
    QObject::connect(f10, &QShortcut::activated, AMenuBar, Guard([AMenuBar] { PressLoneAlt(AMenuBar); }));
}
