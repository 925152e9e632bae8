#pragma once

#include <QApplication>
#include <functional>
#include <memory>

class TWinUserHooks;

// The application object. It gives the lower layers their message boxes for as long as it lives,
// and it is the last line that keeps an exception from unwinding through Qt's own frames: Qt calls
// that undefined behaviour, so whatever a handler lets escape is shown here and the loop goes on.
// An interrupt or terminate signal closes the program as "Выход" does.
class TApplication : public QApplication
{
public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void CatchExitSignals();
    void CloseOnSignal();

    std::unique_ptr<TWinUserHooks> FHooks;
};

// Runs a handler of a widget signal or event. An exception it raises goes to the application-wide
// handler (the error box); a silent abort is dropped. The caller goes on either way.
void Guarded(const std::function<void()> &AWork);

// The handler `AWork` wrapped for QObject::connect, so that every connected handler is guarded.
template <typename Work>
auto Guard(Work AWork)
{
    return [AWork = std::move(AWork)]() { Guarded(AWork); };
}

// Runs AWork, guarded, once the window of AWindow is first exposed on the screen (at once when it
// is already): a window manager places a window, and frames it, only when it maps it.
void OnFirstExposure(QWidget *AWindow, std::function<void()> AWork);

// The font of the system's forms: Tahoma 8 points where it is installed or the application could
// load it, else the platform's own.
void SetFormFont(QWidget *AForm);
