#include "addins/frame/FixedRecord.h"

#include <gtest/gtest.h>

using addins::FixedRecordReader;
using addins::FixedRecordWriter;

TEST(FixedRecordTest, WriterPlacesFieldsAtTheirPositions)
{
    FixedRecordWriter writer;
    writer.text(QStringLiteral("AB"), 4);
    EXPECT_EQ(writer.position(), 5);
    writer.number(42, 3).flag(false).flag(true).bytes("P0").blanks(2).number(123456, 3);
    EXPECT_EQ(writer.position(), 17);
    EXPECT_EQ(writer.finish(18), QByteArray("AB  04201P0  456  "));
}

TEST(FixedRecordTest, FinishDropsWholeFieldsThatDoNotFit)
{
    FixedRecordWriter writer;
    writer.text(QStringLiteral("AB"), 2).text(QStringLiteral("日本"), 4);
    // A cut inside the second field would split a character: the field goes and blanks fill.
    EXPECT_EQ(writer.finish(5), QByteArray("AB   "));
    EXPECT_EQ(writer.finish(6), QByteArray("AB\x93\xfa\x96\x7b"));
    EXPECT_EQ(writer.finish(0), QByteArray());
}

TEST(FixedRecordTest, ReaderTakesDefaultsPastTheEnd)
{
    const FixedRecordReader reader(QByteArray("12X  RK  1"));
    struct Case {
        int p, n, fallback, expected;
    };
    for (const Case &c : {Case{1, 2, 11, 12}, Case{3, 1, 5, 5}, Case{9, 4, 7, 1}, Case{11, 2, 11, 11},
                          Case{50, 2, 3, 3}, Case{0, 2, 9, 12}}) {
        SCOPED_TRACE(std::to_string(c.p) + "," + std::to_string(c.n));
        EXPECT_EQ(reader.integer(c.p, c.n, c.fallback), c.expected);
    }
    EXPECT_EQ(reader.trimmed(4, 6), QStringLiteral("RK"));
    EXPECT_EQ(reader.text(3, 4), QStringLiteral("X  R"));
    EXPECT_EQ(reader.text(11, 20), QString());
    EXPECT_EQ(reader.trimmed(400, 20), QString());
    EXPECT_EQ(reader.byteAt(3), 'X');
    EXPECT_EQ(reader.byteAt(11), 0);
    EXPECT_EQ(reader.byteAt(0), 0);
    EXPECT_TRUE(reader.flag(10, false));
    EXPECT_FALSE(reader.flag(11, false)); // past the end: the default
    EXPECT_TRUE(reader.flag(3, true));    // not a flag byte: the default
}

// Control bytes come only from a damaged store; carried into a field they would be saved again (a
// NUL ends the string early for the terminal), so they read as blanks.
TEST(FixedRecordTest, ControlBytesReadAsBlanks)
{
    const FixedRecordReader r(QByteArray("A\0B\nC\x1f", 6) + "1" + QByteArray(1, '\0'));
    EXPECT_EQ(r.text(1, 6), QStringLiteral("A B C"));
    EXPECT_FALSE(r.record().contains('\0'));
    EXPECT_EQ(r.byteAt(2), ' ');
    EXPECT_TRUE(r.flag(7, false));
    EXPECT_TRUE(r.flag(8, true)); // a NUL flag is no "0"
    // Trail bytes of double-byte characters are left alone.
    EXPECT_EQ(FixedRecordReader(QByteArray("\x83\x41\x81\x40")).record(), QByteArray("\x83\x41\x81\x40"));
}
