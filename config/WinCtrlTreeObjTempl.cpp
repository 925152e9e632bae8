#include "WinCtrlTreeObjTempl.h"

#include "AtrItemObjTempl.h"
#include "Main.h"
#include "ObjValue.h"
#include "WinObjTempl.h"

#include <QLineEdit>
#include <QScopeGuard>

Variant TWinCtrlTreeObjTempl::GetValue()
{
    if (CtrlType() != TCtrlType::ctObjTempl)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeObjTempl.GetValue"));
    auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
    return DB->StrToVarByFldType(edit ? edit->text() : QString(), TFldType::ftString);
}

void TWinCtrlTreeObjTempl::SetValue(const Variant &AValue)
{
    if (CtrlType() != TCtrlType::ctObjTempl)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeObjTempl.SetValue"));
    if (auto *edit = qobject_cast<QLineEdit *>(WinControl.data()))
        edit->setText(DB->VarToStrByFldType(AValue, TFldType::ftString));
}

void TWinCtrlTreeObjTempl::SelectValue()
{
    // Only the template field's own item carries a list of template fields.
    auto *item = dynamic_cast<TAtrItemObjTempl *>(AtrItem);
    if (!item)
        return;
    const QString caption = DB->ObjList->GetObjByTable(QStringLiteral("OBJVALUE"))->Capt();
    TWinObjTempl editor(Owner(), WinControl, caption);
    WinObjTempl = &editor;
    const auto forget = qScopeGuard([this] { WinObjTempl = nullptr; });
    editor.Obj = Obj;
    editor.Templ = item->AsString();
    editor.TemplFldList->Assign(*item->TemplFldList);
    if (!editor.Execute())
        return;
    item->TemplFldList->Assign(*editor.TemplFldList);
    item->TemplFldList->Modified = true;
}
