#pragma once

#include "MDI.h"

#include <memory>

class TWinTbl;

// The MDI window of one business object's table: the user's table view of the object, opened
// at once and filling the window.
class TMDITbl : public TMDI
{
public:
    // Raises when the object has no view the user may see or its select fails; the half-built
    // window then goes with its form.
    TMDITbl(QMdiArea *AOwner, TObj *AObj);
    ~TMDITbl() override;

    TWinTbl *GetWinTbl() const { return WinTbl.get(); }

private:
    std::unique_ptr<TWinTbl> WinTbl;
};
