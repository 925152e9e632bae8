#include "WinCard.h"

#include "Align.h"
#include "Application.h"
#include "Atr.h"
#include "Card.h"
#include "DetBook.h"
#include "ObjLink.h"
#include "Func.h"
#include "IBTransaction.h"
#include "Main.h"
#include "MsgDlg.h"
#include "WinAtr.h"
#include "WinBotBtns.h"
#include "WinDetBook.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QScopedValueRollback>

namespace {

constexpr int Grid = 8;
constexpr int CaptionHeight = 18;

// The size a drag arrives at, moved from the card's own size in whole steps of the grid.
int SnapToStep(int AOwn, int ARequested)
{
    return AOwn + (ARequested - AOwn) / Grid * Grid;
}

// The form of a modal card.
class TCardDialog : public QDialog
{
public:
    explicit TCardDialog(QWidget *AOwner) : QDialog(AOwner) {}

    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QDialog::resizeEvent(event);
        if (OnResize)
            Guarded(OnResize);
    }
};

// The form of an embedded card: a frame with a caption strip of its own, since a form inside
// another window has no window caption to show its title and its activity.
class TCardFrame : public QFrame
{
public:
    explicit TCardFrame(QWidget *AParent) : QFrame(AParent)
    {
        setFrameShape(QFrame::Box);
        setLineWidth(1);
        FCaption = new QLabel(this);
        FCaption->setFixedHeight(CaptionHeight);
        FCaption->setAutoFillBackground(true);
        FCaption->setIndent(4);
        SetAlign(FCaption, TAlign::alTop);
        FClient = new QWidget(this);
        SetAlign(FClient, TAlign::alClient);
        SetActive(false);
    }

    std::function<void()> OnResize;

    QWidget *Client() const { return FClient; }
    QSize Extra() const { return QSize(2 * frameWidth(), 2 * frameWidth() + CaptionHeight); }
    void SetActive(bool AActive)
    {
        QPalette palette = FCaption->palette();
        palette.setColor(QPalette::Window, palette.color(AActive ? QPalette::Highlight : QPalette::Mid));
        palette.setColor(QPalette::WindowText, palette.color(AActive ? QPalette::HighlightedText : QPalette::Window));
        FCaption->setPalette(palette);
    }

protected:
    void changeEvent(QEvent *event) override
    {
        QFrame::changeEvent(event);
        if (event->type() == QEvent::WindowTitleChange)
            FCaption->setText(windowTitle());
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QFrame::resizeEvent(event);
        if (OnResize)
            Guarded(OnResize);
    }

private:
    QLabel *FCaption;
    QWidget *FClient;
};

} // namespace

TWinCard::TWinCard(QWidget *AOwner, QWidget *AParentPosition, QWidget *AParent)
    : Parent(AParent), ParentPosition(AParentPosition), Owner(AOwner), Card(std::make_unique<TCard>())
{
    Card->RaiseLoad = true;
}

TWinCard::~TWinCard()
{
    // The window objects go before the form that holds their widgets.
    WinAtr.reset();
    WinDetBook.reset();
    delete Form.data();
    Card.reset();
    WinBotBtns.reset();
}

// --- Building the form -------------------------------------------------------------------------

void TWinCard::InitById(int ACardId)
{
    Card->LoadById(ACardId);
    CreateForm();
}

void TWinCard::InitByName(TObj *AObj, const QString &ACardName)
{
    Card->LoadByName(AObj, ACardName);
    CreateForm();
}

void TWinCard::InitByUser(TObj *AObj, int AUserId)
{
    UserId = AUserId;
    Card->LoadCurrent(AObj, UserId);
    CreateForm();
}

QWidget *TWinCard::Client() const
{
    if (auto *frame = dynamic_cast<TCardFrame *>(Form.data()))
        return frame->Client();
    return Form;
}

QSize TWinCard::FormExtra() const
{
    if (auto *frame = dynamic_cast<TCardFrame *>(Form.data()))
        return frame->Extra();
    return QSize(0, 0);
}

