#include "Frames.h"

#include "Crc16.h"

#include <algorithm>

namespace termsim {

Bytes makeFrame(std::uint8_t number, const std::uint8_t *data, std::size_t size, std::size_t blockSize)
{
    Bytes frame;
    frame.reserve(blockSize + 5);
    frame.push_back(blockSize == LongBlock ? STX : SOH);
    frame.push_back(number);
    frame.push_back(static_cast<std::uint8_t>(0xFF - number));
    const std::size_t used = std::min(size, blockSize);
    frame.insert(frame.end(), data, data + used);
    frame.resize(3 + blockSize, 0);
    const std::uint16_t crc = crc16(frame.data() + 3, blockSize);
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return frame;
}

Bytes makeHeader(const std::string &name, std::uint64_t size)
{
    Bytes data(name.begin(), name.end());
    data.push_back(0);
    const std::string digits = std::to_string(size);
    data.insert(data.end(), digits.begin(), digits.end());
    return makeFrame(0, data.data(), data.size(), ShortBlock);
}

Bytes makeNullHeader()
{
    return makeFrame(0, nullptr, 0, ShortBlock);
}

std::optional<HeaderInfo> parseHeader(const Bytes &data)
{
    HeaderInfo info;
    if (data.empty() || data[0] == 0) {
        info.endOfBatch = true;
        return info;
    }
    const auto nul = std::find(data.begin(), data.end(), std::uint8_t{0});
    if (nul == data.end())
        return std::nullopt;
    info.name.assign(data.begin(), nul);
    auto p = nul + 1;
    if (p == data.end() || *p < '0' || *p > '9')
        return std::nullopt;
    for (; p != data.end() && *p >= '0' && *p <= '9'; ++p) {
        if (info.size > (UINT64_MAX - 9) / 10)
            return std::nullopt;
        info.size = info.size * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    return info;
}

void FrameReader::start(std::uint8_t startByte)
{
    blockSize_ = startByte == STX ? LongBlock : ShortBlock;
    got_ = 0;
    data_.clear();
    data_.reserve(blockSize_);
}

FrameReader::Step FrameReader::feed(std::uint8_t byte)
{
    ++got_;
    if (got_ == 1) {
        number_ = byte;
    } else if (got_ == 2) {
        complement_ = byte;
    } else if (got_ <= 2 + blockSize_) {
        data_.push_back(byte);
    } else if (got_ == 3 + blockSize_) {
        crc_ = static_cast<std::uint16_t>(byte << 8);
    } else {
        crc_ = static_cast<std::uint16_t>(crc_ | byte);
        const bool good = complement_ == static_cast<std::uint8_t>(0xFF - number_) &&
                          crc_ == crc16(data_.data(), data_.size());
        return good ? Step::Good : Step::Bad;
    }
    return Step::More;
}

} // namespace termsim
