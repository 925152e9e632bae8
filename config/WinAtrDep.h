#pragma once

#include "AtrDep.h"
#include "MetaWin.h"

// The attribute panel of a link's card: the detail object of a new link is picked among the
// objects of the repository.
class TWinAtrDep : public TWinMetaAtr<TAtrDep>
{
public:
    using TWinMetaAtr::TWinMetaAtr;

    std::unique_ptr<TWinCtrlTree> CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree) override;
};
