#include "WinCtrlTreeFrml.h"

#include "AtrItem.h"
#include "Formula.h"
#include "Main.h"
#include "WinFrml.h"

#include <QLineEdit>
#include <QScopeGuard>

Variant TWinCtrlTreeFormula::GetValue()
{
    if (CtrlType() != TCtrlType::ctFormula)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeFormula.GetValue"));
    auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
    return DB->StrToVarByFldType(edit ? edit->text() : QString(), TFldType::ftString);
}

void TWinCtrlTreeFormula::SetValue(const Variant &AValue)
{
    if (CtrlType() != TCtrlType::ctFormula)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeFormula.SetValue"));
    // A formula edited into one that reads the same is still a new formula: the item takes it.
    ShowEditText(DB->VarToStrByFldType(AValue, TFldType::ftString));
}

void TWinCtrlTreeFormula::SelectValue()
{
    if (!AtrItem)
        return;
    TWinFormula editor(Owner(), WinControl, Caption());
    WinFormula = &editor;
    const auto forget = qScopeGuard([this] { WinFormula = nullptr; });
    editor.Obj = Obj;
    editor.Formula->Assign(*AtrItem->Formula);
    if (!editor.Execute())
        return;
    AtrItem->Formula->Assign(*editor.Formula);
    SetValue(AtrItem->Formula->Text());
}
