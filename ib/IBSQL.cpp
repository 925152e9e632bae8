#include "IBSQL.h"

#include "FbStatus.h"
#include "IBDatabase.h"
#include "IBError.h"
#include "IBTransaction.h"

#include <optional>
#include <utility>

namespace {
qint64 Executed = 0;
qint64 PreparedTotal = 0;
qint64 Handles = 0;
}

qint64 TIBSQL::ExecutedCount()
{
    return Executed;
}

qint64 TIBSQL::PrepareTotal()
{
    return PreparedTotal;
}

qint64 TIBSQL::HandleCount()
{
    return Handles;
}

TIBSQL::TIBSQL(TIBDatabase *db, TIBTransaction *tr) : FDatabase(db)
{
    if (FDatabase)
        FDatabase->AddSQL(this);
    SetTransaction(tr);
}

TIBSQL::~TIBSQL()
{
    FreeHandle();
    if (FDatabase)
        FDatabase->RemoveSQL(this);
}

void TIBSQL::SetTransaction(TIBTransaction *tr)
{
    if (FTransaction == tr)
        return;
    Close();
    FTransaction = tr;
}

QString TIBSQL::SQLText() const
{
    if (!FTextValid) {
        FText = FLines.join(QLatin1Char('\n'));
        FTextValid = true;
    }
    return FText;
}

void TIBSQL::SetSQL(const QString &text)
{
    if (text == SQLText()) {
        // The same text again keeps the prepared statement: callers that alternate
        // parameter values pay for the prepare once. The values go all the same, so a
        // parameter this caller forgets is refused instead of sent with the last one's value.
        Close();
        FParams.clear();
        return;
    }
    FLines = text.split(QLatin1Char('\n'));
    TextChanged();
    FText = text;
    FTextValid = true;
}

void TIBSQL::AddLine(const QString &line)
{
    FLines << line;
    TextChanged();
}

void TIBSQL::ClearSQL()
{
    FLines.clear();
    TextChanged();
}

void TIBSQL::TextChanged()
{
    FTextValid = false;
    Close();
    FPrepared = false;
    FParsedValid = false;
    FParams.clear();
}

const TParsedSQL &TIBSQL::Parsed() const
{
    if (!FParsedValid) {
        FParsed = ParseSQLParams(SQLText());
        FParsedValid = true;
    }
    return FParsed;
}

bool TIBSQL::HasParam(const QString &name) const
{
    return Parsed().Names.contains(name.toUpper());
}

QStringList TIBSQL::ParamNames() const
{
    QStringList names = Parsed().Names;
    names.removeDuplicates();
    return names;
}

Variant &TIBSQL::ParamByName(const QString &name)
{
    const QString key = name.toUpper();
    if (!Parsed().Names.contains(key))
        throw Exception(QStringLiteral("Параметр \"%1\" не найден.").arg(name));
    return FParams[key];
}

void TIBSQL::CheckReady() const
{
    if (!FDatabase || !FDatabase->Connected())
        throw ENotConnected();
    if (!FTransaction || !FTransaction->InTransaction())
        throw Exception(QStringLiteral("Транзакция не запущена."));
}

isc_tr_handle *TIBSQL::TransactionHandle() const
{
    return FTransaction->Handle();
}

