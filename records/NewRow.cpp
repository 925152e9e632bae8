#include "NewRow.h"

#include "Atr.h"

Variant PostNewRow(TAtr &AAtr, const QList<std::pair<QString, Variant>> &AValues)
{
    AAtr.SetDefaultValues(nullptr, Variant::Null());
    for (const auto &[field, value] : AValues)
        AAtr.GetAddByFldName(field)->SetValue(value);
    AAtr.Post();
    return AAtr.RecId();
}
