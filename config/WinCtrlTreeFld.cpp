#include "WinCtrlTreeFld.h"

#include "FilterPick.h"
#include "FilterTree.h"
#include "Func.h"

QString TWinCtrlTreeSumFld::GetSelTblName()
{
    return QStringLiteral("AgrFld");
}

void TWinCtrlTreeSumFld::SetFilterParams()
{
    VarCheckNotNull(ObjId);
    VarCheckNotNull(FldTypeId);
    TFilter &filter = PickerFilter(*this, QStringLiteral("AgrFld"));
    FilterCondition(filter, QStringLiteral("Obj")).SetValue(ObjId);
    FilterCondition(filter, QStringLiteral("Type")).SetValue(FldTypeId);
}
