#pragma once

#include "WinCtrlTree.h"

class TObj;
class TWinSelVal;

// The control of a link field: a read-only edit showing the chosen record as the linked
// object's value template writes it, with a button (and F2) that opens the value picker over
// the linked object's records. Its value is the chosen record's key.
class TWinCtrlTreeObj : public TWinCtrlTree
{
public:
    TWinCtrlTreeObj(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree);
    ~TWinCtrlTreeObj() override;

    Variant ObjRecId = Variant::Null();
    // The picker while it is open.
    TWinSelVal *WinSelVal = nullptr;
    // The object whose records are picked: the link field's target; for a virtual link field
    // the owner of the control sets it.
    TObj *Obj = nullptr;

    Variant GetValue() override;
    void SetValue(const Variant &AValue) override;

    // Opens the picker; a record chosen with OK becomes the value (OK on no row clears it).
    virtual void SelectValue();
    // Sets the filter values of the picker's table between its preparation and its opening.
    virtual void SetFilterParams();

protected:
    // Shows the text in the edit. The bound item takes the value exactly once: the edit reports
    // only a text that changes, so an unchanged text is reported here.
    void ShowEditText(const QString &AText);

private:
    void EditKeyDown(int AKey);
};
