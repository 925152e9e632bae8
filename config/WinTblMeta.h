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

    // The window that shows what the list deletes elsewhere; none outside the configurator.
    TEntryUsers *EntryUsers = nullptr;

protected:
    // Refuses a focused row the repository has not loaded (ALoaded false), a system row (ASys)
    // outside developer mode with ASysMessage, a row with a refusal of its own (ARefusal not
    // empty), and a row whose entries something still reads; then asks the question.
    bool ConfirmFree(bool ALoaded, bool ASys, const QString &ASysMessage, const QString &ARefusal,
                     const std::function<TFreedEntries()> &AEntries);
    // Before the entries are freed: nothing else shows them any more.
    void Release(const TFreedEntries &AEntries);
};
