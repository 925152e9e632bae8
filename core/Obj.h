#pragma once

#include "SObj.h"

#include <functional>
#include <memory>

class TFld;
class TFormulaTree;
class TObjValue;
class TFldList;
class TObjLink;
class TObjLinkList;
class TTemplFldList;

// Receives the repository load's progress.
using TNotifyPosition = std::function<void(int APos, int AMax)>;

// A business object, that is a table of the database: a row of OBJ with its fields and links.
class TObj : public TSObj
{
public:
    TObj();                                  // from the repository's description of OBJ
    explicit TObj(const TIBSQL &AIBSQL);     // from a query's columns, during the load
    ~TObj() override;

    std::unique_ptr<TIBSQL> IBSQLS;
    std::unique_ptr<TIBSQL> IBSQLS2;
    TFld *PKFld = nullptr;
    std::unique_ptr<TFldList> FldList;          // owned, virtual fields included
    std::unique_ptr<TObjLinkList> ParentList;   // links in which this object is the detail
    std::unique_ptr<TObjLinkList> ChildList;    // links in which it is the master (owned)
    std::unique_ptr<TTemplFldList> TemplFldList;  // the value template's fields

    int Id() const { return GetInteger(QStringLiteral("OBJ_ID")); }
    void SetId(int v) { SetValue(QStringLiteral("OBJ_ID"), v); }
    QString Table() const { return GetString(QStringLiteral("OBJ_TABLE")); }
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
    // Reads the formulas of the computed fields and the value template.
    void LoadFormuls();
    void LoadTempl();
    TFld *GetFldById(int AFldId) const;
    TFld *GetFldByName(const QString &AFldName) const;
    // A new key for a record of the object, from the generator named like its key column.
    int GetNewId() const;
    // The record's display text: the value template filled with its fields' values.
    QString GetValueById(int AId);

private:
    void SetUp();
    void LoadFormula(TFld &AFld);
    std::unique_ptr<TFormulaTree> LoadFormulaNode();
    std::unique_ptr<TObjValue> LoadTemplField();
    void CheckTemplate() const;
};

// The metadata repository: every object with its fields and links, loaded at login.
class TObjList : public TObjectList<TObj>
{
public:
    TObjList() : TObjectList<TObj>(true) {}

    TNotifyPosition NotifyPosition;

    void Load();

    TObj *GetObjById(int AObjId) const;
    TObj *GetObjByTable(const QString &AObjTable) const;
    TFld *GetFldById(int AFldId) const;
    TObjLink *GetObjLinkById(int AObjLinkId) const;

private:
    void LoadObjectsAndFields();
    void LoadLinksAndSummingFields();
    void LinkFieldTargets();
    void LoadFormulasAndTemplates();
    void Report(int APos, int AMax) const;
};
