#pragma once

#include "Bytes.h"

#include <cstddef>
#include <deque>
#include <optional>

// The serial line between terminal and PC at a bit rate: every byte takes ten bit times (start bit,
// eight data bits, stop bit) in each direction, one after the other. Rate 0 is a line without delay.
namespace termsim {

class Line {
public:
    explicit Line(int bitsPerSecond);

    // Bytes the terminal sends, not before the given time.
    void send(const Bytes &bytes, Micros notBefore);
    // Bytes of the terminal's output that have fully gone out by now, in order.
    Bytes sendable(Micros now) const;
    void sent(std::size_t count);
    bool sendIdle() const { return out_.empty(); }

    // Bytes the PC wrote, seen at now; they reach the terminal one byte time after another.
    void arrived(const Bytes &bytes, Micros now);
    Bytes delivered(Micros now);

    // When the next byte goes out or comes in; empty when nothing waits.
    std::optional<Micros> nextEvent() const;

private:
    struct Timed {
        std::uint8_t byte;
        Micros at;
    };
    Micros byteTime() const;

    int rate_;
    std::deque<Timed> out_;
    std::deque<Timed> in_;
    double outClock_ = 0; // end of the last byte sent, in microseconds
    double inClock_ = 0;
};

} // namespace termsim
