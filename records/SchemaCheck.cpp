#include "SchemaCheck.h"

#include "Atr.h"
#include "Fld.h"
#include "Func.h"
#include "Obj.h"

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
