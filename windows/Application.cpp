#include "Application.h"

#include "Func.h"
#include "MsgDlg.h"

#include "IBDatabase.h"

#include <QDialog>
#include <QFontDatabase>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler may only write; the event loop reads what it wrote.
int SignalPipe[2] = {-1, -1};

void WriteSignal(int signal)
{
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool HasTahoma()
{
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
}

// The stored widths of forms and columns were laid out for Tahoma 8 points; with a wider
// fallback font dates lose their year and headers are cut. Where the system has no Tahoma, the
// metric-compatible one of Wine's fonts (Debian's fonts-wine) is loaded for this program.
void LoadTahomaUnlessInstalled()
{
    if (HasTahoma())
        return;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file));
}

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
    LoadTahomaUnlessInstalled();
    CatchExitSignals();
}

void TApplication::CatchExitSignals()
{
    // One pipe for the life of the process: the client library chains the handler into its own
    // and may call it after this object is gone, when a write to the pipe still does no harm.
    if (SignalPipe[0] < 0 && pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Exception(QStringLiteral("Не удалось создать канал для сигналов завершения."));
    auto *notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, Guard([this] {
        char bytes[16];
        while (read(SignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        CloseOnSignal();
    }));
    struct sigaction action = {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Left to itself the client library would end the embedded engine under the open windows.
    TIBDatabase::LeaveSignalsToProgram();
}

// Closes every window as "Выход" does, from the main event loop only: a modal window or an open
// menu is withdrawn first (its caller sees a cancel) and the next try waits until its loop has
// returned, so that no handler still running inside it finds its windows gone.
void TApplication::CloseOnSignal()
{
    QWidget *inTheWay = activePopupWidget() ? activePopupWidget() : activeModalWidget();
    if (auto *dialog = qobject_cast<QDialog *>(inTheWay))
        dialog->reject();
    else if (inTheWay)
        inTheWay->close();
    if (inTheWay || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(10, this, Guard([this] { CloseOnSignal(); }));
        return;
    }
    closeAllWindows();
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

namespace {

// Watches a window for its first exposure, then runs its work and goes.
class TFirstExposure : public QObject
{
public:
    TFirstExposure(QWindow *AWindow, std::function<void()> AWork) : QObject(AWindow), FWork(std::move(AWork))
    {
        AWindow->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Expose && static_cast<QWindow *>(AWatched)->isExposed()) {
            AWatched->removeEventFilter(this);
            deleteLater();
            Guarded(FWork);
        }
        return false;
    }

private:
    const std::function<void()> FWork;
};

} // namespace

void OnFirstExposure(QWidget *AWindow, std::function<void()> AWork)
{
    QWindow *window = AWindow->windowHandle();
    if (window && !window->isExposed())
        new TFirstExposure(window, std::move(AWork));
    else
        Guarded(AWork);
}

void SetFormFont(QWidget *AForm)
{
    if (!HasTahoma())
        return;
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    AForm->setFont(font);
}
