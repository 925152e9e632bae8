#pragma once

#include "ObjectList.h"
#include "Variant.h"

#include <QString>

class TIBSQL;
class TObj;

// One named value of a metadata row: a column name and its value.
class TObjFld
{
public:
    TObjFld(const QString &name, const Variant &value) : Name(name), Value(value) {}

    QString Name;
    Variant Value;

    QString AsString() const;   // empty for Null and unassigned
    int AsInteger() const;      // Null and unassigned raise the variant error
    bool AsBoolean() const;
};

// One metadata row held as named values, one per column of its table. The names come from
// the repository's description of the table or from a query's columns, so a column added to
// a metadata table is carried along without any change to the classes.
class TSObj : public TObjectList<TObjFld>
{
public:
    TSObj() = default;
    ~TSObj() override = default;

    // One value per field of the object that describes the table: False for Boolean fields,
    // Null for the rest.
    void AddAllFld(const TObj &AObj);
    // One unassigned value per column of the statement, which has been run.
    virtual void AddAllFld(const TIBSQL &AIBSQL);

    TObjFld &FldByName(const QString &AName) const;
    bool HasFld(const QString &AName) const;

    void CopyDataFrom(const TIBSQL &AIBSQL);
    void CopyDataFrom(const TSObj &ASObj);

protected:
    void CheckEmpty() const;
    void AppendValue(const QString &name, const Variant &value = Variant());

    // Typed access to one column, as the row classes' properties use it.
    int GetInteger(const QString &col) const { return FldByName(col).AsInteger(); }
    bool GetBoolean(const QString &col) const { return FldByName(col).AsBoolean(); }
    QString GetString(const QString &col) const { return FldByName(col).AsString(); }
    Variant GetVariant(const QString &col) const { return FldByName(col).Value; }
    void SetValue(const QString &col, const Variant &value) { FldByName(col).Value = value; }
};
