#include "FilterPick.h"

#include "FilterList.h"
#include "FilterTree.h"
#include "Func.h"
#include "WinCtrlTreeObj.h"
#include "WinSelVal.h"
#include "WinTbl.h"

TFilter &PickerFilter(const TWinCtrlTreeObj &AControl, const QString &AFilterName)
{
    TFilter *filter = AControl.WinSelVal ? AControl.WinSelVal->WinTbl->FilterList->GetByName(AFilterName) : nullptr;
    if (!filter || !filter->FilterTreeRoot)
        throw ExceptionPos(Format(QStringLiteral("Фильтр \"%s\" не найден."), {AFilterName}), AControl.WinControl);
    return *filter;
}

TFilterTree &FilterCondition(const TFilter &AFilter, const QString &ANodeName)
{
    TFilterTree *node = AFilter.GetFilterTreeByName(ANodeName);
    if (!node)
        throw ExceptionPos(Format(QStringLiteral("В фильтре \"%s\" нет условия \"%s\"."), {AFilter.Name(), ANodeName}));
    return *node;
}
