#pragma once

#include "AtrItem.h"
#include "Exception.h"
#include "ObjectList.h"
#include "Variant.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TAtr;
class TCurrRateTable;
class TFilter;
class TFld;
class TFormulaTree;
class TIBSQL;
class TObj;
class TObjLink;
class TSObj;
class TSQL;

// A record failed a field check; the card focuses the control of the item.
class ECheckFldException : public Exception
{
public:
    ECheckFldException(const QString &Msg, TAtrItem *AAtrItem) : Exception(Msg), AtrItem(AAtrItem) {}
    static ECheckFldException CreateAtrItem(const QString &Msg, TAtrItem *AAtrItem)
    {
        return ECheckFldException(Msg, AAtrItem);
    }
    static ECheckFldException CreateFmtAtrItem(const QString &Msg, TAtrItem *AAtrItem, const QList<Variant> &Args);

    TAtrItem *AtrItem = nullptr;
};

using TAtrNotifyEvent = std::function<void(TAtr *ASender)>;

// The record editor: one row of one object, loaded by key or prepared as a new row with its
// defaults and master link, its computed fields kept up to date while values change, checked
// and written. It owns one item per field anybody asked for, in the order of creation, which
// is the order of the columns in its statements.
//
// The caller owns the write transaction: it starts it, calls Post and then Commit, and rolls
// back on any error; the editor keeps its state, so the user can correct and post again.
class TAtr : public TObjectList<TAtrItem>
{
public:
    TAtr();
    ~TAtr() override;

    std::unique_ptr<TSQL> SelectSQL;
    std::unique_ptr<TSQL> InsertSQL;
    std::unique_ptr<TSQL> UpdateSQL;
    std::unique_ptr<TCurrRateTable> CurrRateTable;
    std::unique_ptr<TFilter> PKFilter;    // key filter: one fttEqual root on the key field
    std::unique_ptr<TIBSQL> IBSQLS;       // read transaction: load and refresh
    std::unique_ptr<TIBSQL> IBSQLC;       // write transaction: the subclasses' DDL (inserts and updates
                                          // run on the object's shared statements, TObj::WriteSQL)
    TAtrNotifyEvent OnAfterCommit;

    const Variant &RecId() const { return FRecId; }
    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);
    bool New() const { return FNew; }

    // The item of a field of the object, or nil; a field of another object raises.
    TAtrItem *GetByFld(TFld *AFld) const;
    TAtrItem *GetByFldName(const QString &AFldName) const;
    // The item of the field, created when there is none yet. Never nil.
    TAtrItem *GetAddByFld(TFld *AFld);
    TAtrItem *GetAddByFldName(const QString &AFldName);

    // Writes every column the current record carries; the caller commits.
    void Commit();
    // Re-reads the summing fields of the current record after its details changed.
    void RefreshArgFlieds();
    // Each named value of the row as an ordinary change of the item of that name.
    void CopyDataFrom(const TSObj &ASObj);

    // Extension points of the metadata editors, in this order.
    virtual void BeforeInsert();
    virtual void AtrItemChange(TAtrItem *AAtrItem);
    virtual void CheckInsert();
    virtual void CheckUpdate();
    virtual void DoAfterCommit();
    virtual void SetRecId(const Variant &ARecId);
    virtual std::unique_ptr<TAtrItem> CreateAtrItem(TFld *AFld);
    virtual void Post();
    virtual void SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId);
    virtual bool Modified() const;

protected:
    // Each item's value into the row's value of the same column name.
    void CopyDataTo(TSObj &ASObj) const;
    // Evaluates the item's formula and sets the result as an ordinary change.
    void CalcAtrItem(TAtrItem *AAtrItem);
    // Gives every computed field and every argument an item, points the master-key formulas at
    // the master record (AObjLink) and registers who reads whom.
    void InitFormulas(TObjLink *AObjLink);

    Variant FRecId = Variant::Null();
    TObj *FObj = nullptr;
    bool FNew = false;

private:
    // The write transaction (its number) that holds what the last post wrote; 0: none.
    quint64 FPostedIn = 0;

    TAtrItem *ArgAtrItem(const TFormulaTree *ANode);
    void CopyFormulas();
    void RewriteParId(TObjLink *AObjLink);
    void RegisterFormulaTree(TAtrItem *AFormulaItem, TFormulaTree *ANode);
    void CheckFormulaCycles();
    Variant CalcFormulaTree(const TFormulaTree *ANode);
    bool HasFormula(const TAtrItem *AAtrItem) const;
    // Runs the select of the given items' columns for the current key; false when it has none.
    bool ExecSelect(const std::function<bool(const TAtrItem *)> &AWhich, const QString &ACaption);
    // The values one post writes, item by item, as their columns take them.
    using TWritten = std::vector<std::pair<TAtrItem *, Variant>>;
    // The item's value as its column takes it, set as its parameter and noted in AWritten.
    void SetParam(TIBSQL &AIBSQL, TAtrItem *AAtrItem, TWritten &AWritten) const;
    void PostUpdate();
    // What the row holds in the item's column as far as this editor knows; Unassigned: unknown.
    static Variant RowValue(const TAtrItem *AAtrItem);
    // After a post: the values written belong to the open write transaction.
    void RememberPosted(const TWritten &AWritten);
    // What the last post wrote is what the row holds once its transaction committed; gone
    // when it ended any other way.
    void SettlePosted(bool ACommitted);
    bool PostedStillOpen() const;
    QString ObjCapt() const;
};
