#include "HintStyle.h"

#include <QApplication>

THintStyle::THintStyle(const std::map<StyleHint, int> &AHints)
    : QProxyStyle(QApplication::style()->name()), FHints(AHints)
{
}

int THintStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                          QStyleHintReturn *returnData) const
{
    if (const auto found = FHints.find(hint); found != FHints.end())
        return found->second;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
