#include "ScrollingMenu.h"

#include "HintStyle.h"

#include <QMenu>

void MakeMenuScroll(QMenu *AMenu)
{
    auto *style = new THintStyle({{QStyle::SH_Menu_Scrollable, 1}});
    style->setParent(AMenu);
    AMenu->setStyle(style);
}
