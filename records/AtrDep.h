#pragma once

#include "Atr.h"

#include <array>

// The words for "on delete" of a link's foreign key, by delete rule.
inline constexpr std::array<const char *, 4> FKRuleSQL{"*NO FKRULE*", "NO ACTION", "CASCADE", "SET NULL"};

// The editor of a link row (DEP): from a master object to the link column of a detail object.
// Saving a new link writes the link column's field row through a field editor (which adds the
// column) and creates the foreign key, in the caller's write transaction; the repository
// follows after the commit.
class TAtrDep : public TAtr
{
public:
    // Set by the field editor that has made the link column itself.
    bool SkipCreateFld = false;

    void CheckUpdate() override;
    void DoAfterCommit() override;
    void SetRecId(const Variant &ARecId) override;
    void Post() override;
    void SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

private:
    Variant ValueOf(const QString &AFldName);
    TObj *ObjOf(const QString &AFldName);
    void CheckNewLink();
    void CheckLinkColumnFree(const TObj &ADetail);
    void CreateLinkFld();
    void CreateForeignKey();
    void RegisterNewLink();
};
