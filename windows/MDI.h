#pragma once

#include <QMdiSubWindow>
#include <functional>

class QMdiArea;
class TMDI;
class TObj;
class TWinTbl;

// Kinds of MDI window: a plain child, the table of one business object, the configurator.
enum class TMDIType { mtNone, mtObj, mtConfig };

using TMDIEvent = std::function<void(TMDI *AMDI)>;

// The frame of an MDI child. It reports the start of its destruction, while the controls it
// holds still exist, so that the window object behind it can free what it built on them first.
class TMDIForm : public QMdiSubWindow
{
public:
    TMDIForm();
    ~TMDIForm() override;

    std::function<void()> OnDestroy;
};

// Ctrl+F4 closes the active child of the area, as its close button does.
void CloseActiveChildOnCtrlF4(QMdiArea *AArea);

// One MDI child window of the main form. Closing the child frees its form, and the form's
// destruction is reported through OnFormDestroy; freeing the object frees a form still there.
class TMDI
{
public:
    // The child is added to AOwner's MDI area and shown at once, cascaded from the last child
    // within the visible part of the area. It takes no input and no focus until Show: a window
    // whose making fails must not have taken the front, or the maximized state, from the others.
    explicit TMDI(QMdiArea *AOwner);
    virtual ~TMDI();
    TMDI(const TMDI &) = delete;
    TMDI &operator=(const TMDI &) = delete;

    TMDIEvent OnFormDestroy;
    TMDIType MDIType = TMDIType::mtNone;   // set by the list
    TObj *Obj = nullptr;                   // the object shown, set by the list
    // The configurator's window fires it, with its list of objects, when objects were added,
    // changed or deleted; the main form rebuilds its menu of objects then.
    std::function<void(TWinTbl *Sender)> OnObjChangeData;

    // Makes the window visible and brings it to the front of the MDI children.
    void Show();

    // The child's frame (nil once it has been destroyed) and the area inside it that holds
    // the window's controls.
    QMdiSubWindow *GetForm() const { return Form; }
    QWidget *Client() const;

protected:
    TMDIForm *Form = nullptr;

private:
    void FormDestroy();
};
