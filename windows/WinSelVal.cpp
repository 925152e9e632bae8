#include "WinSelVal.h"

#include "Application.h"
#include "Func.h"
#include "Main.h"
#include "MsgDlg.h"
#include "Obj.h"
#include "WinBotBtns.h"
#include "WinTbl.h"

namespace {

constexpr int FormSize = 300;

} // namespace

TWinSelVal::TWinSelVal(QWidget *AOwner, QWidget *AParentPosition) : ParentPosition(AParentPosition)
{
    Form = new QDialog(AOwner);
    SetFormFont(Form);
}

TWinSelVal::~TWinSelVal()
{
    WinTbl.reset();
    WinBotBtns.reset();
    delete Form.data();
}

void TWinSelVal::Init(TObj *AObj, const QString &ATblName, const QString &ACapt)
{
    if (!AObj)
        throw ExceptionPos(QStringLiteral("TWinSelVal.Init: Не указан объект, запись которого выбирается."),
                           ParentPosition);
    Form->resize(FormSize, FormSize);
    Form->setWindowTitle(ACapt.isEmpty() ? AObj->Capt() : ACapt);

    WinTbl = std::make_unique<TWinTbl>(Form, Form);
    if (ATblName.isEmpty())
        WinTbl->InitByUser(AObj, nullptr, DB->CurrentUserId, true);
    else
        WinTbl->InitByName(AObj, nullptr, ATblName);
    WinTbl->SetAlign(TAlign::alClient);
    WinTbl->SetOnDblClick([this] { WinTblDblClick(); });
    // The table has just disabled its buttons, so the lock keeps them off.
    if (AObj->Meta() && !DevMode) {
        for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel})
            if (TWinToolBtn *btn = WinTbl->WinToolBar->GetByBtnType(type))
                btn->AlwaysDisable = true;
    }

    WinBotBtns = std::make_unique<TWinBotBtns>(Form);
    WinBotBtns->AddOkCancelBtns([this] { OkClick(); }, {});
}

bool TWinSelVal::Execute()
{
    WinTbl->Open();
    // Enter keeps the value the control holds, and the arrows move on from it.
    if (!Value.isEmptyOrNull())
        WinTbl->FocusRecord(Value);
    PositionForm(ParentPosition, Form);
    WinTbl->SetFocus();
    return Form->exec() == mrOk;
}

void TWinSelVal::OkClick()
{
    Value = WinTbl->FocusedRecId();
}

void TWinSelVal::WinTblDblClick()
{
    // One on the empty space below the rows must not choose the row that happens to be focused,
    // nor clear the link.
    if (!WinTbl->DblClickOnRow() || WinTbl->FocusedRecId().isNull())
        return;
    if (TWinBotBtn *ok = WinBotBtns->GetButton(TButtonType::btOk))
        ok->click();
}
