#pragma once

#include "SObj.h"

#include <QString>
#include <memory>

class TIBSQL;
class TObj;

// The statements that pick one table view, card or detail book of an object: by key, by name,
// by the user's own choice, or the row flagged as default. Where several rows qualify,
// developer mode takes the rows made for developers first.
class TChoiceSql
{
public:
    // ATable "CARD", AAlias "C", AUserTable "USRCARD": the row's columns are CARD_ID,
    // CARD_NAME, CARD_DEFAULT, CARD_DEV, the user's choice is a USRCARD row.
    TChoiceSql(const QString &ATable, const QString &AAlias, const QString &AUserTable);

    void ById(TIBSQL &AIBSQL, int AId) const;
    // AWhere: the line that names the object ("where C.OBJ_ID = 5").
    void ByName(TIBSQL &AIBSQL, const QString &AWhere, const QString &AName) const;
    void UserChoice(TIBSQL &AIBSQL, const QString &AWhere, int AUserId) const;
    void Default(TIBSQL &AIBSQL, const QString &AWhere) const;

    // "where C.OBJ_ID = 5" for this alias and a column.
    QString WhereLine(const QString &AColumn, int AValue) const;

private:
    void Start(TIBSQL &AIBSQL) const;
    void AddDevOrder(TIBSQL &AIBSQL) const;
    QString Column(const QString &ASuffix) const;

    QString FTable;
    QString FAlias;
    QString FUserTable;
};

// A row that is one of several of an object (a table view, a card, a detail book), loaded by
// key, by name or by the user's choice; the subclass then reads what hangs under the row.
class TChoiceRow : public TSObj
{
public:
    ~TChoiceRow() override;

    std::unique_ptr<TIBSQL> IBSQLS;
    bool RaiseLoad = false;   // a load that finds no row raises

protected:
    // AMissText: the miss without an object; AMissFmt: with one, "%s" its caption.
    TChoiceRow(const TChoiceSql &AChoice, const QString &AMissText, const QString &AMissFmt);

    bool LoadRowById(int AId);
    bool LoadRowByName(const TObj *AObj, const QString &AWhere, const QString &AName);
    bool LoadRowCurrent(const TObj *AObj, const QString &AWhere, int AUserId);
    // Called once the row's columns are copied and its statement is closed.
    virtual void RowLoaded() = 0;

    const TChoiceSql &Choice;

private:
    bool LoadRow();
    bool MissCheck(bool AFound, const TObj *AObj) const;

    QString FMissText;
    QString FMissFmt;
};
