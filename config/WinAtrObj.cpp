#include "WinAtrObj.h"

#include "CtrlTree.h"
#include "Fld.h"
#include "Main.h"
#include "WinCtrlTreeObjTempl.h"

namespace {

const QString cObjTempl = QStringLiteral("OBJ_TEMPL");

} // namespace

std::unique_ptr<TWinCtrlTree> TWinAtrObj::CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    if (ACtrlTree->Fld() && ACtrlTree->Fld()->Field() == cObjTempl)
        return std::make_unique<TWinCtrlTreeObjTempl>(AOwner, AParent, ACtrlTree);
    return TWinMetaAtr::CreateWinCtrlTree(AOwner, AParent, ACtrlTree);
}

void TWinAtrObj::SetRecId(const Variant &Value)
{
    TWinMetaAtr::SetRecId(Value);
    if (auto *templ = dynamic_cast<TWinCtrlTreeObjTempl *>(GetWinCtrlTreeByFldName(cObjTempl)))
        templ->Obj = DB->ObjList->GetObjById(VarAsInteger(Value));
}
