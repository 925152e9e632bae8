#include "WinSelVal.h"

#include "Application.h"
#include "Func.h"
#include "Main.h"
#include "MsgDlg.h"
#include "Obj.h"
#include "WinBotBtns.h"
#include "WinTbl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QAbstractItemView>

namespace {

constexpr int FormSize = 300;

// Tells whether the grid's last double click landed on a row: one on the empty space below
// the rows must not choose the row that happens to be focused, nor clear the link.
class TDblClickSpot : public QObject
{
public:
    TDblClickSpot(QAbstractItemView *AGrid, bool &AOnRow) : QObject(AGrid), FGrid(AGrid), FOnRow(AOnRow) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            FOnRow = FGrid->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isValid();
        return false;
    }

private:
    QAbstractItemView *FGrid;
    bool &FOnRow;
};

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
    if (auto *grid = WinTbl->GetPanel()->findChild<QAbstractItemView *>()) {
        // Filters run last-installed first: this one sees the double click before the table does.
        grid->viewport()->installEventFilter(new TDblClickSpot(grid, FDblClickOnRow));
    }
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
    if (!FDblClickOnRow || WinTbl->FocusedRecId().isNull())
        return;
    if (TWinBotBtn *ok = WinBotBtns->GetButton(TButtonType::btOk))
        ok->click();
}
