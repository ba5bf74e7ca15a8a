#pragma once

#include "FakeSerialPort.h"

#include <QByteArray>
#include <functional>
#include <vector>

// A terminal taking a YModem-CRC batch on a FakeSerialPort: it invites with 'C', answers frames with
// ACK, collects the files, and lets a test refuse or ignore chosen frames.
namespace commtest {

class SenderTerminal {
public:
    struct File {
        QByteArray name;
        qint64 size = 0;
        QByteArray data; // all data bytes received, frame filling included
    };
    struct Frame {
        qint64 at = 0;
        char lead = 0;
        quint8 block = 0;
        QByteArray data;
        bool crcGood = false;
    };
    // What to do with a write: the default answer, or a NAK, or nothing at all.
    enum class Answer { Normal, Nak, Silent, Can };
    using Rule = std::function<Answer(const SenderTerminal &terminal, const QByteArray &written)>;

    static constexpr qint64 ReplyMs = 5;

    explicit SenderTerminal(FakeSerialPort &port);

    // The first 'C', sent after the given delay from now.
    void invite(qint64 delayMs = 20) { Port.arriveAfter(delayMs, "C"); }
    void setRule(Rule rule) { RuleFn = std::move(rule); }

    const std::vector<File> &files() const { return Files; }
    const std::vector<Frame> &frames() const { return Frames; } // every frame written, in order
    int eots() const { return Eots; }
    int cans() const { return Cans; }
    bool batchEnded() const { return BatchEnded; }

private:
    void onWrite(const QByteArray &written);

    FakeSerialPort &Port;
    Rule RuleFn;
    std::vector<File> Files;
    std::vector<Frame> Frames;
    quint8 LastBlock = 0;
    bool InFile = false;
    int Eots = 0;
    int Cans = 0;
    bool BatchEnded = false;
};

} // namespace commtest
