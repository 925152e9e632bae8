#pragma once

#include "ObjectList.h"
#include "WinToolBar.h"

#include <QFrame>
#include <QPointer>
#include <QPushButton>

// Kinds of bottom buttons: OK (Enter presses it) and Cancel (Escape presses it) close a modal
// window with their result; the others only run their click handler.
enum class TButtonType { btNone, btOk, btCancel };

// A push button at the bottom of a modal window. When its click handler fails, the window it
// belongs to stays open and the error goes on to the error box.
class TWinBotBtn : public QPushButton
{
public:
    TWinBotBtn(const QString &ACaption, QWidget *AParent);

    TButtonType ButtonType = TButtonType::btNone;
    // The result the click gives the modal window holding the button (mrNone: none).
    int ModalResult = 0;
    TClickEvent OnClick;
    // The distance kept from the right edge of the panel when it is resized.
    int RightMargin = 0;
    // The form the button belongs to: its result, its Escape key, and only it, are the button's.
    QPointer<QWidget> Form;

    // The click: the window's result becomes the button's, then the handler runs; a handler
    // that raises withdraws the result again (for OK and Cancel) and the exception passes on.
    // A result that stands once the handler is done closes a modal window.
    void Click();
};

// The strip of push buttons at the bottom of a modal window, laid out from the right edge to
// the left: each button 75 × 25 at the top 8, the first 8 pixels from the right edge and each
// further one 83 pixels to the left of the one before. The buttons belong to the panel.
//
// The buttons act on their own form only. A form that is a dialog of its own closes with their
// results and presses "ОК" for Enter; a form shown inside another window (a card previewed in a
// designer) keeps standing, and neither its Enter nor its Escape reaches the window around it.
class TWinBotBtns : public TObjectList<TWinBotBtn>
{
public:
    // The panel, 41 high, docks at the bottom of AParent; AOwner is the form of the buttons.
    TWinBotBtns(QWidget *AOwner, QWidget *AParent);
    // The panel docks at the bottom of the form itself.
    explicit TWinBotBtns(QWidget *AOwner) : TWinBotBtns(AOwner, AOwner) {}
    ~TWinBotBtns() override;

    TWinBotBtn *AddButton(const QString &ACaption, TClickEvent AOnClick, TButtonType AButtonType);
    // "Отмена" at the right edge, "ОК" to its left. Without a cancel handler the button still
    // closes the window through its result.
    void AddOkCancelBtns(TClickEvent AOkNotifyEvent, TClickEvent ACancelNotifyEvent);
    // The first button of the kind in adding order, or nil.
    TWinBotBtn *GetButton(TButtonType AButtonType) const;

    // The panel's height, which a card adds to its form's height.
    int Height() const;
    QFrame *GetPanel() const { return Panel; }

private:
    // A form that is a window of its own, not one placed inside another window.
    bool OwnerIsDialog() const;

    QPointer<QWidget> Owner;
    QPointer<QFrame> Panel;
};