void TWinCard::CreateForm()
{
    if (Embedded()) {
        auto *frame = new TCardFrame(Parent);
        frame->OnResize = [this] { FormResized(); };
        Form = frame;
    } else {
        auto *dialog = new TCardDialog(Owner);
        dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
        SetFormFont(dialog);
        dialog->OnResize = [this] { FormResized(); };
        Form = dialog;
    }
    SetWidth(Card->Width());

    AtrPanel = new QFrame(Client());
    AtrPanel->setFrameShape(QFrame::NoFrame);
    AtrPanel->setFixedHeight(Card->HeightAtr());
    SetAlign(AtrPanel, TAlign::alTop);
    Form->setWindowTitle(Card->Obj()->Capt());
    SetHeight(Card->HeightAtr());

    CreateWinAtr();
    WinAtr->OnBeforePost = [this](TWinAtr *, bool ANewCard, bool &ASkipPost) {
        if (OnBeforePost)
            OnBeforePost(this, ANewCard, ASkipPost);
    };
    WinAtr->OnBeforeCommit = [this](TWinAtr *, bool &DoAction) {
        if (OnBeforeCommit)
            OnBeforeCommit(this, DoAction);
    };

    DetPanel = new QFrame(Client());
    DetPanel->setFrameShape(QFrame::NoFrame);
    CreateWinDetBook();
    if (WinDetBook && WinDetBook->DetBook->ObjLinkList.Count() > 0) {
        CreateDetArea();
    } else {
        // The attribute area takes the whole form above the buttons.
        WinDetBook.reset();
        delete DetPanel.data();
        AtrPanel->setMinimumHeight(0);
        AtrPanel->setMaximumHeight(QWIDGETSIZE_MAX);
        SetAlign(AtrPanel, TAlign::alClient);
    }

    WinBotBtns = std::make_unique<TWinBotBtns>(Form, Client());
    WinBotBtns->AddOkCancelBtns(
        [this] {
            // Before whatever a subclass's OK reads from the items.
            if (!Embedded())
                WinAtr->CheckInput();
            OkClick();
        },
        [this] { CancelClick(); });
    // Docking may already have stretched the form to what its panels need at least: the card's
    // own sizes are counted from what it gave itself.
    SetHeight(FOwnSize.height() + WinBotBtns->Height());

    if (Embedded())
        Form->show();
    else
        PositionForm(ParentPosition, Form);
}

void TWinCard::CreateDetArea()
{
    Splitter = new TSplitterBar(AtrPanel);
    Splitter->OnCanResize = [this](int &ANewSize) { return SplitterCanResize(ANewSize); };
    SetAlign(DetPanel, TAlign::alClient);
    SetHeight(FOwnSize.height() + Splitter->height() + Card->HeightDet());
    // The detail tables of a new record stay closed, but adding to them saves the record first.
    WinDetBook->EnableAddBtn();
    WinDetBook->OnNewRecord = [this](TWinDet *) { WinDetBookNewRecord(); };
    WinDetBook->OnAfterChange = [this](TWinDet *) { WinDetBookAfterChange(); };
}

void TWinCard::CreateWinAtr()
{
    WinAtr = std::make_unique<TWinAtr>(Form, AtrPanel);
    WinAtr->Init(Card.get());
}

void TWinCard::CreateWinDetBook()
{
    // The detail cards stand over this card's form.
    WinDetBook = std::make_unique<TWinDetBook>(Form, DetPanel);
    WinDetBook->Init(Card->Obj(), UserId);
}

// --- Sizes -----------------------------------------------------------------------------------

int TWinCard::Width() const
{
    return Form ? Form->width() - FormExtra().width() : 0;
}

void TWinCard::SetWidth(int AValue)
{
    FOwnSize = QSize(AValue, Height());
    Form->resize(AValue + FormExtra().width(), Form->height());
}

int TWinCard::Height() const
{
    return Form ? Form->height() - FormExtra().height() : 0;
}

void TWinCard::SetHeight(int AValue)
{
    FOwnSize = QSize(Width(), AValue);
    Form->resize(Form->width(), AValue + FormExtra().height());
}

int TWinCard::HeightAtr() const
{
    return AtrPanel ? AtrPanel->height() : 0;
}

void TWinCard::SetHeightAtr(int AValue)
{
    if (Splitter) {
        AtrPanel->setFixedHeight(AValue);
        return;
    }
    // The attribute area fills the form: the form grows or shrinks with it.
    SetHeight(Height() + AValue - HeightAtr());
    AtrPanel->resize(AtrPanel->width(), AValue);
}

