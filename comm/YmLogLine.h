#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One line of the transfer log, as Shift-JIS bytes ended by CR LF.
namespace comm {

struct LogEntry {
    QDateTime time;
    QString bhtName;         // terminal-side file name
    bool recordData = false; // record data count records, every other file bytes
    qint64 records = 0;
    qint64 size = 0;
    bool sending = false;
    int code = 0;
};

// The log's own text of a result code.
QString logCodeText(int code);

QByteArray logLine(const LogEntry &entry);

} // namespace comm
