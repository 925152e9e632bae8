#pragma once

#include "WinCtrlTreeObj.h"

class TAtrDealRow;

// The product control of a product row of a payment or a shipment: once the row's payment or
// shipment is chosen, its picker lists only the products of that deal, the only ones the row
// may take.
class TWinCtrlTreeDealProd : public TWinCtrlTreeObj
{
public:
    TWinCtrlTreeDealProd(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree, TAtrDealRow &ARow);

    void SetFilterParams() override;

private:
    TAtrDealRow &FRow;
};
