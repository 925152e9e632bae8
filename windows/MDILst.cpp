#include "MDILst.h"

TMDIList::TMDIList(QMdiArea *AOwner) : Owner(AOwner)
{
}

TMDIList::~TMDIList() = default;

TMDI *TMDIList::Show(TMDIType AMDIType, TObj *AObj)
{
    // The table and configurator windows are not part of the program yet: the request is kept
    // and no window opens.
    Requests.append({AMDIType, AObj});
    return nullptr;
}
