#pragma once

#include "AtrObj.h"
#include "MetaWin.h"

// The attribute panel of an object's card: the value template's control edits the template of
// the loaded object (a new object has none yet).
class TWinAtrObj : public TWinMetaAtr<TAtrObj>
{
public:
    using TWinMetaAtr::TWinMetaAtr;

    void SetRecId(const Variant &Value) override;
    std::unique_ptr<TWinCtrlTree> CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree) override;
};
