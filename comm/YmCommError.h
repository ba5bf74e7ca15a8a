#pragma once

#include <QString>
#include <stdexcept>

// Port failures inside a transfer. They never leave the engine's thread: Execute shows the message
// and ends the transfer with the code set before the throw.
class ECommError : public std::runtime_error {
public:
    explicit ECommError(const QString &message) : std::runtime_error(message.toStdString()), Message(message)
    {
    }
    const QString &message() const { return Message; }

private:
    QString Message;
};

class ECommReadWriteError : public ECommError {
public:
    static constexpr int ReadError = 1;
    static constexpr int WriteError = 2;

    explicit ECommReadWriteError(int errorNumber)
        : ECommError(errorNumber == ReadError ? QStringLiteral("受信データ読取エラー")
                                              : QStringLiteral("送信データ書き込みエラー")),
          ErrorNumber(errorNumber)
    {
    }
    int errorNumber() const { return ErrorNumber; }

private:
    int ErrorNumber;
};