int TWinCard::HeightDet() const
{
    return DetPanel ? DetPanel->height() : Card->HeightDet();
}

void TWinCard::SetActiveForm(bool AActive)
{
    if (auto *frame = dynamic_cast<TCardFrame *>(Form.data()))
        frame->SetActive(AActive);
}

bool TWinCard::FormCanResize(int &NewWidth, int &NewHeight) const
{
    NewWidth = SnapToStep(FOwnSize.width(), NewWidth);
    NewHeight = SnapToStep(FOwnSize.height(), NewHeight);
    return NewWidth != Width() || NewHeight != Height();
}

bool TWinCard::SplitterCanResize(int &NewSize) const
{
    const int snapped = NewSize / Grid * Grid;
    const bool accept = snapped != HeightAtr() / Grid * Grid;
    NewSize = snapped;
    return accept;
}

bool TWinCard::SizedByWindowManager() const
{
    return Form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

void TWinCard::FormResized()
{
    // A maximized card takes the screen the window manager gives it: resized to a step, it
    // would lose its maximized state and stand over the screen's edges.
    if (FSnapping || !Form || SizedByWindowManager())
        return;
    int width = Width(), height = Height();
    if (!FormCanResize(width, height))
        return;
    const QScopedValueRollback<bool> snapping(FSnapping, true);
    Form->resize(width + FormExtra().width(), height + FormExtra().height());
}

// --- Record ----------------------------------------------------------------------------------

Variant TWinCard::RecId() const
{
    return WinAtr->RecId();
}

void TWinCard::SetRecId(const Variant &Value)
{
    WinAtr->SetRecId(Value);
    if (WinDetBook)
        OpenWinDetBook(Value);
}

void TWinCard::InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    WinAtr->InitDefaultValues(AObjLink, AParentId);
}

int TWinCard::ShowModalCard()
{
    auto *dialog = qobject_cast<QDialog *>(Form.data());
    if (!dialog)
        return mrNone;
    // Typing goes into the card, not into a button or a read-only key.
    WinAtr->FocusFirstInput();
    return dialog->exec();
}

void TWinCard::Commit()
{
    WinAtr->Atr->Commit();
}

void TWinCard::PostAndCommit()
{
    // No guard here: a subclass's Commit may leave the transaction open on purpose, to write
    // more rows into it before it commits.
    DB->StartTransaction();
    try {
        WinAtr->Post();
        Commit();
    } catch (...) {
        // Still in the transaction: nothing is committed, so nothing is kept.
        if (DB->WriteTransaction().InTransaction()) {
            DB->RollbackChanges();
            throw;
        }
        KeepCommittedRecord(std::current_exception());
    }
}

void TWinCard::KeepCommittedRecord(const std::exception_ptr &AError)
{
    try {
        SetRecId(WinAtr->Atr->RecId());
        for (TAtrItem *item : *WinAtr->Atr)
            item->Modified = false;
    } catch (...) {
        // Not even the saved record can be shown: the error is told, and the card has nothing
        // left to save.
        Guarded([&] { std::rethrow_exception(AError); });
        return;
    }
    std::rethrow_exception(AError);
}

void TWinCard::OkClick()
{
    if (Embedded() || NoPost)
        return;
    PostAndCommit();
}

void TWinCard::CancelClick()
{
    if (Embedded())
        return;
    if (WinAtr->Atr->Modified()
        && MsgDlg(QStringLiteral("Отменить изменения?"), TMsgDlgType::mtConfirmation, mbYes | mbNo, Form) != mrYes)
        throw EAbort();
}

void TWinCard::WinDetBookNewRecord()
{
    if (!WinAtr->Atr->New())
        return;
    PostAndCommit();
    OpenWinDetBook(RecId());
}

void TWinCard::OpenWinDetBook(const Variant &AParentId)
{
    WinDetBook->SetParentId(VarAsInteger(AParentId));
    WinDetBook->Open();
}

void TWinCard::WinDetBookAfterChange()
{
    FDetailsChanged = true;
    WinAtr->RefreshArgFlieds();
}
