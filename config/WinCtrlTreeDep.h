#pragma once

#include "WinCtrlTreeObj.h"

// The field card's control of the link whose detail rows a summing field sums: its picker lists
// only the links in which the object of the edited field is the master.
class TWinCtrlTreeDepChild : public TWinCtrlTreeObj
{
public:
    using TWinCtrlTreeObj::TWinCtrlTreeObj;

    // The key of the object whose child links may be chosen; the field panel sets it.
    Variant ObjId;

    QString GetSelTblName() override;
    // Raises the variant error while ObjId is not set.
    void SetFilterParams() override;
};
