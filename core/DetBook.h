#pragma once

#include "ChoiceSql.h"

#include <memory>

class TIBSQL;
class TObj;
class TObjLink;

// A detail book: the set of detail tables a card shows under its record. A row of DETBOOK
// with its links listed in DETDEP.
class TDetBook : public TChoiceRow
{
public:
    TDetBook();   // from the repository's description of DETBOOK
    ~TDetBook() override;

    // The book's detail links, each one in which Obj is the master, in the order the
    // database returns the DETDEP rows (references).
    TObjectList<TObjLink> ObjLinkList{false};

    TObj *Obj() const { return FObj; }
    void SetObj(TObj *AObj);   // also writes OBJ_ID

    int Id() const { return GetInteger(QStringLiteral("DETBOOK_ID")); }
    QString Name() const { return GetString(QStringLiteral("DETBOOK_NAME")); }
    QString Capt() const { return GetString(QStringLiteral("DETBOOK_CAPT")); }
    bool Default() const { return GetBoolean(QStringLiteral("DETBOOK_DEFAULT")); }
    bool Dev() const { return GetBoolean(QStringLiteral("DETBOOK_DEV")); }
    Variant ObjId() const { return GetVariant(QStringLiteral("OBJ_ID")); }

    // Load the book row and its links; false when no row matched (with RaiseLoad a miss
    // raises).
    bool LoadById(int AId);
    bool LoadByName(TObj *AObj, const QString &AName);
    // The user's own choice (USRDET), otherwise the book flagged as default.
    bool LoadCurrent(TObj *AObj, int AUserId);

private:
    QString WhereLine(const QString &AFunc, TObj *AObj) const;
    void RowLoaded() override;
    void LoadLinks();

    TObj *FObj = nullptr;
};
