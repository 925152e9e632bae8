#pragma once

#include "Exception.h"
#include "Variant.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// The system's own error: a message and the control near which its box appears.
// The control is kept as a QObject so this layer stays free of widgets.
class ExceptionPos : public Exception
{
public:
    explicit ExceptionPos(const QString &message, QObject *parent = nullptr)
        : Exception(message), Parent(parent)
    {
    }

    // The message is built from a format text ("%s", "%d", "%g") and its arguments.
    static ExceptionPos Fmt(const QString &format, const QList<Variant> &args, QObject *parent = nullptr);

    // Guarded: the control may be gone by the time the box is shown.
    QPointer<QObject> Parent;
};

// Formats like the system's message texts: "%s" a value's text, "%d" an integer,
// "%g" a number in its shortest form, "%%" a percent sign. "%1:s" takes argument 1, and the
// next plain specifier goes on from there (argument 2). Missing arguments raise.
QString Format(const QString &format, const QList<Variant> &args);

// The longest name the database takes for a table, column, constraint, trigger or sequence.
constexpr int MaxIdentifierLength = 31;

// Why a name cannot stand unquoted in a statement of the database, or an empty text when it
// can: an ASCII letter, then ASCII letters, digits, "_" or "$", at most MaxIdentifierLength
// characters, not one of the database's reserved words and not beginning like the names of its
// own system tables and columns (in any letter case).
QString IdentifierFault(const QString &AName);
bool IsPlainIdentifier(const QString &AName);

void VarCheckNotNull(const Variant &v);
int VarAsInteger(const Variant &v);
bool VarAsBoolean(const Variant &v);

// Occurrences of `what` in `text`; each search starts one character after the previous hit.
int CountSubStr(const QString &what, const QString &text);

// --- Reaching the user --------------------------------------------------------------------
// Message boxes live in the window layer; this layer reaches them through hooks that the
// window layer installs at start-up. Without hooks the messages go to the standard error.

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3, mbAbort = 1u << 4,
    mbRetry = 1u << 5, mbIgnore = 1u << 6, mbAll = 1u << 7, mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9, mbHelp = 1u << 10, mbClose = 1u << 11
};
using TMsgDlgButtons = unsigned;

// Modal results, numbered as the callers compare them.
enum TModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
    mrNo = 7, mrClose = 8, mrHelp = 9, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14
};

class TUserHooks
{
public:
    virtual ~TUserHooks() = default;
    virtual int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent) = 0;
};

// Installs the window layer's hooks (nullptr removes them); the caller keeps ownership.
void SetUserHooks(TUserHooks *hooks);

int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent = nullptr);

// The application-wide handler of exceptions that reach the event loop.
// The connection object installs it when it is created.
using TApplicationExceptionHandler = std::function<void(const std::exception &)>;
void SetApplicationExceptionHandler(TApplicationExceptionHandler handler);
// Shows an exception nobody handled; a silent abort is dropped without a box. Never throws.
void HandleApplicationException(const std::exception &e) noexcept;
