#pragma once

class QMenuBar;

// Opens a window's menu bar to the keyboard as on the desktop the forms were made for: F10, or
// Alt pressed and released on its own, lights the first menu without opening it; the arrows move
// along the bar and open a menu, Esc hands the keys back to the control that had them.
void EnableMenuBarKeys(QMenuBar *AMenuBar);