void TIBSQL::Prepare()
{
    if (FPrepared)
        return;
    CheckReady();
    const QByteArray utf8 = Parsed().Text.toUtf8();
    FreeHandle();
    Firebird::CheckStatusWrapper &status = FreshStatus();
    // One call brings the type and both descriptions along with the prepared statement.
    FStatement = FDatabase->Attachment()->prepare(&status, FTransaction->Transaction(), unsigned(utf8.size()),
                                                  utf8.constData(), SQL_DIALECT_V6,
                                                  Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    CheckCall(status);
    ++Handles;
    FStatementType = int(FStatement->getType(&status));
    Firebird::IMessageMetadata *output = FStatement->getOutputMetadata(&status);
    Firebird::IMessageMetadata *input = Failed(status) ? nullptr : FStatement->getInputMetadata(&status);
    if (Failed(status)) {
        for (Firebird::IMessageMetadata *metadata : {output, input})
            if (metadata)
                metadata->release();
        CheckCall(status);
    }
    FOut.Describe(output);
    FIn.Describe(input);
    FOut.BindOutput();
    FFieldIndex.clear();
    for (int i = FOut.Count() - 1; i >= 0; --i)
        FFieldIndex.insert(FieldName(i).toUpper(), i);   // the first column of a name wins
    FPrepared = true;
    ++FPrepareCount;
    ++PreparedTotal;
}

// A call on a connection that is gone may be refused for a reason of its own first: the client
// library sends some calls late, and the engine answers the next one that the cursor it still
// counts open is open. When the connection no longer answers, its own error is the one raised,
// and nothing of the statement is kept: the next run prepares afresh.
void TIBSQL::CheckCall(Firebird::CheckStatusWrapper &status)
{
    if (!Failed(status))
        return;
    EIBError error = EIBError::FromStatus(status.getErrors(), SQLText());
    if (!error.ConnectionLost()) {
        std::optional<EIBError> gone = FDatabase->ConnectionError();
        if (!gone)
            throw error;
        error = *std::move(gone);
    }
    DropCursor(false);
    FreeStatement();
    throw error;
}

bool TIBSQL::IsSelect() const
{
    return FStatementType == isc_info_sql_stmt_select || FStatementType == isc_info_sql_stmt_select_for_upd;
}

void TIBSQL::BindInput()
{
    const QStringList &names = Parsed().Names;
    if (names.size() != FIn.Count())
        throw Exception(QStringLiteral("Число параметров запроса (%1) не совпадает с ожидаемым сервером (%2).")
                            .arg(names.size())
                            .arg(FIn.Count()));
    for (int i = 0; i < FIn.Count(); ++i) {
        const auto value = FParams.constFind(names[i]);
        // Unassigned is not Null: a parameter nobody set is a mistake of the caller, not a
        // request to store nothing.
        if (value == FParams.constEnd() || value->isEmpty())
            throw Exception(QStringLiteral("Параметру \"%1\" запроса не задано значение.\r%2").arg(names[i], SQLText()));
        FIn.SetInput(i, *value, FDatabase->Handle(), TransactionHandle());
    }
}

Firebird::IMessageMetadata *TIBSQL::InputMetadata()
{
    return FIn.Count() > 0 ? FIn.InputMessage() : nullptr;
}

void TIBSQL::OpenCursor()
{
    Firebird::IMessageMetadata *in = InputMetadata();
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FCursor = FStatement->openCursor(&status, FTransaction->Transaction(), in, in ? FIn.Message() : nullptr,
                                     FOut.Metadata(), 0);
    CheckCall(status);
    FEof = false;
    FTransaction->AddSQL(this);
}

// Everything a run needs before the server is asked: a fresh state, the statement prepared for
// the text, a transaction, and every parameter bound.
void TIBSQL::StartExecution()
{
    Close();
    Prepare();
    CheckReady();
    BindInput();
    ++Executed;
}

void TIBSQL::ExecQuery()
{
    StartExecution();
    if (IsSelect()) {
        OpenCursor();
        FetchRow();
        return;
    }
    Execute();
    // Procedures and RETURNING clauses hand back one row without a cursor.
    if (FOut.Count() > 0) {
        FHasRow = true;
        FEof = false;
    }
}

void TIBSQL::ExecSingleton()
{
    StartExecution();
    // A select's one row comes back with the call; no row or a second one is the server's own error.
    Execute();
    FHasRow = true;
    FEof = false;
}

// A statement without a cursor; its output, when it has one, goes into the row.
void TIBSQL::Execute()
{
    Firebird::IMessageMetadata *in = InputMetadata();
    const bool output = FOut.Count() > 0;
    Firebird::CheckStatusWrapper &status = FreshStatus();
    FStatement->execute(&status, FTransaction->Transaction(), in, in ? FIn.Message() : nullptr,
                        output ? FOut.Metadata() : nullptr, output ? FOut.Message() : nullptr);
    CheckCall(status);
}

void TIBSQL::ExecImmediate()
{
    Close();
    CheckReady();
    const QString text = SQLText();
    const QByteArray utf8 = text.toUtf8();
    ++Executed;
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, FDatabase->Handle(), TransactionHandle(), 0, utf8.constData(),
                               SQL_DIALECT_V6, nullptr);
    CheckStatus(status, text);
}

