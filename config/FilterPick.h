#pragma once

#include "Filter.h"

#include <QString>

class TWinCtrlTreeObj;

// The always-on filter of that name in the table of the control's open value picker; a view
// without it raises, naming it.
TFilter &PickerFilter(const TWinCtrlTreeObj &AControl, const QString &AFilterName);
// The condition node of that name in the filter; a filter without it raises, naming it.
TFilterTree &FilterCondition(const TFilter &AFilter, const QString &ANodeName);
