#include "WinAtrFld.h"

#include "CodeTables.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"
#include "WinCtrlTreeDep.h"
#include "WinCtrlTreeFld.h"
#include "WinCtrlTreeFrml.h"

namespace {

void SetReadOnly(TWinCtrlTree *ANode, bool AReadOnly)
{
    if (ANode)
        ANode->SetReadOnly(AReadOnly);
}

QString FieldOf(const TCtrlTree *ACtrlTree)
{
    return ACtrlTree->Fld() ? ACtrlTree->Fld()->Field() : QString();
}

} // namespace

std::unique_ptr<TWinCtrlTree> TWinAtrFld::CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    if (auto special = CreateSpecialControl(AOwner, AParent, ACtrlTree))
        return special;
    std::unique_ptr<TWinCtrlTree> node = TWinMetaAtr::CreateWinCtrlTree(AOwner, AParent, ACtrlTree);
    KeepControl(node.get());
    return node;
}

std::unique_ptr<TWinCtrlTree> TWinAtrFld::CreateSpecialControl(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
{
    const QString field = FieldOf(ACtrlTree);
    if (field == QStringLiteral("DEP_ID_AGR")) {
        auto node = std::make_unique<TWinCtrlTreeDepChild>(AOwner, AParent, ACtrlTree);
        node->OnChange = [this](TWinCtrlTree *) { AgrLinkChanged(); };
        WinCtrlTreeAgrLink = node.get();
        return node;
    }
    if (field == QStringLiteral("FLD_ID_AGR")) {
        auto node = std::make_unique<TWinCtrlTreeSumFld>(AOwner, AParent, ACtrlTree);
        WinCtrlTreeAgrField = node.get();
        return node;
    }
    if (field == QStringLiteral("FLD_FRML_V")) {
        auto node = std::make_unique<TWinCtrlTreeFormula>(AOwner, AParent, ACtrlTree);
        WinCtrlTreeFormula = node.get();
        return node;
    }
    return nullptr;
}

void TWinAtrFld::KeepControl(TWinCtrlTree *ANode)
{
    const QString field = FieldOf(ANode->CtrlTree);
    auto pickFrom = [ANode](const QString &ATable) {
        if (auto *picker = dynamic_cast<TWinCtrlTreeObj *>(ANode))
            picker->Obj = DB->ObjList->GetObjByTable(ATable);
    };
    if (field == QStringLiteral("FLDTYPE_ID")) {
        WinCtrlTreeFldType = ANode;
        ANode->OnChange = [this](TWinCtrlTree *) { FldTypeChanged(); };
    } else if (field == QStringLiteral("FLD_SIZE")) {
        WinCtrlTreeFldSize = ANode;
    } else if (field == QStringLiteral("OBJ_ID_V")) {
        WinCtrlTreeObj = ANode;
        pickFrom(QStringLiteral("OBJ"));
    } else if (field == QStringLiteral("FKRULE_ID_V")) {
        WinCtrlTreeFKRule = ANode;
        pickFrom(QStringLiteral("FKRULE"));
    }
}

void TWinAtrFld::SetCurrentObj(TObj *AObj)
{
    FCurrentObj = AObj;
    if (WinCtrlTreeFormula)
        WinCtrlTreeFormula->Obj = AObj;
    if (WinCtrlTreeAgrLink)
        WinCtrlTreeAgrLink->ObjId = AObj ? Variant(AObj->Id()) : Variant();
}

void TWinAtrFld::InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    TWinMetaAtr::InitDefaultValues(AObjLink, AParentId);
    SetCurrentObj(AParentId.isEmptyOrNull() ? nullptr : DB->ObjList->GetObjById(VarAsInteger(AParentId)));
    FldTypeChanged();
    AgrLinkChanged();
}

void TWinAtrFld::SetRecId(const Variant &Value)
{
    TWinMetaAtr::SetRecId(Value);
    const TFld *fld = DB->ObjList->GetFldById(VarAsInteger(Value));
    SetCurrentObj(fld->Obj());
    SetReadOnly(WinCtrlTreeFormula, !FldTypesFormula.Contains(fld->FldType()) || fld->AgrObjLink());
}

void TWinAtrFld::FldTypeChanged()
{
    if (!WinCtrlTreeFldType)
        return;
    const Variant code = WinCtrlTreeFldType->Value();
    const TFldType type = DB->CodeToFldType(code.isEmpty() ? Variant::Null() : code);
    SetReadOnly(WinCtrlTreeObj, type != TFldType::ftFK);
    SetReadOnly(WinCtrlTreeFKRule, type != TFldType::ftFK);
    SetReadOnly(WinCtrlTreeAgrLink, !FldTypesAgr.Contains(type));
    SetReadOnly(WinCtrlTreeFldSize, !FldTypesSize.Contains(type));
    SetReadOnly(WinCtrlTreeFormula, !FldTypesFormula.Contains(type));
    if (WinCtrlTreeAgrField)
        WinCtrlTreeAgrField->FldTypeId = code;
}

void TWinAtrFld::AgrLinkChanged()
{
    if (!WinCtrlTreeAgrLink)
        return;
    const Variant linkId = WinCtrlTreeAgrLink->Value();
    const bool chosen = !linkId.isEmptyOrNull();
    SetReadOnly(WinCtrlTreeAgrField, !chosen);
    // A summing field takes its value from the detail rows, never from a formula.
    if (chosen)
        SetReadOnly(WinCtrlTreeFormula, true);
    if (!WinCtrlTreeAgrField)
        return;
    const TObjLink *link = chosen && FCurrentObj ? FCurrentObj->ChildList->GetById(VarAsInteger(linkId)) : nullptr;
    WinCtrlTreeAgrField->ObjId = link ? Variant(link->ChildFld()->Obj()->Id()) : Variant();
}
