#include "FakeClock.h"

namespace commtest {

FakeClock::FakeClock(quint32 startTick, QDateTime wallStart)
    : StartTick(startTick), WallStart(std::move(wallStart))
{
}

quint32 FakeClock::tickMs()
{
    return static_cast<quint32>(StartTick + static_cast<quint64>(Elapsed));
}

void FakeClock::sleepMs(int ms)
{
    Sleeps.push_back(ms);
    if (ms > 0)
        Elapsed += ms;
}

QDateTime FakeClock::localNow()
{
    return WallStart.addMSecs(Elapsed);
}

void FakeClock::advance(qint64 ms)
{
    if (ms > 0)
        Elapsed += ms;
}

void FakeClock::advanceTo(qint64 elapsed)
{
    if (elapsed > Elapsed)
        Elapsed = elapsed;
}

} // namespace commtest
