#include "comm/YmFrames.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace comm;

namespace {

QByteArray frame(quint8 block, const QByteArray &data, int dataSize)
{
    QByteArray out(LongFrame, '\x7f');
    const int n = buildFrame(out.data(), makeCrcTable(), block, data.constData(),
                             static_cast<int>(data.size()), dataSize);
    return out.left(n);
}

TEST(Crc16, PublishedCheckValueAndZeroBlock)
{
    const CrcTable table = makeCrcTable();
    EXPECT_EQ(calcCrc16(table, "123456789", 9), 0x31C3);
    const QByteArray zeros(128, '\0');
    EXPECT_EQ(calcCrc16(table, zeros.constData(), zeros.size()), 0);
    EXPECT_EQ(calcCrc16(table, "", 0), 0);
    // Table entries of the polynomial 0x1021.
    EXPECT_EQ(table[1], 0x1021);
    EXPECT_EQ(table[255], 0x1EF0);
}

TEST(Frames, LayoutOfShortAndLongFrames)
{
    const QByteArray shortFrame = frame(1, "AB", ShortData);
    ASSERT_EQ(shortFrame.size(), 133);
    EXPECT_EQ(shortFrame[0], SOH);
    EXPECT_EQ(static_cast<quint8>(shortFrame[1]), 1);
    EXPECT_EQ(static_cast<quint8>(shortFrame[2]), 254);
    EXPECT_EQ(shortFrame.mid(3, 2), QByteArray("AB"));
    EXPECT_EQ(shortFrame.mid(5, 126), QByteArray(126, '\0'));
    const quint16 crc = calcCrc16(makeCrcTable(), shortFrame.constData() + 3, 128);
    EXPECT_EQ(static_cast<quint8>(shortFrame[131]), crc >> 8);
    EXPECT_EQ(static_cast<quint8>(shortFrame[132]), crc & 0xFF);

    const QByteArray longFrame = frame(7, QByteArray(1024, 'x'), LongData);
    ASSERT_EQ(longFrame.size(), 1029);
    EXPECT_EQ(longFrame[0], STX);
    EXPECT_EQ(longFrame.mid(3, 1024), QByteArray(1024, 'x'));
}

TEST(Frames, BlockNumbersWrapWithTheirComplement)
{
    for (const int block : {0, 1, 255}) {
        const QByteArray f = frame(static_cast<quint8>(block), {}, ShortData);
        EXPECT_EQ(static_cast<quint8>(f[1]), block);
        EXPECT_EQ(static_cast<quint8>(f[2]), 255 - block);
    }
    // 256 comes out as block 0.
    EXPECT_EQ(static_cast<quint8>(frame(static_cast<quint8>(256), {}, ShortData)[1]), 0);
}

TEST(Frames, HeaderCarriesNameNulAndSize)
{
    QByteArray out(LongFrame, '\x7f');
    ASSERT_EQ(buildHeaderFrame(out.data(), makeCrcTable(), "PRG.PD4", 1234), ShortFrame);
    EXPECT_EQ(out[0], SOH);
    EXPECT_EQ(out.mid(1, 2), QByteArray("\x00\xff", 2));
    EXPECT_EQ(out.mid(3, 13), QByteArray("PRG.PD4\0"
                                         "1234\0",
                                         13));
    EXPECT_EQ(out.mid(16, 115), QByteArray(115, '\0'));

    // A name too long for the block keeps the size whole.
    ASSERT_EQ(buildHeaderFrame(out.data(), makeCrcTable(), QByteArray(200, 'N'), 99), ShortFrame);
    EXPECT_EQ(out.mid(3 + 124, 4), QByteArray("\0"
                                              "99\0",
                                              4));
}

TEST(Frames, NullHeaderIsAllZeroWithZeroCrc)
{
    QByteArray out(LongFrame, '\x7f');
    ASSERT_EQ(buildNullHeader(out.data(), makeCrcTable()), ShortFrame);
    QByteArray expected(133, '\0');
    expected[0] = SOH;
    expected[2] = '\xff';
    EXPECT_EQ(out.left(133).toHex(), expected.toHex());
}

} // namespace
