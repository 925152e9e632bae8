#include "Tbl.h"

#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"
#include "TblTree.h"

TTbl::TTbl()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("TBL")));
    IBSQLS = DB->CreateIBSQLS();
    IBSQLC = DB->CreateIBSQLC();
}

TTbl::~TTbl() = default;

void TTbl::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj ? Variant(AObj->Id()) : Variant::Null());
}

void TTbl::SetObjLink(TObjLink *AObjLink)
{
    FObjLink = AObjLink;
    SetValue(QStringLiteral("DEP_ID"), AObjLink ? Variant(AObjLink->Id()) : Variant::Null());
}

TObj *TTbl::GetObj() const
{
    if (FObj)
        return FObj;
    if (FObjLink && FObjLink->ChildFld())
        return FObjLink->ChildFld()->Obj();
    return nullptr;
}
