#include "addins/frame/ByteText.h"
#include "addins/frame/FixedRecord.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>

using addins::FitBytes;

namespace {

// Texts whose characters are one or two bytes, including the duplicates of the extension areas and
// characters the code page lacks.
const QStringList Samples{
    QString(),
    QStringLiteral("ABC"),
    QStringLiteral("日付検査"),
    QStringLiteral("ｶﾀｶﾅ半角"),
    QStringLiteral("A日B付C"),
    QStringLiteral("①髙﨑∵～"),
    QStringLiteral("\\~"),
    QString::fromUtf8("\xF0\x9F\x98\x80x"), // a character outside the code page and the basic plane
};

} // namespace

TEST(ByteTextTest, FitBytesCutsBetweenCharactersAndPads)
{
    struct Case {
        QString text;
        int width;
        QByteArray expected;
    };
    const Case cases[] = {
        {QStringLiteral("AB"), 4, "AB  "},
        {QStringLiteral("ABCDE"), 3, "ABC"},
        {QStringLiteral("A日"), 2, "A "},         // the double-byte character would be halved
        {QStringLiteral("日本"), 3, "\x93\xfa "}, // one whole character and a blank
        {QStringLiteral("日本"), 4, "\x93\xfa\x96\x7b"},
        {QStringLiteral("ｱ"), 2, "\xb1 "}, // half-width katakana is one byte
        {QStringLiteral("x"), 0, ""},
        {QStringLiteral("x"), -3, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " @" + std::to_string(c.width));
        EXPECT_EQ(FitBytes(c.text, c.width), c.expected);
    }
}

TEST(ByteTextTest, TrimBlanksTrimsSpacesAtBothEndsOnly)
{
    EXPECT_EQ(addins::TrimBlanks(QStringLiteral("  RK  ")), QStringLiteral("RK"));
    EXPECT_EQ(addins::TrimBlanks(QStringLiteral("   ")), QString());
    EXPECT_EQ(addins::TrimBlanks(QStringLiteral(" A B ")), QStringLiteral("A B"));
}

// The store holds parameter strings as wide text: whatever the writers produce must come back from
// the wide form as the same bytes, at every width, whatever characters the operator typed.
TEST(ByteTextTest, WrittenRecordsSurviveTheWideTextRoundTrip)
{
    for (const QString &text : Samples) {
        for (int width = 0; width <= 11; ++width) {
            addins::FixedRecordWriter writer;
            writer.bytes("M").text(text, width).number(7, 2).text(text, width).flag(true);
            for (int length : {1, 2, width, width + 3, 2 * width + 4, 40}) {
                const QByteArray record = writer.finish(length);
                SCOPED_TRACE(text.toStdString() + " width " + std::to_string(width) + " length " +
                             std::to_string(length));
                ASSERT_EQ(record.size(), qMax(length, 0));
                EXPECT_EQ(platform::cp932::encode(platform::cp932::decode(record)), record);
            }
        }
    }
}
