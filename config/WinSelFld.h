#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

class TFld;
class TFldList;
class TObj;
class TWinBotBtns;
class TWinObjTree;

// The modal window in which the developer picks one field reachable from an object, a field of
// the object itself or, through link fields, of a linked object.
//
// Calling order: construct, Init, Execute, then read Fld and Path (copy the path: it lives only
// as long as the chooser).
class TWinSelFld
{
public:
    // The window belongs to AOwner and is centred over AParentPosition.
    TWinSelFld(QWidget *AOwner, QWidget *AParentPosition);
    ~TWinSelFld();
    TWinSelFld(const TWinSelFld &) = delete;
    TWinSelFld &operator=(const TWinSelFld &) = delete;

    QPointer<QDialog> Form;
    std::unique_ptr<TWinObjTree> WinObjTree;
    std::unique_ptr<TWinBotBtns> WinBotBtns;
    // After OK: the chosen field and the link fields leading to it, outermost first.
    TFld *Fld = nullptr;
    const TFldList *Path = nullptr;

    void Init(TObj *AObj);
    // Shows the window modally; true when it was closed with OK.
    bool Execute();

private:
    // OK refuses to close while no field is focused.
    void CheckSelected();
};
