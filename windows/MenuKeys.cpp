#include "MenuKeys.h"

#include "Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>

namespace {

// Qt walks a menu bar by keyboard after a lone Alt only where the style asks for it, which most
// styles on Linux do not; this one does, and draws as the application's style does.
class TAltKeyStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
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
