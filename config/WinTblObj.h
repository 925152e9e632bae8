#pragma once

#include "WinTblMeta.h"

class TObj;

// The configurator's list of objects (OBJ). Deleting an object drops its table and its sequence
// with its row; once committed, the object leaves the repository with its fields and links.
// A system object is deleted only in developer mode.
class TWinTblObj : public TWinTblMeta
{
public:
    using TWinTblMeta::TWinTblMeta;

    // The repository object of the focused row; nil when no row is focused. Set before the
    // change-focus event fires.
    TObj *CurrentObj = nullptr;

    void DeleteRecord() override;
    void ChangeFocus() override;
    bool ConfirmDelete() override;
    std::unique_ptr<TWinCard> CreateCard(bool ANew) override;
    void AfterDelete() override;

    // Reads the rows again, keeping the focused record focused where it is still there.
    void ReopenKeepingFocus();
};
