#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The login dialog: connects, loads the repository and checks the login name. It closes with
// the accepted result only when all three succeeded; a failure is shown and it stays open.
class TLoginForm : public QDialog
{
public:
    explicit TLoginForm(QWidget *AOwner);

    QLabel *lbLogin;
    QLineEdit *leLogin;
    QLabel *lbPass;
    QLineEdit *lePass;
    QProgressBar *pb;
    QPushButton *btOk;
    QPushButton *btCancel;

    void btOkClick();

protected:
    // Centred over the main form: when it is shown, and once more when the window manager has
    // framed it, since its frame counts.
    void showEvent(QShowEvent *event) override;

private:
    void CentreOverOwner();

    bool FFrameWatched = false;
};

// The login dialog being shown by the login command, else null.
extern TLoginForm *LoginForm;

// The repository load's progress, shown on the login dialog's progress bar.
void LoginProgress(int APos, int AMax);
