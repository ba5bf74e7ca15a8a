#include "Clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class SystemClock final : public Clock {
public:
    quint32 tickMs() override
    {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<quint32>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    void sleepMs(int ms) override
    {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    QDateTime localNow() override { return QDateTime::currentDateTime(); }
};

} // namespace

Clock &systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace platform
