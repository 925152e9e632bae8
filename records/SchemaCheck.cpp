#include "SchemaCheck.h"

#include "Atr.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Obj.h"

namespace {

bool SameValue(const Variant &A, const Variant &B)
{
    if (A.isEmptyOrNull() || B.isEmptyOrNull())
        return A.isEmptyOrNull() && B.isEmptyOrNull();
    return A == B;
}

// Whether the select of the system tables finds a row for the upper-cased names.
bool SchemaHas(TIBSQL &ASQL, const QString &AText, const QList<std::pair<QString, QString>> &ANames)
{
    ASQL.SetSQL(AText);
    for (const auto &[param, name] : ANames)
        ASQL.ParamByName(param) = UpperAscii(name);
    TCloseGuard closer(ASQL);
    ASQL.ExecQuery();
    return !ASQL.Eof();
}

} // namespace

bool IsBlank(const Variant &AValue)
{
    return AValue.isEmptyOrNull() || (AValue.type() == Variant::Type::String && AValue.toString().isEmpty());
}

void CheckIdentifier(TAtrItem *AItem, const QString &AName)
{
    const QString fault = IdentifierFault(AName);
    if (!fault.isEmpty())
        throw ECheckFldException::CreateFmtAtrItem(QStringLiteral("Недопустимое имя для поля \"%s\": %s."), AItem,
                                                   {AItem->Fld->Capt(), fault});
}

void CheckUnchanged(const TAtr &AAtr, const QString &AFldName, const Variant &AStored)
{
    TAtrItem *item = AAtr.GetByFldName(AFldName);
    if (item && item->Modified && !SameValue(item->Value(), AStored))
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("Невозможно изменить запись для объекта \"%s\", т.к. поле \"%s\" задаёт структуру базы "
                           "данных и после создания не меняется."),
            item, {AAtr.Obj()->Capt(), item->Fld->Capt()});
}

void RaiseRequired(const TAtr &AAtr, TAtrItem *AItem)
{
    throw ECheckFldException::CreateFmtAtrItem(
        QStringLiteral("Невозможно добавить запись для объекта \"%s\", т.к. для поля \"%s\" не указано значение."),
        AItem, {AAtr.Obj()->Capt(), AItem->Fld->Capt()});
}

QString UpperAscii(QString AName)
{
    for (QChar &c : AName)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return AName;
}

void CheckFieldNameFree(TAtrItem *AItem, const TObj &AObj, const QString &AName)
{
    for (const TFld *fld : *AObj.FldList)
        if (fld->Field().compare(AName, Qt::CaseInsensitive) == 0)
            throw ECheckFldException::CreateFmtAtrItem(QStringLiteral("У объекта \"%s\" уже есть поле \"%s\"."), AItem,
                                                       {AObj.Capt(), fld->Field()});
}

void CheckColumnFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable, const QString &AColumn)
{
    if (SchemaHas(ASQL,
                  QStringLiteral("select 1 from RDB$RELATION_FIELDS where RDB$RELATION_NAME = :TBL and "
                                 "RDB$FIELD_NAME = :FLD"),
                  {{QStringLiteral("TBL"), ATable}, {QStringLiteral("FLD"), AColumn}}))
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("В таблице \"%s\" базы данных уже есть столбец \"%s\"."), AItem,
            {UpperAscii(ATable), UpperAscii(AColumn)});
}

void CheckTableFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable)
{
    if (SchemaHas(ASQL, QStringLiteral("select 1 from RDB$RELATIONS where RDB$RELATION_NAME = :TBL"),
                  {{QStringLiteral("TBL"), ATable}}))
        throw ECheckFldException::CreateFmtAtrItem(QStringLiteral("В базе данных уже есть таблица \"%s\"."), AItem,
                                                   {UpperAscii(ATable)});
}
