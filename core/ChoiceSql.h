#pragma once

#include <QString>

class TIBSQL;

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
