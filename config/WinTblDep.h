#pragma once

#include "WinTblMeta.h"

class TObj;
class TObjLink;

// The configurator's list of the links in which one object is the master (DEP). Deleting a link
// drops its link column from the detail table and deletes the column's field row with the link
// row; once committed, the link and its field leave the repository. A system link is deleted
// only in developer mode.
class TWinTblDepChildObj : public TWinTblMeta
{
public:
    using TWinTblMeta::TWinTblMeta;

    TObj *ParentObj = nullptr;              // the master whose links are listed
    TObjLink *CurrentObjLink = nullptr;     // the link of the focused row; nil when none

    void DeleteRecord() override;
    void ChangeFocus() override;
    bool ConfirmDelete() override;
    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
    void AfterDelete() override;
    void SetParentId(const Variant &Value) override;

protected:
    // The new link with its link field.
    TFreedEntries AddedEntries(const Variant &ARecId) const override;
};

// The configurator's read-only list of the links in which one object is the detail: the links
// whose link field belongs to the object.
class TWinTblDepParentObj : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    // The master key filters the links by the object of their link field (FLD.OBJ_ID through
    // DEP.FLD_ID) instead of by their master.
    void Prepare() override;
};
