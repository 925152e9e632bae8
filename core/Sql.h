#pragma once

#include "ObjectList.h"

#include <QString>
#include <QStringList>
#include <memory>

class TFilter;
class TFilterList;
class TFilterTree;
class TFld;
class TFldList;
class TIBSQL;
class TObj;
class TTbl;
class TTblTree;

// One table of a statement: the main table, or a master table reached through a link field.
class TJoin
{
public:
    int Index = 0;               // the alias is T followed by this number
    TObj *Obj = nullptr;         // whose table the join reads
    TJoin *Join = nullptr;       // the join on whose table JoinFld lies; nil for the main table
    TFld *JoinFld = nullptr;     // the link field whose value is this row's key
    bool ByTbl = false;          // made or reused by a table view's columns: survives ClearNotTbl
    bool Left = false;           // an outer join
};

// One output field: a select column, an insert column, an update assignment.
class TSelFld
{
public:
    TFld *Fld = nullptr;
    TJoin *Join = nullptr;           // whose alias prefixes the column
    TTblTree *TblTree = nullptr;     // the view's column node that produced the field
    bool Editable = false;           // kept for the callers; the builder never looks at it
};

// Writes the select, insert, update and delete texts for a business object's table from the
// metadata: master tables along link fields as joins with aliases T0, T1 ..., each field's
// caption as a comment, filters as a where clause with numbered parameters.
class TSQL
{
public:
    TSQL();
    ~TSQL();
    TSQL(const TSQL &) = delete;
    TSQL &operator=(const TSQL &) = delete;

    TObjectList<TJoin> JoinList{true};          // element 0 is the main table
    TObjectList<TSelFld> SelFldList{true};
    std::unique_ptr<TFilterList> FilterList;     // references, in the order added
    int LastJoinIndex = -1;
    int LastParamIndex = -1;

    TObj *Obj() const { return FObj; }
    // Starts over on the object (nil allowed): every list emptied, numbering from 0.
    void SetObj(TObj *AObj);
    void CheckObj() const;

    TSelFld *AddFld(TFld *AFld);
    // Joins along APath (link fields, the first one a field of the main object) and returns
    // the join that holds AFld, adding AFld as an output field when AddingSelFld.
    TJoin *AddFldPath(TFld *AFld, const TFldList &APath, bool AddingSelFld, bool SkipFirstPath);
    // The view's key field, then its column tree in pre-order.
    void AddTbl(const TTbl &ATbl);
    // Joins the filter's paths and numbers its nodes; the filter stays the caller's.
    void AddFilter(TFilter *AFilter);
    // Drops the filters and the joins only they needed, for a re-build of the same view.
    void ClearNotTbl();

    QString GetSelectSQL() const;
    QString GetInsertSQL() const;
    QString GetUpdateSQL() const;
    // The same update for a writer that read the row earlier: it changes the row only while
    // every field of AUnchanged still holds the value the writer read (bound to the parameter
    // OldValueParam of the field), and returns the row's key, Null when it changed nothing.
    QString GetUpdateSQL(const QList<const TFld *> &AUnchanged) const;
    static QString OldValueParam(const TFld *AFld);
    QString GetDeleteSQL() const;
    // Copies the filters' values into the numbered parameters of the statement.
    void SetParams(TIBSQL &AIBSQL) const;
    // The output field that the view's column of AFld produced; nil when none.
    TSelFld *GetSelFld(const TFld *AFld) const;

private:
    TJoin *RootJoin() const { return JoinList.First(); }
    int NextJoinIndex() { return ++LastJoinIndex; }
    int NextParamIndex() { return ++LastParamIndex; }
    TJoin *AddJoin(TFld *AFld, TJoin *AJoin);
    TSelFld *AddSelFld(TFld *AFld, TJoin *AJoin);
    void AddTblTree(TTblTree *ANode, TJoin *AJoin);
    void CheckFilterTree(const TFilter &AFilter, TFilterTree *ANode) const;
    void NumberFilterTree(TFilterTree *ANode);
    void SetFilterTreeParams(TIBSQL &AIBSQL, TFilterTree *ANode) const;
    QStringList UpdateLines() const;
    void AddSQLWhere(QStringList &ALines) const;
    void AddSQLFilterTree(QStringList &ALines, const TFilter &AFilter, TFilterTree *ANode,
                          const QString &AIndent) const;

    TObj *FObj = nullptr;
};
