#pragma once

#include "ColumnAt.h"
#include "SObj.h"

#include <QHash>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class TFld;
class TFormulaTree;
class TObjValue;
class TFldList;
class TObjLink;
class TObjLinkList;
class TTemplFldList;
class TObjList;
struct TRepoRows;

// Receives the repository load's progress.
using TNotifyPosition = std::function<void(int APos, int AMax)>;

// A business object, that is a table of the database: a row of OBJ with its fields and links.
class TObj : public TSObj
{
public:
    TObj();                                  // from the repository's description of OBJ
    explicit TObj(const TIBSQL &AIBSQL);     // from a query's columns, during the load
    ~TObj() override;

    // The object's read statement, made when first needed.
    TIBSQL &IBSQLS();
    TFld *PKFld = nullptr;
    std::unique_ptr<TFldList> FldList;          // owned, virtual fields included
    std::unique_ptr<TObjLinkList> ParentList;   // links in which this object is the detail
    std::unique_ptr<TObjLinkList> ChildList;    // links in which it is the master (owned)
    std::unique_ptr<TTemplFldList> TemplFldList;  // the value template's fields

    int Id() const { return FIdAt.Of(*this, QStringLiteral("OBJ_ID")).AsInteger(); }
    void SetId(int v) { SetValue(QStringLiteral("OBJ_ID"), v); }
    QString Table() const { return FTableAt.Of(*this, QStringLiteral("OBJ_TABLE")).AsString(); }
    void SetTable(const QString &v) { SetValue(QStringLiteral("OBJ_TABLE"), v); }
    QString Capt() const { return GetString(QStringLiteral("OBJ_CAPT")); }
    void SetCapt(const QString &v) { SetValue(QStringLiteral("OBJ_CAPT"), v); }
    QString Capt2() const { return GetString(QStringLiteral("OBJ_CAPT2")); }
    void SetCapt2(const QString &v) { SetValue(QStringLiteral("OBJ_CAPT2"), v); }
    bool Meta() const { return GetBoolean(QStringLiteral("OBJ_META")); }
    void SetMeta(bool v) { SetValue(QStringLiteral("OBJ_META"), v); }
    bool Ref() const { return GetBoolean(QStringLiteral("OBJ_REF")); }
    void SetRef(bool v) { SetValue(QStringLiteral("OBJ_REF"), v); }
    bool Sys() const { return GetBoolean(QStringLiteral("OBJ_SYS")); }
    void SetSys(bool v) { SetValue(QStringLiteral("OBJ_SYS"), v); }
    QString Templ() const { return GetString(QStringLiteral("OBJ_TEMPL")); }
    void SetTempl(const QString &v) { SetValue(QStringLiteral("OBJ_TEMPL"), v); }

    // Reads the object's fields from FLD; the key field becomes PKFld.
    void LoadFields();
    // Reads the formulas of the computed fields and the value template from the rows the
    // repository load read for every object at once.
    void LoadFormuls(const TRepoRows &ARows);
    void LoadTempl(const TRepoRows &ARows);
    // Takes a field read from FLD: it becomes the object's, and its key field when it is one.
    TFld *AddLoadedFld(std::unique_ptr<TFld> AFld);
    TFld *GetFldById(int AFldId) const;
    TFld *GetFldByName(const QString &AFldName) const;
    // A new key for a record of the object, from the generator named like its key column.
    int GetNewId();
    // A statement on the write transaction holding the text: record editors of the object share
    // it, so an insert or update of the same columns is prepared once, not once per editor.
    TIBSQL &WriteSQL(const QString &AText);
    // The record's display text: the value template filled with its fields' values.
    QString GetValueById(int AId);
    // Frees the statements the object keeps for its records; they are made again when needed.
    // The database drops no table that a prepared statement of the connection reads.
    void ReleaseStatements();

private:
    friend class TObjList;
    void SetUp();
    void LoadFormula(TFld &AFld, const TRepoRows &ARows);
    std::unique_ptr<TFormulaTree> LoadFormulaNode(const TSObj &ARow, const TRepoRows &ARows);
    std::unique_ptr<TObjValue> LoadTemplField(const TSObj &ARow, const TRepoRows &ARows);
    void CheckTemplate() const;

    TColumnAt FIdAt;      // the columns every lookup reads
    TColumnAt FTableAt;
    std::unique_ptr<TIBSQL> FIBSQLS;
    std::unique_ptr<TIBSQL> FGenSQL;
    std::vector<std::pair<QString, std::unique_ptr<TIBSQL>>> FWriteSQLs;   // the latest first
    const TObjList *FIndexedIn = nullptr;   // the repository whose index lists it
    int FIndexKey = 0;
    QString FTableKey;
};

// Why the value template of the text ATempl over AFldCount fields cannot give a record's text
// (the message names the object AObjCapt), or an empty text when it can.
QString TemplateFault(const QString &AObjCapt, const QString &ATempl, int AFldCount);
// The same for a template being edited, where neither text nor fields means no template at all:
// only text and fields that disagree are a fault.
QString TemplateMismatch(const QString &AObjCapt, const QString &ATempl, int AFldCount);

// Rows of the formula and template tables, grouped by their owner's id, in the order read.
struct TRepoRows
{
    TRepoRows();
    ~TRepoRows();
    using TRows = std::vector<std::unique_ptr<TSObj>>;
    std::unordered_map<int, TRows> FormulaNodes;           // FRMLTREE by FLD_ID
    std::unordered_map<int, std::vector<Variant>> FormulaPaths;   // FRMLTRPT's FLD_ID by FRMLTREE_ID
    std::unordered_map<int, TRows> TemplFields;            // OBJVALUE by OBJ_ID
    std::unordered_map<int, std::vector<Variant>> TemplPaths;     // OBJVALPT's FLD_ID by OBJVALUE_ID

    // Runs the four selects.
    void Read();
};

// The metadata repository: every object with its fields and links, loaded at login.
// Objects, fields and links are also found by id (and objects by table) through an index that
// the load fills; an entry added later is found by a walk once and then remembered, an entry
// leaves the index when it is freed, and a remembered entry whose key has changed is dropped.
class TObjList : public TObjectList<TObj>
{
public:
    TObjList() : TObjectList<TObj>(true) {}
    ~TObjList() override;

    TNotifyPosition NotifyPosition;

    void Load();

    // Takes an object out of the repository without freeing it: neither it nor its fields and
    // links are found any more.
    TObj *Extract(TObj *AObj);

    TObj *GetObjById(int AObjId) const;
    TObj *GetObjByTable(const QString &AObjTable) const;
    TFld *GetFldById(int AFldId) const;
    TObjLink *GetObjLinkById(int AObjLinkId) const;

    // Called by entries that are being freed.
    void Unindex(const TObj *AObj) const;
    void Unindex(const TFld *AFld) const;
    void Unindex(const TObjLink *ALink) const;

private:
    void LoadObjectsAndFields();
    void LoadLinksAndSummingFields();
    void LinkFieldTargets();
    void LoadFormulasAndTemplates();
    void Report(int APos, int AMax) const;
    void Index(TObj *AObj) const;
    void Index(TFld *AFld) const;
    void Index(TObjLink *ALink) const;
    void ClearIndex();

    mutable QHash<int, TObj *> FObjById;
    mutable QHash<QString, TObj *> FObjByTable;
    mutable QHash<int, TFld *> FFldById;
    mutable QHash<int, TObjLink *> FLinkById;
};
