#pragma once

// A scripted terminal that sends batches to the receiver over the fake port, and a fixture that
// runs one receive on the fake clock.

#include "FakeClock.h"
#include "FakeProgress.h"
#include "FakeSerialPort.h"
#include "comm/YmFrames.h"
#include "comm/YmThread.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace receivertest {

// The pause after every write of the engine (it paces the frames for the terminal).
constexpr qint64 PaceMs = 10;

inline const comm::CrcTable &crcTable()
{
    static const comm::CrcTable table = comm::makeCrcTable();
    return table;
}

inline QByteArray headerFrame(const QByteArray &name, qint64 size)
{
    QByteArray frame(comm::LongFrame, '\0');
    frame.resize(comm::buildHeaderFrame(frame.data(), crcTable(), name, size));
    return frame;
}

// A header frame with any data part (at most dataSize bytes, NUL-filled).
inline QByteArray headerFrameOf(const QByteArray &data, int dataSize = comm::ShortData)
{
    QByteArray frame(comm::LongFrame, '\0');
    frame.resize(comm::buildFrame(frame.data(), crcTable(), 0, data.constData(),
                                  static_cast<int>(data.size()), dataSize));
    return frame;
}

inline QByteArray dataFrame(quint8 block, const QByteArray &data, int dataSize = comm::LongData)
{
    QByteArray frame(comm::LongFrame, '\0');
    frame.resize(comm::buildFrame(frame.data(), crcTable(), block, data.constData(),
                                  static_cast<int>(qMin<qsizetype>(data.size(), dataSize)), dataSize));
    return frame;
}

inline QByteArray nullHeader()
{
    QByteArray frame(comm::ShortFrame, '\0');
    comm::buildNullHeader(frame.data(), crcTable());
    return frame;
}

inline QByteArray fldText(const QByteArray &file, qint64 size, qint64 records, const QByteArray &widths)
{
    const QByteArray key = widths.contains(' ') ? "fields" : "field";
    return "* created by BHT\r\nfile\t" + file + "\r\nsize\t" + QByteArray::number(size) + "\r\nrecords\t" +
           QByteArray::number(records) + "\r\n" + key + "\t" + widths + "\r\n";
}

inline QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b += static_cast<char>(v);
    return b;
}

// One answer of the terminal: when the engine writes `trigger`, `reply` arrives `delayMs` later.
// A second part may follow at its own delay after the same write.
struct Step {
    char trigger;
    QByteArray reply;
    qint64 delayMs = 5;
    QByteArray later;
    qint64 laterMs = 0;
};

class Terminal {
public:
    std::deque<Step> steps;

    void on(char trigger, const QByteArray &reply = {}, qint64 delayMs = 5)
    {
        steps.push_back(Step{trigger, reply, delayMs, {}, 0});
    }

    // One file as a YModem sender gives it: header, data frames (128-byte frames for a content
    // that fits one, else 1024-byte frames), then the end byte.
    void file(const QByteArray &name, const QByteArray &content, char eot = comm::EOT)
    {
        on(comm::CRC_C, headerFrame(name, content.size()));
        on(comm::ACK);
        const QList<QByteArray> frames = framesOf(content);
        on(comm::CRC_C, frames.front());
        for (qsizetype i = 1; i < frames.size(); ++i)
            on(comm::ACK, frames[i]);
        on(comm::ACK, QByteArray(1, eot));
        on(comm::ACK);
    }

    void batchEnd()
    {
        on(comm::CRC_C, nullHeader());
        on(comm::ACK);
    }

    static QList<QByteArray> framesOf(const QByteArray &content)
    {
        QList<QByteArray> frames;
        if (content.size() <= comm::ShortData) {
            frames << dataFrame(1, content, comm::ShortData);
            return frames;
        }
        quint8 block = 1;
        for (qsizetype at = 0; at < content.size(); at += comm::LongData)
            frames << dataFrame(block++, content.mid(at, comm::LongData));
        return frames;
    }
};

class ReceiverTest : public testing::Test {
protected:
    ReceiverTest()
    {
        Start.TxFlag = false;
        Start.RxFolder = Inbox.path() + "/";
        Start.Tmp1File = Work.filePath("corltmp1.tmp");
        Start.Tmp2File = Work.filePath("corltmp2.tmp");
        Start.LogFile = Work.filePath("receive.log");
    }

    // Runs the receive to its end. With stopWhenDone the operator stops once the script is used up
    // and the engine invites the terminal again (how a continuous receive is ended); a watchdog
    // stops a receive that would otherwise wait for ever.
    TransferResult run(bool stopWhenDone = false)
    {
        Thread = std::make_unique<TYmThread>(Port, Clock, Progress, Start);
        Port.setPeer([this, stopWhenDone](commtest::FakeSerialPort &port, const QByteArray &written) {
            for (char b : written) {
                if (!Term.steps.empty() && Term.steps.front().trigger == b) {
                    const Step step = Term.steps.front();
                    Term.steps.pop_front();
                    if (!step.reply.isEmpty())
                        port.arriveAfter(step.delayMs, step.reply);
                    if (!step.later.isEmpty())
                        port.arriveAfter(step.laterMs, step.later);
                } else if (Term.steps.empty() && stopWhenDone && b == comm::CRC_C) {
                    Thread->StopCom();
                }
            }
            if (OnWrite)
                OnWrite(*Thread, written);
            if (Clock.elapsed() > 3600 * 1000)
                Thread->StopCom();
        });
        Thread->Execute();
        return Thread->result();
    }

    // Everything the engine wrote, in order.
    QByteArray wire() const
    {
        QByteArray all;
        for (const auto &w : Port.writes())
            all += w.bytes;
        return all;
    }

    // Elapsed times of the writes of one byte value.
    std::vector<qint64> timesOf(char byte) const
    {
        std::vector<qint64> times;
        for (const auto &w : Port.writes()) {
            if (w.bytes.size() == 1 && w.bytes[0] == byte)
                times.push_back(w.at);
        }
        return times;
    }

    static std::vector<qint64> gaps(const std::vector<qint64> &times)
    {
        std::vector<qint64> result;
        for (size_t i = 1; i < times.size(); ++i)
            result.push_back(times[i] - times[i - 1]);
        return result;
    }

    QString inboxPath(const QString &name) const { return Inbox.filePath(name); }

    QByteArray inboxFile(const QString &name) const
    {
        QFile f(inboxPath(name));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll();
    }

    void putInbox(const QString &name, const QByteArray &content) const
    {
        QFile f(inboxPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }

    QStringList inboxNames() const
    {
        return QDir(Inbox.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QByteArray logText() const
    {
        QFile f(Start.LogFile);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    QTemporaryDir Inbox;
    QTemporaryDir Work;
    TransferStart Start;
    commtest::FakeClock Clock;
    commtest::FakeSerialPort Port{Clock};
    commtest::FakeProgress Progress;
    Terminal Term;
    std::unique_ptr<TYmThread> Thread;
    // Sees every write of the engine after the terminal's answer to it was queued.
    std::function<void(TYmThread &, const QByteArray &)> OnWrite;
};

} // namespace receivertest
