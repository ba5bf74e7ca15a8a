#include "YmFrames.h"

#include <algorithm>
#include <cstring>

namespace comm {

CrcTable makeCrcTable()
{
    CrcTable table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = static_cast<quint16>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<quint16>((crc << 1) ^ 0x1021) : static_cast<quint16>(crc << 1);
        table[static_cast<size_t>(i)] = crc;
    }
    return table;
}

quint16 calcCrc16(const CrcTable &table, const char *data, qint64 length)
{
    quint16 crc = 0;
    for (qint64 i = 0; i < length; ++i) {
        const auto index = static_cast<quint8>((crc >> 8) ^ static_cast<quint8>(data[i]));
        crc = static_cast<quint16>(table[index] ^ (crc << 8));
    }
    return crc;
}

int buildFrame(char *out, const CrcTable &table, quint8 blockNo, const char *data, int length, int dataSize)
{
    const int used = std::clamp(length, 0, dataSize);
    out[0] = dataSize == LongData ? STX : SOH;
    out[1] = static_cast<char>(blockNo);
    out[2] = static_cast<char>(255 - blockNo);
    if (used > 0)
        std::memcpy(out + 3, data, static_cast<size_t>(used));
    std::memset(out + 3 + used, 0, static_cast<size_t>(dataSize - used));
    const quint16 crc = calcCrc16(table, out + 3, dataSize);
    out[3 + dataSize] = static_cast<char>(crc >> 8);
    out[4 + dataSize] = static_cast<char>(crc & 0xFF);
    return dataSize + 5;
}

int buildHeaderFrame(char *out, const CrcTable &table, const QByteArray &name, qint64 size)
{
    const QByteArray digits = QByteArray::number(size);
    const qsizetype room = ShortData - 2 - digits.size();
    QByteArray data = name.left(std::max<qsizetype>(room, 0));
    data.append('\0');
    data.append(digits);
    return buildFrame(out, table, 0, data.constData(), static_cast<int>(data.size()), ShortData);
}

int buildNullHeader(char *out, const CrcTable &table)
{
    return buildFrame(out, table, 0, nullptr, 0, ShortData);
}

} // namespace comm
