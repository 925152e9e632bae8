#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

// Base of every exception the system raises: a message in the user's language.
class Exception : public std::exception
{
public:
    explicit Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    ~Exception() override = default;

    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// Cancels the current user action without any message box.
class EAbort : public Exception
{
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// A variant could not be converted or took part in an impossible operation.
class EVariantError : public Exception
{
public:
    using Exception::Exception;
};

class EZeroDivide : public Exception
{
public:
    EZeroDivide() : Exception(QStringLiteral("Деление на ноль.")) {}
};
