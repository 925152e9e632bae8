#pragma once

#include "AtrFld.h"
#include "MetaWin.h"

class TObj;
class TWinCtrlTreeDepChild;
class TWinCtrlTreeFormula;
class TWinCtrlTreeSumFld;

// The attribute panel of a field's card. The controls that only some field types use are
// read-only for the others, and a summing field's two pickers offer only what fits: the links of
// the field's own object to its details, then the fields of the chosen link's detail object that
// have the field's type. A summing field has no formula.
class TWinAtrFld : public TWinMetaAtr<TAtrFld>
{
public:
    using TWinMetaAtr::TWinMetaAtr;

    // The controls of OBJ_ID_V, FLDTYPE_ID, FKRULE_ID_V and FLD_SIZE (nil when the card has none).
    TWinCtrlTree *WinCtrlTreeObj = nullptr;
    TWinCtrlTree *WinCtrlTreeFldType = nullptr;
    TWinCtrlTree *WinCtrlTreeFKRule = nullptr;
    TWinCtrlTree *WinCtrlTreeFldSize = nullptr;
    TWinCtrlTreeDepChild *WinCtrlTreeAgrLink = nullptr;   // DEP_ID_AGR
    TWinCtrlTreeSumFld *WinCtrlTreeAgrField = nullptr;    // FLD_ID_AGR
    TWinCtrlTreeFormula *WinCtrlTreeFormula = nullptr;    // FLD_FRML_V

    // An existing field: the formula is editable only for a type that may have one and a field
    // that sums nothing.
    void SetRecId(const Variant &Value) override;
    std::unique_ptr<TWinCtrlTree> CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree) override;
    // A new field of the object with key AParentId: until a type and a link are chosen, the
    // controls that depend on them are read-only.
    void InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

private:
    std::unique_ptr<TWinCtrlTree> CreateSpecialControl(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree);
    void KeepControl(TWinCtrlTree *ANode);
    void SetCurrentObj(TObj *AObj);
    // The reactions to a new value of FLDTYPE_ID and of DEP_ID_AGR.
    void FldTypeChanged();
    void AgrLinkChanged();

    TObj *FCurrentObj = nullptr;
};
