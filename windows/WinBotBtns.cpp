#include "WinBotBtns.h"

#include "Align.h"
#include "Application.h"
#include "Func.h"

#include <QDialog>
#include <QFrame>
#include <QResizeEvent>
#include <QKeyEvent>

namespace {

constexpr int BtnTop = 8;
constexpr int BtnWidth = 75;
constexpr int BtnHeight = 25;
constexpr int BtnGap = 8;
constexpr int PanelHeight = 41;

// Escape pressed anywhere in the form reaches this filter on the form before the form's own
// handling (a dialog would reject without a result) and presses the cancel button instead.
class TCancelKey : public QObject
{
public:
    explicit TCancelKey(TWinBotBtn *AButton) : QObject(AButton), FButton(AButton) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !FButton->isEnabled())
            return false;
        FButton->click();
        return true;
    }

private:
    TWinBotBtn *FButton;
};

// The panel keeps its buttons at their distance from its right edge when it is resized.
class TBotPanel : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QFrame::resizeEvent(event);
        const int inner = contentsRect().width();
        for (TWinBotBtn *btn : findChildren<TWinBotBtn *>(Qt::FindDirectChildrenOnly))
            btn->move(inner - btn->RightMargin - btn->width(), btn->y());
    }
};

} // namespace

TWinBotBtn::TWinBotBtn(const QString &ACaption, QWidget *AParent) : QPushButton(ACaption, AParent)
{
    connect(this, &QPushButton::clicked, this, Guard([this] { Click(); }));
}

void TWinBotBtn::Click()
{
    // The handler may close or free the window; what the click needs afterwards is kept here.
    const int result = ModalResult;
    const QPointer<QDialog> form = qobject_cast<QDialog *>(Form.data());
    if (form && result != mrNone)
        form->setResult(result);
    try {
        if (OnClick)
            OnClick();
    } catch (...) {
        if (form && (result == mrOk || result == mrCancel))
            form->setResult(mrNone);
        throw;
    }
    // Only a window in its modal loop closes; a form shown inside another keeps standing.
    if (form && form->isWindow() && form->isModal() && form->isVisible() && form->result() != mrNone)
        form->done(form->result());
}

TWinBotBtns::TWinBotBtns(QWidget *AOwner, QWidget *AParent) : TObjectList<TWinBotBtn>(false), Owner(AOwner)
{
    Panel = new TBotPanel(AParent);
    Panel->setFrameShape(QFrame::NoFrame);
    Panel->setFixedHeight(PanelHeight);
    SetAlign(Panel, TAlign::alBottom);
}

TWinBotBtns::~TWinBotBtns() = default;

TWinBotBtn *TWinBotBtns::AddButton(const QString &ACaption, TClickEvent AOnClick, TButtonType AButtonType)
{
    auto *btn = new TWinBotBtn(ACaption, Panel);
    btn->RightMargin = BtnGap + Count() * (BtnWidth + BtnGap);
    btn->setGeometry(Panel->contentsRect().width() - btn->RightMargin - BtnWidth, BtnTop, BtnWidth, BtnHeight);
    btn->OnClick = std::move(AOnClick);
    btn->ButtonType = AButtonType;
    btn->Form = Owner;
    // Qt hands Enter to the default button of the nearest dialog around a button, which for a
    // form inside another window is that window's: such buttons take no Enter at all.
    const bool dialog = OwnerIsDialog();
    btn->setAutoDefault(dialog && AButtonType != TButtonType::btNone);
    switch (AButtonType) {
    case TButtonType::btOk:
        btn->setDefault(dialog);
        btn->ModalResult = mrOk;
        break;
    case TButtonType::btCancel:
        btn->ModalResult = mrCancel;
        if (Owner)
            Owner->installEventFilter(new TCancelKey(btn));
        break;
    case TButtonType::btNone:
        break;
    }
    btn->show();
    return Add(btn);
}

void TWinBotBtns::AddOkCancelBtns(TClickEvent AOkNotifyEvent, TClickEvent ACancelNotifyEvent)
{
    AddButton(QStringLiteral("Отмена"), std::move(ACancelNotifyEvent), TButtonType::btCancel);
    AddButton(QStringLiteral("ОК"), std::move(AOkNotifyEvent), TButtonType::btOk);
}

bool TWinBotBtns::OwnerIsDialog() const
{
    return qobject_cast<QDialog *>(Owner.data()) && Owner->isWindow();
}

TWinBotBtn *TWinBotBtns::GetButton(TButtonType AButtonType) const
{
    for (TWinBotBtn *btn : *this)
        if (btn->ButtonType == AButtonType)
            return btn;
    return nullptr;
}

int TWinBotBtns::Height() const
{
    return Panel ? Panel->height() : 0;
}
