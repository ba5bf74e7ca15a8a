#pragma once

#include "Faults.h"
#include "Session.h"

#include <optional>
#include <string>
#include <vector>

namespace termsim {

struct Options {
    SessionConfig session;
    FaultPlan faults;
    int rate = 0;             // bit/s of the emulated line; 0: no delay
    std::string linkFile;     // where the pty's slave path is written
    std::string logFile;      // empty: standard error
    int idleExitMs = 0;       // exit after this long without a byte from the PC; 0: never
    int exitAfterBatches = 0; // exit once this many batches went either way; 0: never
    bool trace = false;       // log the bytes each way
    bool help = false;        // --help: print the usage and run nothing
};

// Reads the command line (without the program name); empty with the reason in error. --help or -h
// in place of an option asks for the usage alone: what follows is not read.
std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error);

extern const char *const Usage;

} // namespace termsim
