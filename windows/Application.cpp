#include "Application.h"

#include "Func.h"
#include "MsgDlg.h"

#include <QFontDatabase>
#include <QWidget>

namespace {

// Hands the exception being handled to the application-wide handler.
void HandleCurrentException()
{
    try {
        throw;
    } catch (const std::exception &e) {
        HandleApplicationException(e);
    } catch (...) {
        // Nothing of ours throws other types, but a foreign library might; it is still shown.
        HandleApplicationException(Exception(QStringLiteral("Неизвестная ошибка.")));
    }
}

} // namespace

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv), FHooks(std::make_unique<TWinUserHooks>())
{
    SetUserHooks(FHooks.get());
}

TApplication::~TApplication()
{
    SetUserHooks(nullptr);
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleCurrentException();
    }
    return false;
}

void Guarded(const std::function<void()> &AWork)
{
    try {
        AWork();
    } catch (...) {
        HandleCurrentException();
    }
}

void SetFormFont(QWidget *AForm)
{
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
        return;
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    AForm->setFont(font);
}
