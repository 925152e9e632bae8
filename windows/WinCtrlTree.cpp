#include "WinCtrlTree.h"

#include "Application.h"
#include "AtrItem.h"
#include "CardWidgets.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"

#include <QKeyEvent>
#include <QLocale>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabWidget>
#include <utility>

using enum TCtrlType;

namespace {

const TCtrlTypes CtrlTypesEdit = TCtrlTypes::Range(ctEditStr, ctEditNum184);
const TCtrlTypes CtrlTypesButtoned{ctEditObj, ctFormula, ctObjTempl};
const TCtrlTypes CtrlTypesStructure{ctRoot, ctPageControl, ctTabSheet};
const TFldTypes FldTypesNum{TFldType::ftNum182, TFldType::ftNum183, TFldType::ftNum184};

// Typing "." or "," into a number's edit gives the decimal separator the conversions read.
class TDecimalKey : public QObject
{
public:
    TDecimalKey(QLineEdit *AEdit, QObject *AParent) : QObject(AParent), FEdit(AEdit) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text != QLatin1String(".") && text != QLatin1String(","))
            return false;
        if (!FEdit->isReadOnly())
            FEdit->insert(QLocale().decimalPoint());
        return true;
    }

private:
    QLineEdit *FEdit;
};

int IntOr(const Variant &AValue, int ADefault)
{
    return AValue.isEmptyOrNull() ? ADefault : VarAsInteger(AValue);
}

} // namespace

TWinCtrlTree::TWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree)
    : TObjectList<TWinCtrlTree>(true),
      CtrlTree(ACtrlTree),
      FOwner(AOwner),
      FCtrlType(ACtrlTree->CtrlTreeType()),
      FContext(std::make_unique<QObject>())
{
    CreateControl(AParent);
    LimitLength();
    PlaceControl();
    CreateLabel(AParent);
    ConnectChange();
}

TWinCtrlTree::~TWinCtrlTree()
{
    // Neither the item nor the control may call a node that is gone.
    Bind(nullptr);
    FContext.reset();
}

void TWinCtrlTree::RaiseUnknownType(const QString &AFunc) const
{
    throw ExceptionPos(Format(AFunc + QStringLiteral(": Неизвестный тип контрола \"%s\"."),
                              {DB->CtrlTreeTypeToCapt(FCtrlType)}));
}

// --- Building -----------------------------------------------------------------------------------

void TWinCtrlTree::CreateControl(QWidget *AParent)
{
    if (CtrlTypesEdit.Contains(FCtrlType)) {
        WinControl = new QLineEdit(AParent);
    } else if (CtrlTypesButtoned.Contains(FCtrlType)) {
        auto *edit = new TButtonedEdit(AParent);
        // A link or a formula is chosen with the button, never typed.
        edit->setReadOnly(FCtrlType != ctObjTempl);
        WinControl = edit;
    } else {
        switch (FCtrlType) {
        case ctRoot:
            WinControl = AParent;
            return;
        case ctPageControl:
            WinControl = new QTabWidget(AParent);
            break;
        case ctTabSheet: {
            auto *pageControl = qobject_cast<QTabWidget *>(AParent);
            if (!pageControl)
                throw ExceptionPos(Format(QStringLiteral("TWinAtr.Create: Закладка \"%s\" лежит не на наборе закладок."),
                                          {CtrlTree->Capt()}));
            auto *sheet = new QWidget;
            pageControl->addTab(sheet, CtrlTree->Capt());
            WinControl = sheet;
            return;
        }
        case ctDateEdit:
            WinControl = new TDateCheckEdit(AParent);
            break;
        case ctBoolean:
            WinControl = new TGrayCheckBox(AParent);
            break;
        default:
            throw ExceptionPos(Format(QStringLiteral("TWinAtr.Create: Неизвестный тип контрола %s."),
                                      {DB->CtrlTreeTypeToCapt(FCtrlType)}));
        }
    }
    WinControl->show();
}

void TWinCtrlTree::LimitLength()
{
    const TFld *fld = CtrlTree->Fld();
    auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
    if (!edit || !fld || FCtrlType != ctEditStr || fld->FldType() != TFldType::ftString)
        return;
    if (fld->Size() > 0)
        edit->setValidator(new TCharLimitValidator(fld->Size(), edit));
}

void TWinCtrlTree::PlaceControl()
{
    if (!CtrlTypesPos.Contains(FCtrlType))
        return;
    // A position or size that was never stored leaves the control where and as big as it is.
    const QSize hint = WinControl->sizeHint();
    const bool edit = CtrlTypesEdit.Contains(FCtrlType) || CtrlTypesButtoned.Contains(FCtrlType);
    const int width = CtrlTypesWidth.Contains(FCtrlType) ? IntOr(CtrlTree->CWidth(), hint.width()) : hint.width();
    const int height = CtrlTypesHeight.Contains(FCtrlType) ? IntOr(CtrlTree->CHeight(), hint.height())
                                                           : (edit ? CardEditHeight : hint.height());
    WinControl->setGeometry(IntOr(CtrlTree->CLeft(), 0), IntOr(CtrlTree->CTop(), 0), width, height);
}

