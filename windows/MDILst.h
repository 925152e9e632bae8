#pragma once

#include <QList>
#include <utility>

class QMdiArea;
class TMDI;
class TObj;

// Kinds of MDI window: a plain child, the table of one business object, the configurator.
enum class TMDIType { mtNone, mtObj, mtConfig };

// The MDI child windows of the main form, at most one per kind and object. The main form makes
// the list at login and frees it, closing every window, before the next login and on close.
class TMDIList
{
public:
    explicit TMDIList(QMdiArea *AOwner);
    ~TMDIList();
    TMDIList(const TMDIList &) = delete;
    TMDIList &operator=(const TMDIList &) = delete;

    // The window of that kind and object, brought to the front.
    TMDI *Show(TMDIType AMDIType, TObj *AObj);

    // Every window asked for, in order of asking.
    QList<std::pair<TMDIType, TObj *>> Requests;

private:
    QMdiArea *Owner;
};
