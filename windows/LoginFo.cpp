#include "LoginFo.h"

#include "Application.h"
#include "Main.h"
#include "MsgDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

TLoginForm *LoginForm = nullptr;

namespace {

// An edit with its caption just above it, three pixels apart.
QLineEdit *AddLabelledEdit(QWidget *AForm, QLabel *&ALabel, const QString &ACaption, const QRect &AGeometry)
{
    auto *edit = new QLineEdit(AForm);
    edit->setGeometry(AGeometry);
    ALabel = new QLabel(ACaption, AForm);
    ALabel->setBuddy(edit);
    ALabel->adjustSize();
    ALabel->move(AGeometry.left(), AGeometry.top() - ALabel->height() - 3);
    return edit;
}

} // namespace

TLoginForm::TLoginForm(QWidget *AOwner) : QDialog(AOwner)
{
    SetFormFont(this);
    setWindowTitle(QStringLiteral("Авторизация"));
    setFixedSize(284, 161);

    leLogin = AddLabelledEdit(this, lbLogin, QStringLiteral("Логин"), QRect(24, 29, 233, 21));
    leLogin->setText(QStringLiteral("admin"));
    lePass = AddLabelledEdit(this, lbPass, QStringLiteral("Пароль"), QRect(24, 77, 233, 21));
    lePass->setEchoMode(QLineEdit::Password);
    // No password is kept anywhere, so none is asked for.
    lePass->setEnabled(false);

    pb = new QProgressBar(this);
    pb->setGeometry(24, 112, 233, 2);
    pb->setTextVisible(false);
    pb->setValue(0);

    btOk = new QPushButton(QStringLiteral("ОК"), this);
    btOk->setGeometry(101, 123, 75, 25);
    btOk->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btCancel->setGeometry(182, 123, 75, 25);

    setTabOrder(leLogin, lePass);
    setTabOrder(lePass, btOk);
    setTabOrder(btOk, btCancel);
    leLogin->setFocus();

    connect(btOk, &QPushButton::clicked, this, Guard([this] { btOkClick(); }));
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TLoginForm::CentreOverOwner()
{
    if (parentWidget())
        PositionForm(parentWidget()->window(), this);
}

void TLoginForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window the user restores stays where it was.
    if (event->spontaneous())
        return;
    CentreOverOwner();
    // Once more when the window manager has framed it, since its frame counts.
    if (!std::exchange(FFrameWatched, true))
        OnFirstExposure(this, [this] { CentreOverOwner(); });
}

void TLoginForm::btOkClick()
{
    pb->setValue(0);
    // A failure to connect leaves nothing open to undo.
    DB->Connect();
    try {
        DB->ObjList->NotifyPosition = LoginProgress;
        DB->Init();
        DB->Login(leLogin->text(), QString());
    } catch (...) {
        // Back to not connected, so that the next try starts clean; the error shown is the one
        // that stopped the login.
        DB->Deinit();
        DB->DisconnectQuietly();
        throw;
    }
    accept();
}

void LoginProgress(int APos, int AMax)
{
    if (!LoginForm)
        return;
    LoginForm->pb->setMaximum(AMax);
    LoginForm->pb->setValue(APos);
}
