#pragma once

#include "Bytes.h"

#include <cstddef>
#include <optional>
#include <string>

// The frames of a CRC batch transfer: start byte, block number, its complement, 128 or 1024 data
// bytes, CRC high and low byte.
namespace termsim {

inline constexpr std::uint8_t SOH = 0x01;
inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t EOT = 0x04;
inline constexpr std::uint8_t ACK = 0x06;
inline constexpr std::uint8_t NAK = 0x15;
inline constexpr std::uint8_t CAN = 0x18;
inline constexpr std::uint8_t INVITE = 'C';

inline constexpr std::size_t ShortBlock = 128;
inline constexpr std::size_t LongBlock = 1024;

// A frame of blockSize data bytes (128 or 1024): the given bytes, NUL-filled.
Bytes makeFrame(std::uint8_t number, const std::uint8_t *data, std::size_t size, std::size_t blockSize);
// Block 0 naming a file: the name, NUL, the size in decimal digits, NUL-filled to 128 bytes.
Bytes makeHeader(const std::string &name, std::uint64_t size);
// Block 0 with nothing in it: the end of a batch.
Bytes makeNullHeader();

struct HeaderInfo {
    bool endOfBatch = false;
    std::string name;
    std::uint64_t size = 0;
};

// Reads the data of a block 0. Empty when the name runs to the end of the block or the size has
// no digits.
std::optional<HeaderInfo> parseHeader(const Bytes &data);

// Collects one frame, byte by byte, once its start byte has been seen.
class FrameReader {
public:
    enum class Step { More, Good, Bad };

    void start(std::uint8_t startByte);
    Step feed(std::uint8_t byte);

    std::uint8_t number() const { return number_; }
    const Bytes &data() const { return data_; }

private:
    std::size_t blockSize_ = 0;
    std::size_t got_ = 0; // bytes after the start byte
    std::uint8_t number_ = 0;
    std::uint8_t complement_ = 0;
    std::uint16_t crc_ = 0;
    Bytes data_;
};

} // namespace termsim
