#pragma once

#include <QDateTime>
#include <QtGlobal>

// The transfer engine's sense of time: a millisecond tick that wraps at 2^32 like the system tick
// count, a sleep, and the local wall-clock time for log lines and dated file names. Tests install a
// clock that moves only when the engine sleeps or waits, so time-outs of seconds run instantly.
namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual quint32 tickMs() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual QDateTime localNow() = 0;
};

// The steady system clock; safe to use from several threads at once.
Clock &systemClock();

} // namespace platform
