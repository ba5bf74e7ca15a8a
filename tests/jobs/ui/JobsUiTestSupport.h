#pragma once

#include "jobs/DataType.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <vector>

namespace jobsuitest {

struct Field {
    const char *name;
    int length;
};

// A mode A job that stores its data, with its collected-data layout computed as the editor does
// before it opens a viewer.
TGyData storingJob(int tStamp, int tsLoc, bool htNo, const std::vector<Field> &group,
                   const std::vector<Field> &data);

// A program folder of this test case whose add-in list names a settings program for TEST.PD4: a
// shell script of body. The folder ends in "/".
QString folderWithSettingsProgram(const QByteArray &body);

// The terminal simulator with files to send, reached as COM1 while it lives, and the communication
// settings a transfer reads (no progress window, no log). Ready once the simulator named its line.
class SendingTerminal {
public:
    explicit SendingTerminal(const QString &outbox);
    ~SendingTerminal();
    SendingTerminal(const SendingTerminal &) = delete;
    SendingTerminal &operator=(const SendingTerminal &) = delete;
    bool ready() const { return ready_; }
    QString log() const;

private:
    QProcess process_;
    QString folder_;
    bool ready_ = false;
};

} // namespace jobsuitest
