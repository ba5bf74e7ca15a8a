#include "jobs/LetterCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "platform/Cp932.h"

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const QChar &c, std::ostream *os)
{
    *os << '\'' << QString(c).toStdString() << "' (U+" << std::hex << int(c.unicode()) << std::dec << ')';
}

namespace {

// One code table: its letters in index order, the two conversions and its list items.
struct Table {
    const char *name;
    const char16_t *letters;
    std::function<int(QChar)> toIndex;
    std::function<QChar(int)> toLetter;
    std::function<QStringList()> items;
};

void PrintTo(const Table &t, std::ostream *os)
{
    *os << t.name;
}

class LetterTable : public testing::TestWithParam<Table> {};

TEST_P(LetterTable, ConvertsEveryEntryBothWays)
{
    const Table &t = GetParam();
    const QString letters = QString::fromUtf16(t.letters);
    for (int i = 0; i < letters.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t.toLetter(i), letters[i]);
        EXPECT_EQ(t.toIndex(letters[i]), i);
    }
    // The list the index selects in has one item per letter.
    EXPECT_EQ(t.items().size(), letters.size());
}

TEST_P(LetterTable, UnknownLettersAndIndexesFallBackToTheFirstEntry)
{
    const Table &t = GetParam();
    const QChar first = QString::fromUtf16(t.letters)[0];
    const int size = int(std::char_traits<char16_t>::length(t.letters));
    EXPECT_EQ(t.toLetter(-1), first);
    EXPECT_EQ(t.toLetter(size), first);
    EXPECT_EQ(t.toLetter(1000), first);
    for (QChar unknown : {QChar(u'q'), QChar(u'0'), QChar(u' '), QChar(), QChar(u'Ａ'), QChar(0xFFFD)})
        EXPECT_EQ(t.toIndex(unknown), 0) << QString(unknown).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tables, LetterTable,
    testing::Values(Table{"GyMode", u"ABSRrJbX", GyModeIndex, GyModeLetter, GyModeItems},
                    Table{"TStamp", u"NDTW", TStampIndex, TStampLetter, TStampItems},
                    Table{"Colour", u"BWRGbCMY", ColourIndex, ColourLetter, ColourItems},
                    Table{"DataType", u"ABCabcWXYZ", DataTypeIndex, DataTypeLetter, DataTypeItems},
                    Table{"Double", u"NGF", DoubleIndex, DoubleLetter, DoubleItems},
                    Table{"Format", u"NK:;STCA", FormatIndex, FormatLetter, FormatItems},
                    Table{"Trigger", u"FMC", TriggerIndex, TriggerLetter, TriggerItems}),
    [](const testing::TestParamInfo<Table> &info) { return std::string(info.param.name); });

TEST(LetterCodes, LettersAreCaseSensitive)
{
    EXPECT_EQ(GyModeIndex(u'b'), 6);
    EXPECT_EQ(GyModeIndex(u'B'), 1);
    EXPECT_EQ(GyModeIndex(u'j'), 0);
    EXPECT_EQ(ColourIndex(u'b'), 4);
    EXPECT_EQ(ColourIndex(u'w'), 0);
    EXPECT_EQ(DataTypeIndex(u'z'), 0);
}

