#pragma once

#include <QProxyStyle>
#include <map>

// The application's style, drawing as it does, with some of its hints answered otherwise; the
// widget it is set on keeps a guarded pointer to it, so it may be given that widget as parent.
class THintStyle : public QProxyStyle
{
public:
    explicit THintStyle(const std::map<StyleHint, int> &AHints);

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;

private:
    std::map<StyleHint, int> FHints;
};
