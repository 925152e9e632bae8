#include "WinCtrlTreeObj.h"

#include "Application.h"
#include "CardWidgets.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "Func.h"
#include "Obj.h"
#include "WinSelVal.h"

#include <QKeyEvent>
#include <QScopeGuard>

namespace {

// F2 in the edit: the key-down of the link control.
class TEditKeys : public QObject
{
public:
    TEditKeys(std::function<void(int)> AKeyDown, QObject *AParent) : QObject(AParent), FKeyDown(std::move(AKeyDown)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            Guarded([&] { FKeyDown(static_cast<QKeyEvent *>(event)->key()); });
        return false;
    }

private:
    std::function<void(int)> FKeyDown;
};

} // namespace

TWinCtrlTreeObj::TWinCtrlTreeObj(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
    : TWinCtrlTree(AOwner, AParent, ACtrlTree)
{
    if (auto *edit = dynamic_cast<TButtonedEdit *>(WinControl.data())) {
        // Through the virtual table, so that a subclass's picker opens.
        edit->OnButtonClick = [this, alive = QPointer<QObject>(Context())] {
            if (alive)
                SelectValue();
        };
        edit->installEventFilter(new TEditKeys([this](int key) { EditKeyDown(key); }, Context()));
    }
    if (TFld *fld = ACtrlTree->Fld(); fld && !fld->Virt())
        Obj = fld->FKObj();
}

TWinCtrlTreeObj::~TWinCtrlTreeObj() = default;

void TWinCtrlTreeObj::EditKeyDown(int AKey)
{
    if (AKey == Qt::Key_F2 && !ReadOnly())
        SelectValue();
}

Variant TWinCtrlTreeObj::GetValue()
{
    if (CtrlType() != TCtrlType::ctEditObj)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeObj.GetValue"));
    return ObjRecId;
}

void TWinCtrlTreeObj::SetValue(const Variant &AValue)
{
    if (CtrlType() != TCtrlType::ctEditObj)
        RaiseUnknownType(QStringLiteral("TWinCtrlTreeObj.SetValue"));
    QString text;
    if (!AValue.isEmptyOrNull())
        // Without its object the control can only show the bare key.
        text = Obj ? Obj->GetValueById(VarAsInteger(AValue)) : AValue.toString();
    ObjRecId = AValue.isEmpty() ? Variant::Null() : AValue;
    ShowEditText(text);
}

void TWinCtrlTreeObj::ShowEditText(const QString &AText)
{
    auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
    if (!edit || edit->text() == AText)
        OnWinControlChange();
    else
        edit->setText(AText);
}

void TWinCtrlTreeObj::SelectValue()
{
    if (!Obj)
        throw ExceptionPos(Format(QStringLiteral("Для поля \"%s\" не задан объект, запись которого выбирается."),
                                  {Caption()}),
                           WinControl);
    const QString tblName = GetSelTblName();
    const auto picker = std::make_unique<TWinSelVal>(Owner(), WinControl);
    WinSelVal = picker.get();
    const auto forget = qScopeGuard([this] { WinSelVal = nullptr; });
    picker->Init(Obj, tblName, Caption());
    SetFilterParams();
    picker->Value = ObjRecId;
    if (picker->Execute())
        SetValue(picker->Value);
}

void TWinCtrlTreeObj::SetFilterParams()
{
}
