#pragma once

#include "SqlParams.h"
#include "Variant.h"
#include "XSqlda.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <ibase.h>

class TIBDatabase;
class TIBTransaction;
namespace Firebird {
class CheckStatusWrapper;
class IResultSet;
class IStatement;
class IMessageMetadata;
}

// One statement on a database and a transaction.
// The text is set whole or line by line; ":NAME" parameters are set by name and a name
// used twice is bound twice. The statement is prepared on the first execution after its
// text changed and reused otherwise. A select fetches its first row on ExecQuery.
// Setting the text, even the same text, forgets every parameter value; executing with a
// parameter that has no value since then (Unassigned, not Null) raises, naming it.
class TIBSQL
{
public:
    explicit TIBSQL(TIBDatabase *db = nullptr, TIBTransaction *tr = nullptr);
    ~TIBSQL();
    TIBSQL(const TIBSQL &) = delete;
    TIBSQL &operator=(const TIBSQL &) = delete;

    TIBDatabase *Database() const { return FDatabase; }
    TIBTransaction *Transaction() const { return FTransaction; }
    void SetTransaction(TIBTransaction *tr);

    // Statement text. Setting it closes an open cursor and forgets parameter values.
    void SetSQL(const QString &text);
    void AddLine(const QString &line);
    void ClearSQL();
    QString SQLText() const;
    const QStringList &SQLLines() const { return FLines; }

    // Parameters, by name (case-insensitive); an unknown name raises.
    Variant &ParamByName(const QString &name);
    bool HasParam(const QString &name) const;
    QStringList ParamNames() const;   // distinct names, in order of first use

    void Prepare();
    bool Prepared() const { return FPrepared; }
    int PrepareCount() const { return FPrepareCount; }   // how often the server prepared it

    // Runs the statement; a select opens its cursor and fetches the first row.
    void ExecQuery();
    // Runs a select that yields at most one row without a cursor: one call to the server instead
    // of three (execute, fetch, close). A second row is the server's error.
    void ExecSingleton();
    // How many statements this process has executed and prepared, and how many statements hold
    // a server handle now (for benchmarks and tests that count round trips and handles).
    static qint64 ExecutedCount();
    static qint64 PrepareTotal();
    static qint64 HandleCount();

    // Sends the text to the server as it stands (DDL, procedural blocks); no parameters.
    void ExecImmediate();

    bool Next();                      // fetches the next row; false at the end
    bool Eof() const { return FEof; }
    bool Open() const { return FCursor != nullptr; }
    void Close();

    int FieldCount() const;
    QString FieldName(int i) const;
    int FieldIndex(const QString &name) const;    // -1 when there is none
    Variant Field(int i) const;
    Variant FieldByName(const QString &name) const;
    bool FieldIsNull(int i) const;

    // Called by the database and the transaction when their handles go away.
    void FreeHandle();
    void DetachDatabase();
    void CursorLost();

private:
    void TextChanged();
    const TParsedSQL &Parsed() const;
    void CheckReady() const;
    isc_tr_handle *TransactionHandle() const;
    void BindInput();
    Firebird::IMessageMetadata *InputMetadata();
    bool IsSelect() const;
    void OpenCursor();
    bool FetchInto(unsigned char *message);
    void FetchRow();
    void StartExecution();
    void Execute();
    void DropCursor(bool closeOnServer);
    void FreeStatement();
    void CheckCall(Firebird::CheckStatusWrapper &status);
    void CheckRow() const;

    TIBDatabase *FDatabase = nullptr;
    TIBTransaction *FTransaction = nullptr;
    QStringList FLines;
    mutable QString FText;          // the lines joined, made when first asked for
    mutable bool FTextValid = true;
    mutable TParsedSQL FParsed;
    mutable bool FParsedValid = false;
    QHash<QString, Variant> FParams;

    Firebird::IStatement *FStatement = nullptr;
    Firebird::IResultSet *FCursor = nullptr;
    bool FPrepared = false;
    int FPrepareCount = 0;
    int FStatementType = 0;
    TXSqlda FIn;
    TXSqlda FOut;
    QHash<QString, int> FFieldIndex;
    bool FEof = true;
    bool FHasRow = false;
};

// Closes the statement however the block is left, so a failed read leaves no cursor open.
class TCloseGuard
{
public:
    explicit TCloseGuard(TIBSQL &AIBSQL) : FIBSQL(AIBSQL) {}
    ~TCloseGuard() { FIBSQL.Close(); }
    TCloseGuard(const TCloseGuard &) = delete;
    TCloseGuard &operator=(const TCloseGuard &) = delete;

private:
    TIBSQL &FIBSQL;
};
