#pragma once

class QMenu;

// A menu taller than the screen scrolls in one column, with arrows at its ends, instead of
// spreading into columns that run off the screen's edge: a menu of as many items as there are
// business objects stays within reach of the mouse however many objects there are.
void MakeMenuScroll(QMenu *AMenu);
