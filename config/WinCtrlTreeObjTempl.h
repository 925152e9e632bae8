#pragma once

#include "WinCtrlTreeObj.h"

class TWinObjTempl;

// The value-template control of the object card: an edit for the template text whose button
// (and F2) opens the editor of the template's fields on a copy of the bound item's list. OK puts
// the edited copy back and marks it modified, so that the object's editor rewrites the template
// rows; the text stays as typed.
//
// Obj is the object whose template is edited; a new object has none yet.
class TWinCtrlTreeObjTempl : public TWinCtrlTreeObj
{
public:
    using TWinCtrlTreeObj::TWinCtrlTreeObj;

    // The editor while it is open.
    TWinObjTempl *WinObjTempl = nullptr;

    Variant GetValue() override;
    void SetValue(const Variant &AValue) override;
    void SelectValue() override;
};
