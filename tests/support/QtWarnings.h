#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects what Qt warns about while it lives (warnings, criticals), and still prints it: a test
// that expects a quiet run checks Texts. Qt's warnings say that a call was wrong even where the
// result looks right.
class QtWarnings
{
public:
    QtWarnings() : FPrevious(qInstallMessageHandler(Handler)) { Current = this; }
    ~QtWarnings()
    {
        Current = nullptr;
        qInstallMessageHandler(FPrevious);
    }
    QtWarnings(const QtWarnings &) = delete;
    QtWarnings &operator=(const QtWarnings &) = delete;

    QStringList Texts;

private:
    static void Handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (!Current)
            return;
        if (type == QtWarningMsg || type == QtCriticalMsg)
            Current->Texts << text;
        if (Current->FPrevious)
            Current->FPrevious(type, context, text);
    }

    static inline QtWarnings *Current = nullptr;
    QtMessageHandler FPrevious;
};
