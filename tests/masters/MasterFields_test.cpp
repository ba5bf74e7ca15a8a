#include "masters/MasterFields.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>

using namespace masters;

namespace {

TEST(MasterFields, FitFieldCutsAtACharacterBoundaryAndPads)
{
    struct Case {
        const char16_t *text;
        int width;
        QByteArray expected;
    };
    const Case cases[] = {
        {u"ABCDE", 8, "ABCDE   "},
        {u"ABCDEFGHIJ", 8, "ABCDEFGH"},
        {u"あいう", 6, "\x82\xa0\x82\xa2\x82\xa4"},
        {u"あいう", 5, "\x82\xa0\x82\xa2 "}, // the third character would be cut: a space
        {u"Aあ", 2, "A "},
        {u"ｱｲｳｴｵ", 3, "\xb1\xb2\xb3"}, // half-width katakana are single bytes
        {u"①㈱", 3, "\x87\x40 "},
        {u"", 3, "   "},
        {u"ABC", 0, ""},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString() + " at " + std::to_string(c.width));
        EXPECT_EQ(fitField(platform::cp932::encode(text), c.width), c.expected);
    }
}

TEST(MasterFields, CutBytesNeverEndsOnALeadByte)
{
    // A value whose byte 8 starts a double-byte character keeps 7 bytes.
    const QByteArray value = "ABCDEFG\x88\x9f"
                             "Z";
    EXPECT_EQ(cutBytes(value, 8), QByteArray("ABCDEFG"));
    EXPECT_EQ(cutBytes(value, 9), QByteArray("ABCDEFG\x88\x9f"));
    EXPECT_EQ(cutBytes(value, 100), value);
}

TEST(MasterFields, RecordsEncodeAndDecodeByBytes)
{
    const std::vector<int> widths{4, 6, 3};
    const QByteArray record =
        encodeRecord({QStringLiteral("ｺｰﾄﾞ1"), QStringLiteral("品名"), QString()}, widths);
    EXPECT_EQ(record, QByteArray("\xba\xb0\xc4\xde\x95\x69\x96\xbc     \r\n"));
    EXPECT_EQ(decodeRecord(record.left(13), widths),
              QStringList({QStringLiteral("ｺｰﾄﾞ"), QStringLiteral("品名"), QString()}));
    // Trailing tabs and control characters go; inner and leading ones stay.
    EXPECT_EQ(decodeRecord("A\tB\t\x01X  ", {4, 3}),
              QStringList({QStringLiteral("A\tB"), QStringLiteral("\x01X")}));
    // A short record gives what it holds.
    EXPECT_EQ(decodeRecord("AB", {4, 3}), QStringList({QStringLiteral("AB"), QString()}));
    EXPECT_EQ(recordLength(widths), 13);
}

} // namespace
