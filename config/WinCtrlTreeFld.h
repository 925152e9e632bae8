#pragma once

#include "WinCtrlTreeObj.h"

// The field card's control of the field a summing field sums: its picker lists only the fields
// of the detail object of the chosen link that have the summing field's own type.
class TWinCtrlTreeSumFld : public TWinCtrlTreeObj
{
public:
    using TWinCtrlTreeObj::TWinCtrlTreeObj;

    // The key of the detail object and the code of the required field type; the field panel
    // sets them.
    Variant ObjId;
    Variant FldTypeId;

    QString GetSelTblName() override;
    // Raises the variant error while either value is not set.
    void SetFilterParams() override;
};
