#pragma once

#include <cstddef>
#include <cstdint>

namespace termsim {

// CRC-16 with polynomial 0x1021, initial value 0, no reflection and no final XOR, the check of
// every frame's data bytes. Computed bit by bit: the simulator must not share the PC side's table.
std::uint16_t crc16(const std::uint8_t *data, std::size_t size);

} // namespace termsim
