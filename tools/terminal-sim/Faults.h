#pragma once

#include "Bytes.h"

#include <cstdint>
#include <random>

// Faults the simulated line and terminal inject, drawn from a seeded generator so that a failing
// run replays with the same seed. Rates are probabilities: per byte for the line faults, per reply
// for the terminal's own faults.
namespace termsim {

struct FaultPlan {
    std::uint64_t seed = 1;
    double corrupt = 0; // a byte arrives with some bits flipped
    double drop = 0;    // a byte is lost
    double repeat = 0;  // a byte arrives twice
    double stall = 0;   // the terminal goes silent for stallMs before a reply
    int stallMs = 5000;
    double cancel = 0;     // the terminal aborts with CAN, 100 ms, CAN instead of a reply
    double nakForC = 0;    // the terminal answers NAK where the PC awaits its 'C' after a header
    double loseEndAck = 0; // an ACK of a file's last data frame or of its EOT is lost, either way

    bool any() const
    {
        return corrupt > 0 || drop > 0 || repeat > 0 || stall > 0 || cancel > 0 || nakForC > 0 ||
               loseEndAck > 0;
    }
};

struct FaultCounts {
    int corrupted = 0;
    int dropped = 0;
    int repeated = 0;
    int stalls = 0;
    int cancels = 0;
    int naksForC = 0;
    int endAcksLost = 0;
};

enum class Direction { ToPc, FromPc };

class Faults {
public:
    explicit Faults(const FaultPlan &plan);

    // The bytes that come out of the line for one byte that went in.
    void pass(std::uint8_t byte, Direction direction, Bytes &out);
    bool stallNow();
    bool cancelNow();
    bool nakForCNow();
    bool loseEndAckNow();

    const FaultPlan &plan() const { return plan_; }
    const FaultCounts &counts() const { return counts_; }

private:
    bool draw(std::mt19937_64 &engine, double rate);

    FaultPlan plan_;
    FaultCounts counts_;
    // One stream per direction and one for the terminal, so that a change in one does not move
    // the draws of the others.
    std::mt19937_64 toPc_;
    std::mt19937_64 fromPc_;
    std::mt19937_64 terminal_;
    std::mt19937_64 endAck_;
};

} // namespace termsim
