#pragma once

#include "Func.h"

class QWidget;

// The message boxes of the lower layers: core's MsgDlg reaches this object through its hooks.
class TWinUserHooks : public TUserHooks
{
public:
    // Shows a modal message box with the system's captions and returns the modal result of the
    // button pressed (mrYes, mrNo ...). `parent`, when it is a widget, is the control the box is
    // centred over; otherwise the box is centred over the window the user is working in.
    int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent) override;
};

// Places a form, before it is shown, centred over the control `AParent` and kept within the
// screen's work area (its width and height only); a window is centred with its frame, taken as
// the frame of AParent's window while it has none yet. Without a control the form is left to be
// centred over its parent window when it is shown.
void PositionForm(QWidget *AParent, QWidget *AForm);
