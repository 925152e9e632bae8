#include "ScrollingMenu.h"

#include <QApplication>
#include <QMenu>
#include <QProxyStyle>

namespace {

// Draws as the application's style does; only a menu too tall for the screen scrolls.
class TScrollingMenuStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void MakeMenuScroll(QMenu *AMenu)
{
    auto *style = new TScrollingMenuStyle(QApplication::style()->name());
    // The menu keeps a guarded pointer to its style, so the style may go with it.
    style->setParent(AMenu);
    AMenu->setStyle(style);
}
