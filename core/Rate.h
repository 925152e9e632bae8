#pragma once

#include "ObjectList.h"
#include "Variant.h"

#include <QDateTime>
#include <memory>

class TIBSQL;

// One answer of the rate lookup: the rate of a currency for the date that was asked for
// (not the date of the rate row that answered it).
class TCurrRate
{
public:
    int Curr = 0;         // CURR_ID
    QDateTime Date;       // the date asked for, time of day included
    Variant Value;        // the rate, a currency value (4 decimals)
};

// The rates of currencies on dates, read from CURR and CURRATE and remembered for as long as
// the table lives: a record editor owns one, so its formulas see stable rates while it is
// open, and the next editor reads afresh.
class TCurrRateTable : public TObjectList<TCurrRate>
{
public:
    TCurrRateTable();
    ~TCurrRateTable() override;

    // The rate of currency ACurr on ADate: Null when either is Null, 1 for the base currency,
    // otherwise the latest rate recorded on or before the date. Raises ExceptionPos when the
    // database names no base currency or holds no rate on or before the date.
    Variant GetRate(const Variant &ACurr, const Variant &ADate);

private:
    void ReadBaseValuteCode();

    std::unique_ptr<TIBSQL> IBSQLS;
    Variant BaseValuteCode = Variant::Null();
};
