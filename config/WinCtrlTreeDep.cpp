#include "WinCtrlTreeDep.h"

#include "FilterPick.h"
#include "FilterTree.h"
#include "Func.h"

QString TWinCtrlTreeDepChild::GetSelTblName()
{
    return QStringLiteral("AgrLink");
}

void TWinCtrlTreeDepChild::SetFilterParams()
{
    VarCheckNotNull(ObjId);
    PickerFilter(*this, QStringLiteral("AgrLink")).FilterTreeRoot->SetValue(ObjId);
}
