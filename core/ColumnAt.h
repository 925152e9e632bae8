#pragma once

#include "SObj.h"

// Where one named value sits in a metadata row, remembered after the first search. A row's
// values are never removed or moved once it is filled, so the remembered value is checked by
// identity instead of comparing names again.
class TColumnAt
{
public:
    const TObjFld &Of(const TSObj &ARow, const QString &AName) const
    {
        if (FAt >= 0 && FAt < ARow.Count() && ARow.Items(FAt) == FFld)
            return *FFld;
        for (int i = 0; i < ARow.Count(); ++i)
            if (ARow.Items(i)->Name == AName) {
                FAt = i;
                FFld = ARow.Items(i);
                return *FFld;
            }
        return ARow.FldByName(AName);   // raises the row's own message
    }

private:
    mutable int FAt = -1;
    mutable const TObjFld *FFld = nullptr;
};
