#include "Faults.h"

namespace termsim {

Faults::Faults(const FaultPlan &plan)
    : plan_(plan), toPc_(plan.seed * 3 + 1), fromPc_(plan.seed * 3 + 2), terminal_(plan.seed * 3 + 3),
      endAck_(plan.seed ^ 0x9E3779B97F4A7C15ull)
{
}

bool Faults::draw(std::mt19937_64 &engine, double rate)
{
    if (rate <= 0)
        return false;
    // Uses the raw 53 bits rather than a distribution, whose output the standard leaves open.
    const double u = static_cast<double>(engine() >> 11) * (1.0 / 9007199254740992.0);
    return u < rate;
}

void Faults::pass(std::uint8_t byte, Direction direction, Bytes &out)
{
    std::mt19937_64 &engine = direction == Direction::ToPc ? toPc_ : fromPc_;
    if (draw(engine, plan_.drop)) {
        ++counts_.dropped;
        return;
    }
    if (draw(engine, plan_.corrupt)) {
        ++counts_.corrupted;
        const auto mask = static_cast<std::uint8_t>(1u << (engine() % 8));
        byte = static_cast<std::uint8_t>(byte ^ mask);
    }
    out.push_back(byte);
    if (draw(engine, plan_.repeat)) {
        ++counts_.repeated;
        out.push_back(byte);
    }
}

bool Faults::stallNow()
{
    if (!draw(terminal_, plan_.stall))
        return false;
    ++counts_.stalls;
    return true;
}

bool Faults::cancelNow()
{
    if (!draw(terminal_, plan_.cancel))
        return false;
    ++counts_.cancels;
    return true;
}

bool Faults::nakForCNow()
{
    if (!draw(terminal_, plan_.nakForC))
        return false;
    ++counts_.naksForC;
    return true;
}

bool Faults::loseEndAckNow()
{
    if (!draw(endAck_, plan_.loseEndAck))
        return false;
    ++counts_.endAcksLost;
    return true;
}

} // namespace termsim
