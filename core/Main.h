#pragma once

#include "CodeTables.h"
#include "Func.h"
#include "IBError.h"
#include "Obj.h"

#include <QString>
#include <memory>

class TIBDatabase;
class TIBTransaction;
class TIBSQL;

// The one database connection of the process: the connection, the read transaction that
// carries every select, the write transaction callers bracket their changes with, and the
// metadata repository.
class TDB
{
public:
    TDB();
    ~TDB();
    TDB(const TDB &) = delete;
    TDB &operator=(const TDB &) = delete;

    void Connect();
    void Disconnect();
    // Disconnects while another error is on its way to the user: a failure of its own is dropped.
    void DisconnectQuietly();
    void Init();
    void Deinit();
    void Login(const QString &ALog, const QString &APas);

    void StartTransaction();
    void CommitTransaction();
    void RollbackChanges();
    // After a commit that deleted many rows: lets the engine remove them now, in the background.
    void WakeGarbageCollector();

    std::unique_ptr<TIBSQL> CreateIBSQLS();
    std::unique_ptr<TIBSQL> CreateIBSQLC();

    int GetGenId(const QString &AGenName);
    // The text that draws the next value of a generator; the name must be a plain identifier.
    static QString GenIdSQL(const QString &AGenName);

    // Code tables: database codes, members and captions (ids and captions read once, on first use).
    TFldType CodeToFldType(const Variant &ACode);
    Variant FldTypeToCode(TFldType AFldType);
    QString FldTypeToCapt(TFldType AFldType);
    TFKRule CodeToFKRule(const Variant &ACode);
    Variant FKRuleToCode(TFKRule AFKRule);
    TFormulaFunc CodeToFormulaFunc(const Variant &ACode);
    Variant FormulaFuncToCode(TFormulaFunc AFormulaFunc);
    QString FormulaFuncToCapt(TFormulaFunc AFormulaFunc);
    TFilterTreeType CodeToFilterTreeType(const Variant &ACode);
    Variant FilterTreeTypeToCode(TFilterTreeType AFilterTreeType);
    QString FilterTreeTypeToCapt(TFilterTreeType AFilterTreeType);
    TCtrlType CodeToCtrlTreeType(const Variant &ACode);
    Variant CtrlTreeTypeToCode(TCtrlType ACtrlType);
    QString CtrlTreeTypeToCapt(TCtrlType ACtrlType);

    // A field value as edit-box text and back, by field type.
    QString VarToStrByFldType(const Variant &AValue, TFldType AFldType);
    Variant StrToVarByFldType(const QString &AValue, TFldType AFldType);
    // A text that is no value of the type yet but becomes one as the user types on (a lone
    // sign, a lone decimal separator, a number ending in its separator or exponent mark).
    static bool IsStartOfValue(const QString &AValue, TFldType AFldType);

    // The text an error box shows: a refusal of the database, in the engine's English, gets one
    // line above it that says in the user's words what happened and what to do.
    QString ErrorText(const std::exception &e) const;

    // The settings file: "tessar.ini" beside the executable unless one was named.
    static QString IniFileName();
    static void SetIniFileName(const QString &fileName);

    std::unique_ptr<TObjList> ObjList;
    int CurrentUserId = 0;
    QString CurrentUserName;
    bool Inited = false;
    bool Connected = false;

    TIBDatabase &Database() const { return *ibdb; }
    TIBTransaction &ReadTransaction() const { return *ibtrs; }
    TIBTransaction &WriteTransaction() const { return *ibtrc; }

private:
    void FillNameTables();
    void LoadFldTypeTable();
    void LoadFKRuleTable();
    void LoadFormulaFuncTable();
    void LoadFilterTreeTypeTable();
    void LoadCtrlTypeTable();

    bool LoginRowFound();
    void ApplicationException(const std::exception &e);
    QString Explanation(const EIBError &e) const;
    static QString LostConnectionLine();
    QString ReferringObjCapt(const EIBError &e) const;
    void ResolveDatabaseName();

    std::unique_ptr<TIBDatabase> ibdb;
    std::unique_ptr<TIBTransaction> ibtrs;
    std::unique_ptr<TIBTransaction> ibtrc;
    std::unique_ptr<TIBSQL> IBSQLS;

    bool FldTypeTableLoaded = false;
    bool FKRuleTableLoaded = false;
    bool FormulaFuncTableLoaded = false;
    bool FilterTreeTypeTableLoaded = false;
    bool CtrlTypeTableLoaded = false;
    std::vector<TFldTypeRec> FldTypeTable;
    std::vector<TFKRuleRec> FKRuleTable;
    std::vector<TFormulaFuncRec> FormulaFuncTable;
    std::vector<TFilterTreeTypeRec> FilterTreeTypeTable;
    std::vector<TCtrlTypeRec> CtrlTypeTable;
};

// A refusal of the database that a delete met: its box says to try the delete again, not a save.
class EDeleteRefused : public EIBError
{
public:
    explicit EDeleteRefused(const EIBError &AError) : EIBError(AError) {}
};

extern TDB *DB;
extern bool DevMode;
extern bool ShowDebMsg;

// Shows a text in an information box while debug messages are switched on.
void DebugMsg(const QString &S);
void DebugMsgFmt(const QString &format, const QList<Variant> &args);
