#include "WinAtrDep.h"

#include "CtrlTree.h"
#include "Fld.h"
#include "Main.h"
#include "WinCtrlTreeObj.h"

std::unique_ptr<TWinCtrlTree> TWinAtrDep::CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    std::unique_ptr<TWinCtrlTree> node = TWinMetaAtr::CreateWinCtrlTree(AOwner, AParent, ACtrlTree);
    const TFld *fld = ACtrlTree->Fld();
    if (auto *picker = dynamic_cast<TWinCtrlTreeObj *>(node.get()); picker && fld && fld->Field() == QStringLiteral("OBJ_ID_V"))
        picker->Obj = DB->ObjList->GetObjByTable(QStringLiteral("OBJ"));
    return node;
}
