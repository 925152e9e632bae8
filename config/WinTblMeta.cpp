#include "WinTblMeta.h"

#include "Atr.h"
#include "FreedEntries.h"
#include "Func.h"
#include "Main.h"
#include "MetaDelete.h"

bool TWinTblMeta::ConfirmFree(bool ALoaded, bool ASys, const QString &ASysMessage, const QString &ARefusal,
                              const std::function<TFreedEntries()> &AEntries)
{
    if (!ALoaded)
        throw ExceptionPos::Fmt(QStringLiteral("Запись с кодом %s не найдена в репозитории."), {FocusedRecId()}, vt);
    if (ASys && !DevMode)
        throw ExceptionPos(ASysMessage, vt);
    if (!ARefusal.isEmpty())
        throw ExceptionPos(ARefusal, vt);
    const TFreedEntries entries = AEntries();
    entries.CheckReaders(vt);
    CheckSummingReaders(entries, vt);
    if (EntryUsers)
        EntryUsers->CheckRelease(entries);
    return TWinTbl::ConfirmDelete();
}

void TWinTblMeta::Release(const TFreedEntries &AEntries)
{
    if (EntryUsers)
        EntryUsers->Release(AEntries, *this);
}

void TWinTblMeta::AtrAfterCommit(TAtr *Sender)
{
    const bool added = Sender->New();
    TWinTbl::AtrAfterCommit(Sender);
    if (added && EntryUsers)
        EntryUsers->Added(AddedEntries(Sender->RecId()), *this);
}

TFreedEntries TWinTblMeta::AddedEntries(const Variant & /*ARecId*/) const
{
    return {};
}
