#pragma once

#include "FakeClock.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <vector>

// A scripted serial peer on a FakeClock. Bytes are queued to arrive at given times; everything the
// code under test writes is recorded with the time of the write; a peer callback sees each write and
// may queue answers; reads and writes can be made to fail. Times are FakeClock::elapsed() values.
namespace commtest {

class FakeSerialPort final : public platform::SerialPort {
public:
    struct Write {
        qint64 at = 0; // elapsed time of the write
        QByteArray bytes;
    };
    using Peer = std::function<void(FakeSerialPort &port, const QByteArray &written)>;

    explicit FakeSerialPort(FakeClock &clock);

    FakeClock &clock() { return Clock; }
    // Back to a fresh port on the same clock: nothing queued or recorded, no peer, no failures.
    void reset();

    // Bytes that become readable at elapsed time `at` (or `delayMs` from now).
    void arriveAt(qint64 at, const QByteArray &bytes);
    void arriveAfter(qint64 delayMs, const QByteArray &bytes);
    void arriveNow(const QByteArray &bytes) { arriveAfter(0, bytes); }
    // Bytes queued, whether already readable or still to come.
    qint64 pendingBytes() const;

    // Called after every successful write; may queue answers or change the failure settings.
    void setPeer(Peer peer) { PeerFn = std::move(peer); }

    const std::vector<Write> &writes() const { return Writes; }
    QByteArray written() const; // all written bytes, in order

    // While set, queueStatus and read fail.
    void setReadFailure(bool fail) { ReadFails = fail; }
    // The n-th write call from now on (1 = the next one) fails; 0 for none.
    void failWriteAfter(int n) { WriteFailCountdown = n; }
    // Bytes the output queue reports as not yet sent.
    void setOutQueue(int bytes) { OutQueue = bytes; }

    int purgeCount() const { return Purges; }
    int clearErrorCount() const { return ClearErrors; }
    int readCalls() const { return Reads; }
    // The largest read the code under test asked for.
    qint64 largestReadRequest() const { return LargestRead; }

    bool queueStatus(platform::PortQueueStatus &status) override;
    qint64 read(char *buffer, qint64 maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    bool write(const char *data, qint64 size) override;
    bool purge() override;
    void clearError() override;

private:
    struct Arrival {
        qint64 at = 0;
        QByteArray bytes;
    };
    qint64 readableBytes() const;

    FakeClock &Clock;
    std::deque<Arrival> Arrivals; // ordered by time
    std::vector<Write> Writes;
    Peer PeerFn;
    bool ReadFails = false;
    int WriteFailCountdown = 0;
    int OutQueue = 0;
    int Purges = 0;
    int ClearErrors = 0;
    int Reads = 0;
    qint64 LargestRead = 0;
};

} // namespace commtest
