#pragma once

#include "MDI.h"
#include "ObjectList.h"

#include <functional>
#include <memory>

class QMdiArea;
class TObj;

// The MDI child windows of the main form, at most one per kind and object, in creation order.
// The main form makes the list at login and frees it, closing every window, before the next
// login and on close. A window the user closes leaves the list and is freed.
class TMDIList : public TObjectList<TMDI>
{
public:
    // AOwner is the MDI area of the main form, which hosts every window of the list.
    explicit TMDIList(QMdiArea *AOwner);
    ~TMDIList() override;

    // The window of that kind and object (the object itself, not its caption), brought to the
    // front; created when there is none. Nil for the configurator while no maker is installed.
    TMDI *Show(TMDIType AMDIType, TObj *AObj);

    // Makes the configurator's window. The configurator builds on the windows of this layer,
    // so it installs its maker here when the program starts.
    static std::function<std::unique_ptr<TMDI>(QMdiArea *AOwner)> CreateConfig;

private:
    void MDIFormDestroy(TMDI *AMDI);

    QMdiArea *Owner;
};
