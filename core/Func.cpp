#include "Func.h"

#include <cstdio>

ExceptionPos ExceptionPos::Fmt(const QString &format, const QList<Variant> &args, QObject *parent)
{
    return ExceptionPos(Format(format, args), parent);
}

QString Format(const QString &format, const QList<Variant> &args)
{
    QString result;
    result.reserve(format.size() + 16 * args.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            result += c;
            continue;
        }
        const QChar spec = format[++i];
        if (spec == QLatin1Char('%')) {
            result += spec;
            continue;
        }
        if (next >= args.size())
            throw Exception(QStringLiteral("Format: не хватает аргументов для \"%1\".").arg(format));
        const Variant &arg = args[next++];
        if (spec == QLatin1Char('d'))
            result += QString::number(arg.toInt64());
        else if (spec == QLatin1Char('g'))
            result += Variant(arg.toDouble()).toString();
        else if (spec == QLatin1Char('s'))
            result += arg.isNull() ? QString() : arg.toString();
        else
            throw Exception(QStringLiteral("Format: неизвестный формат \"%%1\".").arg(spec));
    }
    return result;
}

void VarCheckNotNull(const Variant &v)
{
    if (v.isEmpty())
        throw EVariantError(QStringLiteral("Variant is empty"));
    if (v.isNull())
        throw EVariantError(QStringLiteral("Variant is null"));
}

int VarAsInteger(const Variant &v)
{
    VarCheckNotNull(v);
    return v.toInt();
}

bool VarAsBoolean(const Variant &v)
{
    VarCheckNotNull(v);
    return v.toBool();
}

int CountSubStr(const QString &what, const QString &text)
{
    if (what.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + 1))
        ++count;
    return count;
}

namespace {

TUserHooks *Hooks = nullptr;

TApplicationExceptionHandler &ApplicationHandler()
{
    static TApplicationExceptionHandler handler;
    return handler;
}

} // namespace

void SetUserHooks(TUserHooks *hooks)
{
    Hooks = hooks;
}

int MsgDlg(const QString &msg, TMsgDlgType type, TMsgDlgButtons buttons, QObject *parent)
{
    if (Hooks)
        return Hooks->MsgDlg(msg, type, buttons, parent);
    std::fprintf(stderr, "%s\n", msg.toUtf8().constData());
    return (buttons & mbOK) ? mrOk : mrNone;
}

void SetApplicationExceptionHandler(TApplicationExceptionHandler handler)
{
    ApplicationHandler() = std::move(handler);
}

void HandleApplicationException(const std::exception &e)
{
    if (dynamic_cast<const EAbort *>(&e))
        return;
    if (ApplicationHandler()) {
        ApplicationHandler()(e);
        return;
    }
    const auto *pos = dynamic_cast<const ExceptionPos *>(&e);
    MsgDlg(QString::fromUtf8(e.what()), TMsgDlgType::mtError, mbOK, pos ? pos->Parent.data() : nullptr);
}
