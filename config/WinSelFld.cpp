#include "WinSelFld.h"

#include "EditorForm.h"
#include "Func.h"
#include "WinBotBtns.h"
#include "WinObjTree.h"

TWinSelFld::TWinSelFld(QWidget *AOwner, QWidget *AParentPosition)
{
    Form = CreateEditorForm(AOwner, AParentPosition, QStringLiteral("Выбор поля"));
    WinObjTree = std::make_unique<TWinObjTree>(Form);
    WinObjTree->SetAlign(TAlign::alClient);
    WinBotBtns = std::make_unique<TWinBotBtns>(Form);
    WinBotBtns->AddOkCancelBtns([this] { CheckSelected(); }, {});
}

TWinSelFld::~TWinSelFld()
{
    WinObjTree.reset();
    WinBotBtns.reset();
    delete Form.data();
}

void TWinSelFld::Init(TObj *AObj)
{
    WinObjTree->Init(AObj);
}

bool TWinSelFld::Execute()
{
    if (Form->exec() != mrOk)
        return false;
    Fld = WinObjTree->Fld;
    Path = WinObjTree->Path.get();
    return true;
}

void TWinSelFld::CheckSelected()
{
    if (!WinObjTree->Fld)
        throw ExceptionPos(QStringLiteral("Нужно выделить поле."), Form);
}