TEST(CommunicationMode, IsLimitedToTheHighestAllowedIndex)
{
    const struct {
        char16_t letter;
        int maxIndex;
        int expected;
    } cases[] = {{u'2', 4, 0}, {u'U', 4, 1}, {u'B', 4, 2}, {u'X', 4, 3}, {u'Y', 4, 4}, {u'Y', 2, 2},
                 {u'X', 3, 3}, {u'X', 2, 2}, {u'U', 0, 0}, {u'Q', 4, 0}, {u'u', 4, 0}, {u'Y', -1, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(ComModeIndex(c.letter, c.maxIndex), c.expected)
            << QString(QChar(c.letter)).toStdString() << " max " << c.maxIndex;

    const QString letters = QStringLiteral("2UBXY");
    for (int i = 0; i < letters.size(); ++i)
        EXPECT_EQ(ComModeLetter(i), letters[i]) << i;
    EXPECT_EQ(ComModeLetter(5), QChar(u'2'));
    EXPECT_EQ(ComModeLetter(-1), QChar(u'2'));
}

TEST(StampPosition, OnlyTIsFirstAndOnlyZeroIsT)
{
    EXPECT_EQ(TSLocIndex(u'T'), 0);
    for (QChar c : {QChar(u'L'), QChar(u'x'), QChar(u't'), QChar(u'0'), QChar()})
        EXPECT_EQ(TSLocIndex(c), 1) << QString(c).toStdString();
    EXPECT_EQ(TSLocLetter(0), QChar(u'T'));
    for (int i : {1, 2, -1, 99})
        EXPECT_EQ(TSLocLetter(i), QChar(u'L')) << i;
    EXPECT_EQ(TSLocItems().size(), 2);
}

TEST(InputMode, ReadsEveryOtherLetterAsKeysAndBarcode)
{
    const QString letters = QStringLiteral("NKBW");
    for (int i = 0; i < letters.size(); ++i) {
        EXPECT_EQ(InputLetter(i), letters[i]) << i;
        EXPECT_EQ(InputIndex(letters[i]), i) << i;
    }
    for (QChar c : {QChar(u'x'), QChar(u'k'), QChar(u'0'), QChar(u' '), QChar()})
        EXPECT_EQ(InputIndex(c), 3) << QString(c).toStdString();
    EXPECT_EQ(InputLetter(4), QChar(u'N'));
    EXPECT_EQ(InputLetter(-1), QChar(u'N'));
    EXPECT_EQ(InputItems().size(), 4);
}

TEST(Colour, ValuesAndTheEmptyNinthItem)
{
    const ColourRgb values[] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                                {0, 0, 255}, {0, 255, 255},   {255, 0, 255}, {255, 255, 0}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ColourValue(i).Red, values[i].Red) << i;
        EXPECT_EQ(ColourValue(i).Green, values[i].Green) << i;
        EXPECT_EQ(ColourValue(i).Blue, values[i].Blue) << i;
    }
    for (int i : {8, -1, 100}) {
        EXPECT_TRUE(ColourValue(i) == (ColourRgb{0, 0, 0})) << i;
    }
    // The empty item after the eight colours is written as black.
    EXPECT_EQ(ColourLetter(8), QChar(u'B'));
}

TEST(DataType, OnlyTheStringTypesTakeBarcodes)
{
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(DataTypeTakesBarcode(i), i < 3) << i;
    // An index outside the table is written as a string, so it reads as one.
    EXPECT_TRUE(DataTypeTakesBarcode(10));
    EXPECT_TRUE(DataTypeTakesBarcode(-1));
}

TEST(SymbologyFilter, KeepsOnlySymbologyLettersInOrder)
{
    const struct {
        const char16_t *in;
        const char16_t *out;
    } cases[] = {
        {u"  A i Q z  ", u"AiQ"},
        {u"", u""},
        {u"AabRIiHhNnMmLKQXYZVu", u"AabRIiHhNnMmLKQXYZVu"},
        {u"AAbA", u"AAbA"},        // repeats stay
        {u"cdefgjkBCDEFGK", u"K"}, // letters that name no symbology drop out
        {u"\tA\r\nu", u"Au"},
        {u"ＡＱＩ", u""}, // full-width look-alikes are not letters
        {u"漢字コード", u""},
        {u"Aあi\uFFFDQ", u"AiQ"},
    };
    for (const auto &c : cases) {
        const QString in = QString::fromUtf16(c.in);
        EXPECT_EQ(FilterSymbologies(in), QString::fromUtf16(c.out)) << in.toStdString();
    }
}

TEST(SymbologyFilter, NoByteOfADoubleByteCharacterBecomesALetter)
{
    // Trail bytes 0x41..0x7A are ASCII letters; the field is decoded before it is filtered, so
    // they never count. A 20-byte field cut through a character leaves a lone lead byte too.
    const QByteArray field = QByteArray("\x83\x41\x83\x51\x83\x49", 6) + QByteArray(" A ") +
                             QByteArray("\x82\x75\x82\x6D", 4) + QByteArray(6, ' ') + QByteArray("\x83", 1);
    ASSERT_EQ(field.size(), 20);
    EXPECT_EQ(FilterSymbologies(platform::cp932::decode(field)), QStringLiteral("A"));
}

} // namespace
