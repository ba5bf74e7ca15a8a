#include "Line.h"

#include <algorithm>

namespace termsim {

Line::Line(int bitsPerSecond) : rate_(bitsPerSecond) {}

void Line::send(const Bytes &bytes, Micros notBefore)
{
    const double step = rate_ > 0 ? 10.0e6 / rate_ : 0.0;
    outClock_ = std::max(outClock_, static_cast<double>(notBefore));
    for (std::uint8_t b : bytes) {
        outClock_ += step;
        out_.push_back({b, static_cast<Micros>(outClock_)});
    }
}

Bytes Line::sendable(Micros now) const
{
    Bytes due;
    for (const Timed &t : out_) {
        if (t.at > now)
            break;
        due.push_back(t.byte);
    }
    return due;
}

void Line::sent(std::size_t count)
{
    out_.erase(out_.begin(), out_.begin() + static_cast<long>(count));
}

void Line::arrived(const Bytes &bytes, Micros now)
{
    const double step = rate_ > 0 ? 10.0e6 / rate_ : 0.0;
    inClock_ = std::max(inClock_, static_cast<double>(now));
    for (std::uint8_t b : bytes) {
        inClock_ += step;
        in_.push_back({b, static_cast<Micros>(inClock_)});
    }
}

Bytes Line::delivered(Micros now)
{
    Bytes due;
    while (!in_.empty() && in_.front().at <= now) {
        due.push_back(in_.front().byte);
        in_.pop_front();
    }
    return due;
}

std::optional<Micros> Line::nextEvent() const
{
    std::optional<Micros> next;
    if (!out_.empty())
        next = out_.front().at;
    if (!in_.empty())
        next = next ? std::min(*next, in_.front().at) : in_.front().at;
    return next;
}

} // namespace termsim
