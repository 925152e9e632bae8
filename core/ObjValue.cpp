#include "ObjValue.h"

#include "Fld.h"
#include "Main.h"
#include "Obj.h"

TObjValue::TObjValue() : Path(std::make_unique<TFldList>(false))
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("OBJVALUE")));
}

TObjValue::~TObjValue() = default;

void TObjValue::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj->Id());
}

void TObjValue::SetFld(TFld *AFld)
{
    FFld = AFld;
    SetValue(QStringLiteral("FLD_ID"), AFld->Id());
}

void TTemplFldList::Assign(const TTemplFldList &ATemplFldList)
{
    Clear();
    for (const TObjValue *source : ATemplFldList) {
        auto copy = std::make_unique<TObjValue>();
        copy->CopyDataFrom(*source);
        if (source->Obj())
            copy->SetObj(source->Obj());
        if (source->Fld())
            copy->SetFld(source->Fld());
        copy->Path->Assign(*source->Path);
        Add(std::move(copy));
    }
}
