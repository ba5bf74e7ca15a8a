#pragma once

#include "platform/Clock.h"

#include <vector>

// A clock that moves only when the code under test sleeps or waits (or the test advances it), so
// time-outs of seconds are run at their real values without waiting for them.
namespace commtest {

class FakeClock final : public platform::Clock {
public:
    // startTick: the tick at elapsed time 0 (a value near 2^32 tests the wrap of the tick count).
    explicit FakeClock(quint32 startTick = 1000000,
                       QDateTime wallStart = QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)));

    quint32 tickMs() override;
    void sleepMs(int ms) override;
    QDateTime localNow() override;

    // Milliseconds since the start, unaffected by the tick wrap.
    qint64 elapsed() const { return Elapsed; }
    void advance(qint64 ms);
    void advanceTo(qint64 elapsed);

    // Every sleepMs call, in order.
    const std::vector<int> &sleeps() const { return Sleeps; }

private:
    quint32 StartTick;
    QDateTime WallStart;
    qint64 Elapsed = 0;
    std::vector<int> Sleeps;
};

} // namespace commtest
