#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one exception type that a failing platform operation throws: what failed, why, and the
// system's error number where there is one.
class PlatformError : public std::exception
{
public:
    PlatformError(QString operation, QString reason, int code = 0)
        : operation_(std::move(operation)), reason_(std::move(reason)), code_(code),
          what_((operation_ + QStringLiteral(": ") + reason_).toUtf8())
    {}

    const QString& operation() const { return operation_; }
    const QString& reason() const { return reason_; }
    int code() const { return code_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    QString operation_;
    QString reason_;
    int code_;
    QByteArray what_;
};
