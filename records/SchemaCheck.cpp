#include "SchemaCheck.h"

#include "Atr.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "RecordSize.h"

namespace {

bool SameValue(const Variant &A, const Variant &B)
{
    if (A.isEmptyOrNull() || B.isEmptyOrNull())
        return A.isEmptyOrNull() && B.isEmptyOrNull();
    return A == B;
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

void CheckFieldNameFree(TAtrItem *AItem, const TObj &AObj, const QString &AName)
{
    for (const TFld *fld : *AObj.FldList)
        if (fld->Field().compare(AName, Qt::CaseInsensitive) == 0)
            throw ECheckFldException::CreateFmtAtrItem(QStringLiteral("У объекта \"%s\" уже есть поле \"%s\"."), AItem,
                                                       {AObj.Capt(), fld->Field()});
}

void CheckColumnFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable, const QString &AColumn)
{
    if (TSchemaNames(ASQL).HasColumn(ATable, AColumn))
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("В таблице \"%s\" базы данных уже есть столбец \"%s\"."), AItem,
            {UpperAscii(ATable), UpperAscii(AColumn)});
}

void CheckTableFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable)
{
    if (TSchemaNames(ASQL).HasTable(ATable))
        throw ECheckFldException::CreateFmtAtrItem(QStringLiteral("В базе данных уже есть таблица \"%s\"."), AItem,
                                                   {UpperAscii(ATable)});
}

void CheckSequenceFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &ASequence, const QString &ATable)
{
    if (TSchemaNames(ASQL).HasSequence(ASequence))
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("В базе данных уже есть последовательность \"%s\", которую получили бы ключи новой таблицы "
                           "\"%s\"."),
            AItem, {UpperAscii(ASequence), UpperAscii(ATable)});
}

namespace {

// The summing field of the repository whose triggers carry the name of this column.
const TFld *SummingFieldNamed(const QString &AColumn)
{
    for (const TObj *obj : *DB->ObjList)
        for (const TFld *fld : *obj->FldList)
            if (fld->AgrObjLink() && !fld->Virt() && fld->Field().compare(AColumn, Qt::CaseInsensitive) == 0)
                return fld;
    return nullptr;
}

} // namespace

void CheckSummingTriggersFree(TIBSQL &ASQL, TAtrItem *AItem, const QString &AColumn)
{
    TSchemaNames names(ASQL);
    for (const QString &suffix : SummingTriggerSuffixes) {
        const QString trigger = UpperAscii(AColumn) + suffix;
        if (!names.HasTrigger(trigger))
            continue;
        if (const TFld *owner = SummingFieldNamed(AColumn))
            throw ECheckFldException::CreateFmtAtrItem(
                QStringLiteral("Триггеры суммирующего поля называются по его столбцу, а триггер \"%s\" уже есть у "
                               "суммирующего поля \"%s\" объекта \"%s\". Дайте полю другое имя."),
                AItem, {trigger, owner->Capt(), owner->Obj()->Capt()});
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("Триггеры суммирующего поля называются по его столбцу, а в базе данных уже есть триггер "
                           "\"%s\" таблицы \"%s\". Дайте полю другое имя."),
            AItem, {trigger, names.TriggerTable(trigger)});
    }
}

void CheckRecordSize(TIBSQL &ASQL, TAtrItem *AItem, const QString &ATable, const TStoredColumn &AColumn, int AChars)
{
    TSchemaNames names(ASQL);
    QList<TStoredColumn> columns = names.StoredColumns(ATable);
    const int positions = names.NextColumnId(ATable);
    const int before = RecordSize(columns, positions);
    columns << AColumn;
    const int after = RecordSize(columns, positions + 1);
    if (after <= MaxRecordSize)
        return;
    const QString field = AChars > 0 ? Format(QStringLiteral("поле размером %d символов"), {AChars})
                                     : QStringLiteral("поле");
    throw ECheckFldException::CreateFmtAtrItem(
        QStringLiteral("Запись таблицы \"%s\" заняла бы %d байт, а база данных допускает не больше %d: %s занимает "
                       "%d байт, остальные поля - %d байт."),
        AItem, {UpperAscii(ATable), after, MaxRecordSize, field, StoredBytes(AColumn), before});
}

void CheckRequiredOnEmptyTable(TIBSQL &ASQL, TAtrItem *AItem, const QString &AField, const QString &ATable)
{
    CheckIdentifier(AItem, ATable);
    ASQL.SetSQL(Format(QStringLiteral("select first 1 1 from %s"), {ATable}));
    TCloseGuard closer(ASQL);
    ASQL.ExecQuery();
    if (!ASQL.Eof())
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("Поле \"%s\" без значения по умолчанию нельзя сделать обязательным: в таблице \"%s\" уже "
                           "есть записи, и оно осталось бы в них пустым."),
            AItem, {AField, UpperAscii(ATable)});
}