// False at the end of the rows.
bool TIBSQL::FetchInto(unsigned char *message)
{
    Firebird::CheckStatusWrapper &status = FreshStatus();
    switch (FCursor->fetchNext(&status, message)) {
    case Firebird::IStatus::RESULT_OK:
        return true;
    case Firebird::IStatus::RESULT_NO_DATA:
        return false;
    default:
        CheckCall(status);
        return false;
    }
}

void TIBSQL::FetchRow()
{
    FHasRow = false;
    FEof = true;
    if (FetchInto(FOut.Message())) {
        FHasRow = true;
        FEof = false;
    }
}

bool TIBSQL::Next()
{
    if (!FCursor) {
        FEof = true;
        FHasRow = false;
        return false;
    }
    if (!FEof)
        FetchRow();
    return !FEof;
}

void TIBSQL::Close()
{
    FHasRow = false;
    FEof = true;
    DropCursor(true);
}

void TIBSQL::CursorLost()
{
    // The transaction that ended has closed the cursor on the server.
    FHasRow = false;
    FEof = true;
    DropCursor(false);
}

void TIBSQL::DropCursor(bool closeOnServer)
{
    if (FCursor && FTransaction)
        FTransaction->RemoveSQL(this);
    Firebird::IResultSet *cursor = std::exchange(FCursor, nullptr);
    if (!cursor)
        return;
    if (closeOnServer) {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        cursor->close(&status);
        if (!Failed(status))
            return;   // a closed cursor is let go of
        // A cursor the server already closed (its connection broke) needs no report.
    }
    cursor->release();
}

void TIBSQL::FreeHandle()
{
    Close();
    FreeStatement();
}

void TIBSQL::FreeStatement()
{
    FPrepared = false;
    if (FStatement) {
        Firebird::CheckStatusWrapper &status = FreshStatus();
        Firebird::IStatement *statement = std::exchange(FStatement, nullptr);
        statement->free(&status);
        if (Failed(status))
            statement->release();   // its connection is gone: nothing to free on the server
        --Handles;
    }
}

void TIBSQL::DetachDatabase()
{
    FreeHandle();
    FDatabase = nullptr;
}

int TIBSQL::FieldCount() const
{
    return FPrepared ? FOut.Count() : 0;
}

QString TIBSQL::FieldName(int i) const
{
    return FOut.Name(i);
}

int TIBSQL::FieldIndex(const QString &name) const
{
    return FFieldIndex.value(name.toUpper(), -1);
}

void TIBSQL::CheckRow() const
{
    if (!FHasRow)
        throw Exception(QStringLiteral("Нет текущей строки результата запроса."));
}

Variant TIBSQL::Field(int i) const
{
    CheckRow();
    if (i < 0 || i >= FOut.Count())
        throw Exception(QStringLiteral("Номер поля %1 вне диапазона.").arg(i));
    return FOut.Value(i, FDatabase->Handle(), FTransaction->Handle());
}

Variant TIBSQL::FieldByName(const QString &name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw Exception(QStringLiteral("Поле \"%1\" не найдено.").arg(name));
    return Field(i);
}

bool TIBSQL::FieldIsNull(int i) const
{
    CheckRow();
    return FOut.IsNull(i);
}
