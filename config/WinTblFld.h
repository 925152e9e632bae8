#pragma once

#include "WinTblMeta.h"

class TFld;
class TObj;

// The configurator's list of the fields of one object (FLD). Deleting a field drops what the
// schema holds of it with its row: a summing field's triggers, a stored field's column; once
// committed, the field leaves its object, with its link when it is a link field. A system field
// is deleted only in developer mode, a key field only with its object.
class TWinTblFld : public TWinTblMeta
{
public:
    using TWinTblMeta::TWinTblMeta;

    TObj *ParentObj = nullptr;    // the object whose fields are listed
    TFld *CurrentFld = nullptr;   // the field of the focused row; nil when none

    void DeleteRecord() override;
    void ChangeFocus() override;
    bool ConfirmDelete() override;
    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
    void AfterDelete() override;
    void SetParentId(const Variant &Value) override;

protected:
    // The new field, with its link when it is a link field.
    TFreedEntries AddedEntries(const Variant &ARecId) const override;

private:
    void DropTriggersAlone();
};
