#pragma once

#include <cstdio>
#include <cstdlib>

// A promise of the reader under a fuzz target. When it breaks, the fuzzer keeps the input that broke
// it and the message says which promise it was.
#define FUZZ_REQUIRE(condition)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
