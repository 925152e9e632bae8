#include "SObj.h"

#include "CodeTables.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Obj.h"

QString TObjFld::AsString() const
{
    return Value.isEmptyOrNull() ? QString() : Value.toString();
}

int TObjFld::AsInteger() const
{
    return VarAsInteger(Value);
}

bool TObjFld::AsBoolean() const
{
    return VarAsBoolean(Value);
}

void TSObj::CheckEmpty() const
{
    if (Count() > 0)
        throw ExceptionPos(QStringLiteral("TSObj.AddAllFld: Ошибка программиста - в объекте не должно быть полей."));
}

void TSObj::AppendValue(const QString &name, const Variant &value)
{
    Add(std::make_unique<TObjFld>(name, value));
}

void TSObj::AddAllFld(const TObj &AObj)
{
    CheckEmpty();
    for (TFld *fld : *AObj.FldList)
        AppendValue(fld->Field(), fld->FldType() == TFldType::ftBoolean ? Variant(false) : Variant::Null());
}

void TSObj::AddAllFld(const TIBSQL &AIBSQL)
{
    CheckEmpty();
    for (int i = 0; i < AIBSQL.FieldCount(); ++i)
        AppendValue(AIBSQL.FieldName(i));
}

TObjFld &TSObj::FldByName(const QString &AName) const
{
    for (TObjFld *f : *this)
        if (f->Name == AName)
            return *f;
    throw ExceptionPos(Format(QStringLiteral("TSObj.FldByName: Поле \"%s\" у объекта не найдено."), {AName}));
}

bool TSObj::HasFld(const QString &AName) const
{
    for (TObjFld *f : *this)
        if (f->Name == AName)
            return true;
    return false;
}

void TSObj::CopyDataFrom(const TIBSQL &AIBSQL)
{
    for (int i = 0; i < AIBSQL.FieldCount(); ++i)
        FldByName(AIBSQL.FieldName(i)).Value = AIBSQL.Field(i);
}

void TSObj::CopyDataFrom(const TSObj &ASObj)
{
    for (const TObjFld *f : ASObj)
        FldByName(f->Name).Value = f->Value;
}
