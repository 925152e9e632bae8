#pragma once

#include "CodeTables.h"
#include "SObj.h"

#include <memory>

class TFld;
class TFilterTree;

// A condition on the records of a table: a row of FLTR with its condition tree. Stored
// filters are loaded by id; the record editors and windows also make filters in memory,
// whose root they build in code and whose value they set before each run.
class TFilter : public TSObj
{
public:
    TFilter();   // from the repository's description of FLTR
    ~TFilter() override;

    std::unique_ptr<TIBSQL> IBSQLS;    // the filter row and the tree rows
    std::unique_ptr<TIBSQL> IBSQLS2;   // the path rows
    std::unique_ptr<TFilterTree> FilterTreeRoot;
    bool RaiseLoad = false;

    int Id() const { return GetInteger(QStringLiteral("FLTR_ID")); }
    QString Name() const { return GetString(QStringLiteral("FLTR_NAME")); }
    void SetName(const QString &v) { SetValue(QStringLiteral("FLTR_NAME"), v); }

    // Frees the tree.
    void Clear();
    // Loads the row and its tree; false (or "Фильтр не найден." with RaiseLoad) when absent.
    bool LoadById(int AId);
    // The first node in pre-order whose name equals AName exactly; nil when none.
    TFilterTree *GetFilterTreeByName(const QString &AName) const;
    // Replaces the tree by a single root node of the type on the field and returns the node,
    // whose value the caller sets: the key filter of an editor is CreateRoot(fttEqual, PKFld).
    TFilterTree *CreateRoot(TFilterTreeType AType, TFld *AFld);

private:
    void LoadTree();
};
