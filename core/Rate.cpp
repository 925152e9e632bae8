#include "Rate.h"

#include "Func.h"
#include "IBSQL.h"
#include "Main.h"

namespace {

// The rate messages name dates the way the user types them.
QString ShortDateText(const QDate &ADate)
{
    return ADate.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

TCurrRateTable::TCurrRateTable() : TObjectList<TCurrRate>(true), IBSQLS(DB->CreateIBSQLS())
{
}

TCurrRateTable::~TCurrRateTable() = default;

void TCurrRateTable::ReadBaseValuteCode()
{
    {
        IBSQLS->ClearSQL();
        IBSQLS->AddLine(QStringLiteral("select CURR_ID"));
        IBSQLS->AddLine(QStringLiteral("from CURR"));
        IBSQLS->AddLine(QStringLiteral("where CURR_BASE = 1"));
        TCloseGuard close(*IBSQLS);
        IBSQLS->ExecQuery();
        // The id stays Null, so every later call looks for a base currency again.
        if (IBSQLS->Eof())
            throw ExceptionPos(QStringLiteral("Невозможно получить курс, т.к. не указана базовая валюта."));
        BaseValuteCode = VarAsInteger(IBSQLS->FieldByName(QStringLiteral("CURR_ID")));
    }
    // Built once: every later lookup only changes the parameters of the prepared statement.
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select C.CURRATE_VALUE"));
    IBSQLS->AddLine(QStringLiteral("from CURRATE C"));
    IBSQLS->AddLine(QStringLiteral("where C.CURR_ID = :CURR_ID"));
    IBSQLS->AddLine(QStringLiteral("and C.CURRATE_DATE <= :CURRATE_DATE"));
    IBSQLS->AddLine(QStringLiteral("order by CURRATE_DATE desc"));
}

Variant TCurrRateTable::GetRate(const Variant &ACurr, const Variant &ADate)
{
    if (ACurr.isNull() || ADate.isNull())
        return Variant::Null();
    if (BaseValuteCode.isNull())
        ReadBaseValuteCode();

    // Compared as an integer, so that the cache, the base check and the query agree on which
    // currency a value such as 2.0 names.
    const int curr = VarAsInteger(ACurr);
    if (curr == BaseValuteCode.toInt())
        return Variant(1);

    const QDateTime date = ADate.toDateTime();
    for (const TCurrRate *rate : *this)
        if (rate->Date == date && rate->Curr == curr)
            return rate->Value;

    TCloseGuard close(*IBSQLS);
    IBSQLS->ParamByName(QStringLiteral("CURR_ID")) = curr;
    IBSQLS->ParamByName(QStringLiteral("CURRATE_DATE")) = date.date();
    IBSQLS->ExecQuery();
    // Nothing is remembered for a miss: a rate entered meanwhile is found by the next call.
    if (IBSQLS->Eof())
        throw ExceptionPos(Format(QStringLiteral("Курс не найден для валюты с кодом \"%d\" на дату \"%s\"."),
                                  {curr, ShortDateText(date.date())}));

    const Variant value =
        Variant::FromCurrency(IBSQLS->FieldByName(QStringLiteral("CURRATE_VALUE")).toCurrencyScaled());
    auto rate = std::make_unique<TCurrRate>();
    rate->Curr = curr;
    rate->Date = date;
    rate->Value = value;
    Add(std::move(rate));
    DebugMsgFmt(QStringLiteral("Запрошен курс для валюты с кодом \"%d\" на дату \"%s\". Он равен \"%g\""),
                {curr, ShortDateText(date.date()), value});
    return value;
}
