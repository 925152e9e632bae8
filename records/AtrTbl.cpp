#include "AtrTbl.h"

#include "Fld.h"
#include "Func.h"
#include "Main.h"
#include "NewRow.h"
#include "Obj.h"
#include "ObjLink.h"
#include "SchemaCheck.h"

void TAtrTbl::CheckInsert()
{
    TAtr::CheckInsert();
    RootFld();   // refused before the row is written
}

TFld *TAtrTbl::RootFld()
{
    TAtrItem *objId = GetAddByFldName(QStringLiteral("OBJ_ID"));
    const Variant depId = GetAddByFldName(QStringLiteral("DEP_ID"))->Value();
    TObj *obj = nullptr;
    if (!IsBlank(objId->Value()))
        obj = DB->ObjList->GetObjById(VarAsInteger(objId->Value()));
    else if (!IsBlank(depId))
        obj = DB->ObjList->GetObjLinkById(VarAsInteger(depId))->ChildFld()->Obj();
    else
        RaiseRequired(*this, objId);   // a view shows an object or a link
    if (!obj->PKFld)
        throw ExceptionPos(Format(QStringLiteral("У объекта \"%s\" нет ключевого поля."), {obj->Capt()}));
    return obj->PKFld;
}

void TAtrTbl::Post()
{
    TAtr::Post();
    if (!FNew)
        return;
    TAtr root;
    root.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("TBLTREE")));
    PostNewRow(root, {{QStringLiteral("TBL_ID"), FRecId},
                      {QStringLiteral("FLD_ID"), RootFld()->Id()},
                      {QStringLiteral("TBLTREE_LFT"), 1},
                      {QStringLiteral("TBLTREE_RGT"), 2}});
}