void TWinCtrlTree::CreateLabel(QWidget *AParent)
{
    if (!CtrlTypesLabel.Contains(FCtrlType))
        return;
    LabelControl = new QLabel(CtrlTree->GetCapt2(), AParent);
    LabelControl->setBuddy(WinControl);
    LabelControl->adjustSize();
    LabelControl->move(IntOr(CtrlTree->LLeft(), 0), IntOr(CtrlTree->LTop(), 0));
    LabelControl->show();
}

void TWinCtrlTree::ConnectChange()
{
    const auto changed = Guard([this] { OnWinControlChange(); });
    if (auto *edit = qobject_cast<QLineEdit *>(WinControl.data())) {
        QObject::connect(edit, &QLineEdit::textChanged, Context(), changed);
        if (FldTypesNum.Contains(EditFldType()))
            edit->installEventFilter(new TDecimalKey(edit, Context()));
        if (FldTypesNum.Contains(EditFldType()) || EditFldType() == TFldType::ftInt)
            QObject::connect(edit, &QLineEdit::editingFinished, Context(), Guard([this] {
                                 if (FInputError.isEmpty())
                                     ShowItemValue();
                             }));
    } else if (auto *check = qobject_cast<QCheckBox *>(WinControl.data())) {
        QObject::connect(check, &QCheckBox::stateChanged, Context(), changed);
    } else if (auto *date = dynamic_cast<TDateCheckEdit *>(WinControl.data())) {
        // The picker outlives a node the designer deletes only while it is being freed.
        date->OnChange = [this, alive = QPointer<QObject>(Context())] {
            if (alive)
                OnWinControlChange();
        };
    }
}

TFldType TWinCtrlTree::EditFldType() const
{
    switch (FCtrlType) {
    case ctEditStr: return TFldType::ftString;
    case ctEditInt: return TFldType::ftInt;
    case ctEditNum182: return TFldType::ftNum182;
    case ctEditNum183: return TFldType::ftNum183;
    case ctEditNum184: return TFldType::ftNum184;
    default: return TFldType::ftNone;
    }
}

// --- Values ------------------------------------------------------------------------------------

QString TWinCtrlTree::GetSelTblName()
{
    return QString();
}

Variant TWinCtrlTree::GetValue()
{
    if (CtrlTypesStructure.Contains(FCtrlType))
        return Variant();
    if (CtrlTypesEdit.Contains(FCtrlType)) {
        auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
        return edit ? DB->StrToVarByFldType(edit->text(), EditFldType()) : Variant::Null();
    }
    if (FCtrlType == ctDateEdit) {
        auto *date = dynamic_cast<TDateCheckEdit *>(WinControl.data());
        return date && date->Checked() ? Variant(date->Date()) : Variant::Null();
    }
    if (FCtrlType == ctBoolean) {
        auto *check = qobject_cast<QCheckBox *>(WinControl.data());
        return !check || check->checkState() == Qt::PartiallyChecked ? Variant::Null() : Variant(check->isChecked());
    }
    RaiseUnknownType(QStringLiteral("TWinCtrlTree.GetValue"));
}

void TWinCtrlTree::SetValue(const Variant &AValue)
{
    if (CtrlTypesStructure.Contains(FCtrlType))
        return;
    if (CtrlTypesEdit.Contains(FCtrlType)) {
        if (auto *edit = qobject_cast<QLineEdit *>(WinControl.data()))
            edit->setText(DB->VarToStrByFldType(AValue, EditFldType()));
        FInputError.clear();
        FInputReported = false;
        return;
    }
    if (FCtrlType == ctDateEdit) {
        if (auto *date = dynamic_cast<TDateCheckEdit *>(WinControl.data()))
            date->SetState(!AValue.isEmptyOrNull(), AValue.isEmptyOrNull() ? QDate() : AValue.toDate());
        return;
    }
    if (FCtrlType == ctBoolean) {
        if (auto *check = qobject_cast<QCheckBox *>(WinControl.data()))
            check->setCheckState(AValue.isEmptyOrNull() ? Qt::PartiallyChecked
                                                        : (AValue.toBool() ? Qt::Checked : Qt::Unchecked));
        return;
    }
    RaiseUnknownType(QStringLiteral("TWinCtrlTree.SetValue"));
}

void TWinCtrlTree::SetValueNoOnChange(const Variant &AValue)
{
    const QScopedValueRollback<bool> quiet(NoOnChange, true);
    SetValue(AValue);
}

void TWinCtrlTree::Bind(TAtrItem *AAtrItem)
{
    if (AtrItem)
        AtrItem->OnChangeForWinCtrlTree = nullptr;
    AtrItem = AAtrItem;
    if (AtrItem)
        AtrItem->OnChangeForWinCtrlTree = [this](TAtrItem *item) { AtrItemChange(item); };
}

