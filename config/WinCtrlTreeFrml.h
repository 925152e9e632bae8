#pragma once

#include "WinCtrlTreeObj.h"

class TWinFormula;

// The formula control of the field card: a read-only buttoned edit showing the field's formula
// as text, whose button (and F2) opens the formula editor on a copy of the formula. The formula
// itself lives in the bound item; the item takes the edited copy only on OK.
//
// Obj is the object that owns the field: its fields, and those reached through its links, are
// the ones the formula may read.
class TWinCtrlTreeFormula : public TWinCtrlTreeObj
{
public:
    using TWinCtrlTreeObj::TWinCtrlTreeObj;

    // The editor while it is open.
    TWinFormula *WinFormula = nullptr;

    Variant GetValue() override;
    void SetValue(const Variant &AValue) override;
    void SelectValue() override;
};
