#include "FakeSerialPort.h"

#include <algorithm>
#include <cstring>

namespace commtest {

FakeSerialPort::FakeSerialPort(FakeClock &clock) : Clock(clock) {}

void FakeSerialPort::reset()
{
    Arrivals.clear();
    Writes.clear();
    PeerFn = nullptr;
    ReadFails = false;
    WriteFailCountdown = 0;
    OutQueue = 0;
    Purges = 0;
    ClearErrors = 0;
    Reads = 0;
    LargestRead = 0;
}

void FakeSerialPort::arriveAt(qint64 at, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const auto pos = std::upper_bound(Arrivals.begin(), Arrivals.end(), at,
                                      [](qint64 t, const Arrival &a) { return t < a.at; });
    Arrivals.insert(pos, Arrival{at, bytes});
}

void FakeSerialPort::arriveAfter(qint64 delayMs, const QByteArray &bytes)
{
    arriveAt(Clock.elapsed() + std::max<qint64>(delayMs, 0), bytes);
}

qint64 FakeSerialPort::pendingBytes() const
{
    qint64 n = 0;
    for (const Arrival &a : Arrivals)
        n += a.bytes.size();
    return n;
}

QByteArray FakeSerialPort::written() const
{
    QByteArray all;
    for (const Write &w : Writes)
        all += w.bytes;
    return all;
}

qint64 FakeSerialPort::readableBytes() const
{
    qint64 n = 0;
    for (const Arrival &a : Arrivals) {
        if (a.at > Clock.elapsed())
            break;
        n += a.bytes.size();
    }
    return n;
}

bool FakeSerialPort::queueStatus(platform::PortQueueStatus &status)
{
    if (ReadFails)
        return false;
    status.inQueue = static_cast<int>(readableBytes());
    status.outQueue = OutQueue;
    return true;
}

qint64 FakeSerialPort::read(char *buffer, qint64 maxBytes)
{
    ++Reads;
    LargestRead = std::max(LargestRead, maxBytes);
    if (ReadFails)
        return -1;
    qint64 n = 0;
    while (n < maxBytes && !Arrivals.empty() && Arrivals.front().at <= Clock.elapsed()) {
        Arrival &a = Arrivals.front();
        const qint64 take = std::min<qint64>(maxBytes - n, a.bytes.size());
        std::memcpy(buffer + n, a.bytes.constData(), static_cast<size_t>(take));
        n += take;
        if (take == a.bytes.size())
            Arrivals.pop_front();
        else
            a.bytes.remove(0, take);
    }
    return n;
}

bool FakeSerialPort::waitForInput(int timeoutMs)
{
    if (ReadFails || readableBytes() > 0)
        return true;
    const qint64 deadline = Clock.elapsed() + std::max(timeoutMs, 0);
    if (!Arrivals.empty() && Arrivals.front().at <= deadline) {
        Clock.advanceTo(Arrivals.front().at);
        return true;
    }
    Clock.advanceTo(deadline);
    return false;
}

bool FakeSerialPort::write(const char *data, qint64 size)
{
    if (WriteFailCountdown > 0 && --WriteFailCountdown == 0)
        return false;
    const QByteArray bytes(data, size);
    Writes.push_back(Write{Clock.elapsed(), bytes});
    if (PeerFn)
        PeerFn(*this, bytes);
    return true;
}

bool FakeSerialPort::purge()
{
    ++Purges;
    while (!Arrivals.empty() && Arrivals.front().at <= Clock.elapsed())
        Arrivals.pop_front();
    return true;
}

void FakeSerialPort::clearError()
{
    ++ClearErrors;
}

} // namespace commtest
