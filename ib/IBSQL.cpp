#include "IBSQL.h"

#include "IBDatabase.h"
#include "IBError.h"
#include "IBTransaction.h"

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
        throw Exception(QStringLiteral("База данных не подключена."));
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
    ISC_STATUS_ARRAY status;
    if (!FHandle) {
        isc_dsql_allocate_statement(status, FDatabase->Handle(), &FHandle);
        CheckStatus(status);
        ++Handles;
    }
    const QString text = SQLText();
    const QByteArray utf8 = Parsed().Text.toUtf8();
    isc_dsql_prepare(status, TransactionHandle(), &FHandle, 0, utf8.constData(), SQL_DIALECT_V6, nullptr);
    CheckStatus(status, text);
    ReadStatementType();
    FOut.DescribeOutput(&FHandle, text);
    FOut.AllocateOutput();
    FIn.DescribeInput(&FHandle, text);
    FFieldIndex.clear();
    for (int i = FOut.Count() - 1; i >= 0; --i)
        FFieldIndex.insert(FieldName(i).toUpper(), i);   // the first column of a name wins
    FPrepared = true;
    ++FPrepareCount;
    ++PreparedTotal;
}

void TIBSQL::ReadStatementType()
{
    const char request[] = {isc_info_sql_stmt_type};
    char buffer[16] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &FHandle, sizeof request, request, sizeof buffer, buffer);
    CheckStatus(status, SQLText());
    FStatementType = 0;
    if (buffer[0] == isc_info_sql_stmt_type) {
        const short len = short(isc_vax_integer(buffer + 1, 2));
        FStatementType = int(isc_vax_integer(buffer + 3, len));
    }
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

void TIBSQL::ExecQuery()
{
    Close();
    Prepare();
    CheckReady();
    BindInput();
    ++Executed;
    ISC_STATUS_ARRAY status;
    XSQLDA *in = FIn.Count() > 0 ? FIn.Data() : nullptr;
    const QString text = SQLText();
    if (FStatementType == isc_info_sql_stmt_select || FStatementType == isc_info_sql_stmt_select_for_upd) {
        isc_dsql_execute(status, TransactionHandle(), &FHandle, SQL_DIALECT_V6, in);
        CheckStatus(status, text);
        FCursorOpen = true;
        FEof = false;
        FTransaction->AddSQL(this);
        FetchRow();
        return;
    }
    if (FOut.Count() > 0) {
        // Procedures and RETURNING clauses hand back one row without a cursor.
        isc_dsql_execute2(status, TransactionHandle(), &FHandle, SQL_DIALECT_V6, in, FOut.Data());
        CheckStatus(status, text);
        FHasRow = true;
        FEof = false;
        return;
    }
    isc_dsql_execute(status, TransactionHandle(), &FHandle, SQL_DIALECT_V6, in);
    CheckStatus(status, text);
}

void TIBSQL::ExecSingleton()
{
    Close();
    Prepare();
    CheckReady();
    BindInput();
    ++Executed;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_execute2(status, TransactionHandle(), &FHandle, SQL_DIALECT_V6,
                                            FIn.Count() > 0 ? FIn.Data() : nullptr, FOut.Data());
    if (rc == 100)
        return;   // no row: Eof stays set
    CheckStatus(status, SQLText());
    FHasRow = true;
    FEof = false;
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

void TIBSQL::FetchRow()
{
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, &FHandle, SQL_DIALECT_V6, FOut.Data());
    if (rc == 100) {
        FEof = true;
        FHasRow = false;
        return;
    }
    if (rc != 0) {
        FEof = true;
        FHasRow = false;
        CheckStatus(status, SQLText());
    }
    FHasRow = true;
}

bool TIBSQL::Next()
{
    if (!FCursorOpen) {
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
    if (!FCursorOpen)
        return;
    FCursorOpen = false;
    if (FTransaction)
        FTransaction->RemoveSQL(this);
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, &FHandle, DSQL_close);
    // A cursor the server already closed (its connection broke) needs no report.
}

void TIBSQL::CursorLost()
{
    FCursorOpen = false;
    FHasRow = false;
    FEof = true;
}

void TIBSQL::FreeHandle()
{
    if (FCursorOpen && FTransaction)
        FTransaction->RemoveSQL(this);
    CursorLost();
    FPrepared = false;
    if (FHandle) {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &FHandle, DSQL_drop);
        FHandle = 0;
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
    const XSQLVAR &v = FOut.Var(i);
    return QString::fromUtf8(v.aliasname, v.aliasname_length);
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
