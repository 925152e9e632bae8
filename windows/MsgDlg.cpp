#include "MsgDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

// A message box that takes its place once it knows its size: a QMessageBox sizes itself only when
// it is being shown, so placing it beforehand would centre the wrong rectangle.
class TMsgDlgForm : public QMessageBox
{
public:
    TMsgDlgForm(QWidget *AOwner, QWidget *AParent) : QMessageBox(AOwner), FParent(AParent) {}

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        PositionForm(FParent, this);
    }

private:
    QPointer<QWidget> FParent;
};

struct TButtonMap
{
    TMsgDlgBtn Btn;
    QMessageBox::StandardButton Standard;   // NoButton: Qt has none, the button is our own
    int Result;
};

// In the order the buttons are added; Qt's button box then lays them out the platform's way.
const TButtonMap ButtonMap[] = {
    {mbYes, QMessageBox::Yes, mrYes},          {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},             {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::NoButton, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    {mbHelp, QMessageBox::Help, mrHelp},       {mbClose, QMessageBox::Close, mrClose},
};

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

// Qt leaves a box's caption its own width and 50 pixels; a window manager's title bar also holds
// an icon and three buttons and draws the caption in bold, so a short box would read
// "Подт…ение". The row of buttons, which spans the box, asks for the room; Qt sizes the box anew
// at each layout request, and this way it keeps the room each time.
void LeaveRoomForCaption(QMessageBox &ABox)
{
    constexpr int TitleBarControlsWidth = 120;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int wanted = QFontMetrics(font).horizontalAdvance(ABox.windowTitle()) + TitleBarControlsWidth;
    auto *buttons = ABox.findChild<QDialogButtonBox *>();
    if (!buttons || !ABox.layout())
        return;
    const QMargins margins = ABox.layout()->contentsMargins();
    buttons->setMinimumWidth(wanted - margins.left() - margins.right());
}

// The window the box belongs to when no control is named: the dialog or window in use.
QWidget *OwnerWindow(QWidget *AParent)
{
    if (AParent)
        return AParent->window();
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

int TWinUserHooks::MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent)
{
    QWidget *control = qobject_cast<QWidget *>(parent);
    TMsgDlgForm box(OwnerWindow(control), control);
    box.setIcon(IconOf(type));
    box.setText(msg);
    QAbstractButton *allButton = nullptr;
    for (const TButtonMap &map : ButtonMap) {
        if (!(buttons & map.Btn))
            continue;
        if (map.Standard != QMessageBox::NoButton)
            box.addButton(map.Standard);
        else
            allButton = box.addButton(QStringLiteral("&All"), QMessageBox::AcceptRole);
    }
    // Only the yes/no pair speaks Russian; OK, Cancel and the rest keep Qt's captions.
    for (QPushButton *button : box.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("&Yes"))
            button->setText(QStringLiteral("&Да"));
        else if (button->text() == QLatin1String("&No"))
            button->setText(QStringLiteral("&Нет"));
    }
    if (type == TMsgDlgType::mtError)
        box.setWindowTitle(QStringLiteral("Ошибка"));
    else if (type == TMsgDlgType::mtConfirmation)
        box.setWindowTitle(QStringLiteral("Подтверждение"));
    LeaveRoomForCaption(box);

    box.exec();

    QAbstractButton *clicked = box.clickedButton();
    if (!clicked)
        return mrCancel;   // closed by the window's close button
    if (clicked == allButton)
        return mrAll;
    const QMessageBox::StandardButton standard = box.standardButton(clicked);
    for (const TButtonMap &map : ButtonMap)
        if (map.Standard == standard && standard != QMessageBox::NoButton)
            return map.Result;
    return mrNone;
}

void PositionForm(QWidget *AParent, QWidget *AForm)
{
    if (!AParent) {
        // A dialog that has not been moved is centred over its parent window when it shows.
        AForm->setAttribute(Qt::WA_Moved, false);
        return;
    }
    // A control's position is relative to its parent's content area; a window's frame is
    // already placed on the screen.
    const QRect parent = AParent->isWindow()
        ? AParent->frameGeometry()
        : QRect(AParent->parentWidget()->mapToGlobal(AParent->pos()), AParent->size());
    QSize form = AForm->frameGeometry().size();
    // A window shown for the first time has no frame yet: the window manager adds it once the
    // window is on the screen. It is taken to get the frame of the window it is shown over.
    if (const QWidget *window = AParent->window(); AForm->isWindow() && form == AForm->size())
        form += window->frameGeometry().size() - window->size();
    int left = parent.x() + parent.width() / 2 - form.width() / 2;
    int top = parent.y() + parent.height() / 2 - form.height() / 2;
    // Only the work area's size counts, as on a single screen whose work area starts at 0, 0.
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    if (left < 0)
        left = 0;
    if (left + form.width() > workArea.width())
        left = workArea.width() - form.width();
    if (top < 0)
        top = 0;
    if (top + form.height() > workArea.height())
        top = workArea.height() - form.height();
    AForm->move(left, top);
}
