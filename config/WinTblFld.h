#pragma once

#include "WinTbl.h"

class TEntryUsers;
class TFld;
class TObj;

// The configurator's list of the fields of one object (FLD). Deleting a field drops what the
// schema holds of it with its row: a summing field's triggers, a stored field's column; once
// committed, the field leaves its object, with its link when it is a link field. A system field
// is deleted only in developer mode, a key field only with its object.
class TWinTblFld : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    TObj *ParentObj = nullptr;    // the object whose fields are listed
    TFld *CurrentFld = nullptr;   // the field of the focused row; nil when none
    TEntryUsers *EntryUsers = nullptr;

    void DeleteRecord() override;
    void ChangeFocus() override;
    bool ConfirmDelete() override;
    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
    void AfterDelete() override;
    void SetParentId(const Variant &Value) override;

private:
    void DropTriggersAlone();
};
