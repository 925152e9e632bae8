#include "WinObjTempl.h"

#include "Align.h"
#include "EditorForm.h"
#include "Fld.h"
#include "Func.h"
#include "Obj.h"
#include "ObjValue.h"
#include "TreeWidget.h"
#include "WinBotBtns.h"
#include "WinSelFld.h"
#include "WinToolBar.h"

namespace {

// The captions of the path's link fields and of the field, joined by ">" without blanks.
QString PathText(const TObjValue &AValue)
{
    QString text;
    for (const TFld *link : *AValue.Path)
        text += link->Capt() + QLatin1Char('>');
    return text + AValue.Fld()->Capt();
}

} // namespace

TWinObjTempl::TWinObjTempl(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption)
    : TemplFldList(std::make_unique<TTemplFldList>())
{
    Form = CreateEditorForm(AOwner, AParentPosition, ACaption);
    WinToolBar = std::make_unique<TWinToolBar>(Form);
    WinToolBar->AddBtn(TBtnType::btAdd, QStringLiteral("Добавить"), [this] { btAddClick(); });
    WinToolBar->AddBtn(TBtnType::btDel, QStringLiteral("Удалить"), [this] { btDelClick(); });
    vt = CreateTreeWidget(Form);
    vt->setRootIsDecorated(false);
    SetAlign(vt, TAlign::alClient);
    WinBotBtns = std::make_unique<TWinBotBtns>(Form);
    WinBotBtns->AddOkCancelBtns([this] { OkClick(); }, {});
}

TWinObjTempl::~TWinObjTempl()
{
    // A window made for one editing goes with its editor, not with its long-lived owner.
    WinToolBar.reset();
    WinBotBtns.reset();
    delete Form.data();
}

bool TWinObjTempl::Execute()
{
    vt->clear();
    for (const TObjValue *value : *TemplFldList)
        AddNode(*value);
    return Form->exec() == mrOk;
}

void TWinObjTempl::btAddClick()
{
    TWinSelFld selFld(Form, vt);
    selFld.Init(Obj);
    if (!selFld.Execute())
        return;
    auto value = std::make_unique<TObjValue>();
    value->SetFld(selFld.Fld);
    value->SetObj(Obj);
    value->SetPathHave(selFld.Path->Count() > 0);
    value->Path->Assign(*selFld.Path);
    AddNode(*TemplFldList->Add(std::move(value)));
}

void TWinObjTempl::btDelClick()
{
    QTreeWidgetItem *item = FocusedItem(vt);
    if (!item || MsgDlg(QStringLiteral("Удалить поле?"), TMsgDlgType::mtConfirmation, mbYes | mbNo, vt) != mrYes)
        return;
    TemplFldList->Delete(vt->indexOfTopLevelItem(item));
    delete item;
    ClearFocus(vt);
}

void TWinObjTempl::OkClick()
{
    if (!Obj)
        return;
    const QString fault = TemplateMismatch(Obj->Capt(), Templ, TemplFldList->Count());
    if (!fault.isEmpty())
        throw ExceptionPos(fault, vt);
}

void TWinObjTempl::AddNode(const TObjValue &AValue)
{
    auto *item = new QTreeWidgetItem(vt);
    SetNodeText(item, PathText(AValue));
}
