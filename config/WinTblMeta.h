#pragma once

#include "WinTbl.h"

#include <functional>

class TEntryUsers;
class TFreedEntries;

// A configurator list whose deletes free repository entries (objects, fields, links): the
// refusals they share, and the window that shows the entries elsewhere.
class TWinTblMeta : public TWinTbl
{
public:
    using TWinTbl::TWinTbl;

    // The window that shows what the list adds and deletes elsewhere; none outside the configurator.
    TEntryUsers *EntryUsers = nullptr;

    // A new record's row placed, the window around is told what the record brought.
    void AtrAfterCommit(TAtr *Sender) override;

protected:
    // Refuses a focused row the repository has not loaded (ALoaded false), a system row (ASys)
    // outside developer mode with ASysMessage, a row with a refusal of its own (ARefusal not
    // empty), and a row whose entries something still reads; then asks the question.
    bool ConfirmFree(bool ALoaded, bool ASys, const QString &ASysMessage, const QString &ARefusal,
                     const std::function<TFreedEntries()> &AEntries);
    // Before the entries are freed: nothing else shows them any more.
    void Release(const TFreedEntries &AEntries);
    // The repository entries that the new record with the key has brought; by default none that
    // another list shows.
    virtual TFreedEntries AddedEntries(const Variant &ARecId) const;
};
