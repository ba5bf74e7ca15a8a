#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>

// YModem-CRC frames: lead byte, block number, its complement, 128 or 1024 data bytes, CRC high, low.
namespace comm {

constexpr char SOH = 0x01;
constexpr char STX = 0x02;
constexpr char EOT = 0x04;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char CAN = 0x18;
constexpr char CRC_C = 'C';
constexpr char EOT_ALT = static_cast<char>(0xB0); // some terminals end a file with this

constexpr int ShortData = 128;
constexpr int LongData = 1024;
constexpr int ShortFrame = ShortData + 5;
constexpr int LongFrame = LongData + 5;

using CrcTable = std::array<quint16, 256>;

// CRC-16/XMODEM: polynomial 0x1021, start 0, not reflected, no final XOR.
CrcTable makeCrcTable();
quint16 calcCrc16(const CrcTable &table, const char *data, qint64 length);

// Writes a frame of dataSize (ShortData or LongData) data bytes into out, which must hold LongFrame
// bytes: the first `length` bytes of data (at most dataSize), NUL-filled. Returns the frame length.
int buildFrame(char *out, const CrcTable &table, quint8 blockNo, const char *data, int length, int dataSize);

// Block 0: the name, one NUL, the size in decimal digits, NUL bytes up to 128. A name too long for
// the block is cut so that the size still fits. Returns ShortFrame.
int buildHeaderFrame(char *out, const CrcTable &table, const QByteArray &name, qint64 size);

// The empty block 0 that ends a batch. Returns ShortFrame.
int buildNullHeader(char *out, const CrcTable &table);

} // namespace comm
