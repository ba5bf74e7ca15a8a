#pragma once

#include <cstdint>
#include <vector>

namespace termsim {

using Bytes = std::vector<std::uint8_t>;
// Microseconds on a steady clock: the simulator's only sense of time.
using Micros = std::int64_t;

inline constexpr Micros MicrosPerMs = 1000;

} // namespace termsim