void TWinCtrlTree::AtrItemChange(TAtrItem *AAtrItem)
{
    SetValue(AAtrItem->Value());
}

void TWinCtrlTree::OnWinControlChange()
{
    // A control without a field has nowhere to write to.
    if (!AtrItem || AtrItem->ChangeType != TChangeType::ctNone)
        return;
    const std::optional<Variant> value = ReadInput();
    if (!value)
        return;
    {
        const QScopedValueRollback<TChangeType> writing(AtrItem->ChangeType, TChangeType::ctWinCtrlTree);
        AtrItem->SetValue(*value);
    }
    if (OnChange)
        OnChange(this);
}

std::optional<Variant> TWinCtrlTree::ReadInput()
{
    if (!CtrlTypesEdit.Contains(FCtrlType))
        return GetValue();
    try {
        Variant value = GetValue();
        FInputError.clear();
        FInputReported = false;
        return value;
    } catch (const EVariantError &e) {
        FInputError = e.Message();
        auto *edit = qobject_cast<QLineEdit *>(WinControl.data());
        if (edit && TDB::IsStartOfValue(edit->text(), EditFldType())) {
            FInputReported = false;
            return std::nullopt;
        }
        if (std::exchange(FInputReported, true))
            return std::nullopt;
        throw ExceptionPos(FInputError, WinControl);
    }
}

void TWinCtrlTree::ShowItemValue()
{
    if (!AtrItem)
        return;
    const QSignalBlocker quiet(WinControl);
    SetValue(AtrItem->Value());
}

void TWinCtrlTree::CheckInput()
{
    if (FInputError.isEmpty())
        return;
    SetFocus();
    throw ExceptionPos(Format(QStringLiteral("Поле \"%s\": %s"), {Caption(), FInputError}), WinControl);
}

// --- Caption, button, read-only ---------------------------------------------------------------

QTabWidget *TWinCtrlTree::ParentPageControl() const
{
    return ParentWinCtrlTree ? qobject_cast<QTabWidget *>(ParentWinCtrlTree->WinControl.data()) : nullptr;
}

QString TWinCtrlTree::Caption() const
{
    if (FCtrlType == ctTabSheet) {
        QTabWidget *pageControl = ParentPageControl();
        return pageControl ? pageControl->tabText(pageControl->indexOf(WinControl)) : QString();
    }
    return LabelControl ? LabelControl->text() : QString();
}

void TWinCtrlTree::SetCaption(const QString &ACaption)
{
    if (FCtrlType == ctTabSheet) {
        if (QTabWidget *pageControl = ParentPageControl())
            pageControl->setTabText(pageControl->indexOf(WinControl), ACaption);
        return;
    }
    if (LabelControl) {
        LabelControl->setText(ACaption);
        LabelControl->adjustSize();
    }
}

bool TWinCtrlTree::ShowButton() const
{
    auto *edit = dynamic_cast<TButtonedEdit *>(WinControl.data());
    return edit && edit->ShowButton();
}

void TWinCtrlTree::SetShowButton(bool AShow)
{
    if (auto *edit = dynamic_cast<TButtonedEdit *>(WinControl.data()))
        edit->SetShowButton(AShow);
}

void TWinCtrlTree::SetReadOnly(bool AReadOnly)
{
    if (FCtrlType == ctNone || FCtrlType == ctRoot)
        RaiseUnknownType(QStringLiteral("TWinCtrlTree.SetReadOnly"));
    FReadOnly = AReadOnly;
    // A text the item never took cannot be corrected in a read-only edit: the item's value returns.
    if (AReadOnly && !FInputError.isEmpty())
        ShowItemValue();
    QWidget *control = WinControl;
    if (!control || FCtrlType == ctPageControl || FCtrlType == ctTabSheet)
        return;
    SetReadOnlyColor(control, AReadOnly);
    if (CtrlTypesEdit.Contains(FCtrlType) || FCtrlType == ctObjTempl)
        static_cast<QLineEdit *>(control)->setReadOnly(AReadOnly);
    if (CtrlTypesButtoned.Contains(FCtrlType))
        SetShowButton(!AReadOnly);
    if (FCtrlType == ctDateEdit || FCtrlType == ctBoolean)
        control->setEnabled(!AReadOnly);
}

// --- Focus ---------------------------------------------------------------------------------------

void TWinCtrlTree::ShowParentTabs()
{
    // From the inside out: each tab sheet around the control comes to the front of its page control.
    for (TWinCtrlTree *node = this; node; node = node->ParentWinCtrlTree) {
        if (node->FCtrlType != ctTabSheet)
            continue;
        if (QTabWidget *pageControl = node->ParentPageControl())
            if (pageControl->currentWidget() != node->WinControl)
                pageControl->setCurrentWidget(node->WinControl);
    }
}

void TWinCtrlTree::SetFocus()
{
    ShowParentTabs();
    if (WinControl)
        WinControl->setFocus();
}
