#pragma once

#include "Filter.h"
#include "ObjectList.h"

#include <memory>

class TIBSQL;
class TTbl;

// A list of filters: the always-on filters of a table view (owning), or the filters a SQL
// builder was given (references).
class TFilterList : public TObjectList<TFilter>
{
public:
    explicit TFilterList(bool AOwnsObjects);
    ~TFilterList() override;

    // Appends the always-on filters of the view: those of the view itself, of its link and
    // of its object. The list is not cleared first.
    void Load(const TTbl &ATbl);
    // The first filter whose name equals AName exactly; nil when none.
    TFilter *GetByName(const QString &AName) const;

private:
    // Made on first use, so a builder's list of references needs no connection.
    TIBSQL &IBSQLS();
    std::unique_ptr<TIBSQL> FIBSQLS;
};
