#pragma once

#include "Atr.h"

// The editor of a table view row (TBL): a new view starts with the root of its column tree, the
// key field of the object it shows, so the column tree editor always finds a root to build on.
class TAtrTbl : public TAtr
{
public:
    void CheckInsert() override;
    void Post() override;

private:
    // The key field of the view's object, or of the detail object of the view's link.
    TFld *RootFld();
};
