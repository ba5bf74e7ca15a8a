#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <climits>
#include <gtest/gtest.h>

#include "tests/support/TestIsolation.h"

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << "\" (" << bytes.toHex(' ').toStdString() << ')';
}

namespace {

QString wide(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// Bytes of the texts used below, in code page 932:
//   業務設定  8B C6 96 B1 90 DD 92 E8   (a cut after an odd count splits a kanji)
//   全角文    91 53 8A 70 95 B6
//   ｱｲｳ       B1 B2 B3                 (half-width katakana: one byte each)
// A trail byte left alone at the front of a cut is read on its own: C6 is ﾆ, DD is ﾝ, 53 is S;
// a lead byte left alone at the end decodes to U+FFFD.

enum class Cut { Left, Mid, Right };

struct CutCase {
    const char *name;
    Cut cut;
    const char16_t *text;
    int p; // used by Mid only
    int n;
    const char16_t *expected;
};

void PrintTo(const CutCase &c, std::ostream *os)
{
    static const char *names[] = {"Left", "Mid", "Right"};
    *os << names[int(c.cut)] << "(" << wide(c.text).toStdString() << ", p=" << c.p << ", n=" << c.n << ")";
}

class ByteCut : public testing::TestWithParam<CutCase> {};

TEST_P(ByteCut, CutsByBytesAndKeepsSplitCharacters)
{
    const CutCase &c = GetParam();
    const QString text = wide(c.text);
    QString result;
    switch (c.cut) {
    case Cut::Left:
        result = LeftBText(text, c.n);
        break;
    case Cut::Mid:
        result = MidBCopy(text, c.p, c.n);
        break;
    case Cut::Right:
        result = RightBText(text, c.n);
        break;
    }
    EXPECT_EQ(result, wide(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    FerPrgLib, ByteCut,
    testing::Values(CutCase{"Left_ascii", Cut::Left, u"ABCDE", 0, 3, u"ABC"},
                    CutCase{"Left_whole_kanji", Cut::Left, u"業務設定", 0, 4, u"業務"},
                    CutCase{"Left_splits_a_kanji", Cut::Left, u"業務設定", 0, 3, u"業\uFFFD"},
                    CutCase{"Left_halfwidth_katakana", Cut::Left, u"ｱｲｳ", 0, 2, u"ｱｲ"},
                    CutCase{"Left_splits_after_ascii", Cut::Left, u"A業B", 0, 2, u"A\uFFFD"},
                    CutCase{"Left_more_than_the_text", Cut::Left, u"業務", 0, 100, u"業務"},
                    CutCase{"Left_int_max", Cut::Left, u"業務", 0, INT_MAX, u"業務"},
                    CutCase{"Left_zero", Cut::Left, u"ABC", 0, 0, u""},
                    CutCase{"Left_negative", Cut::Left, u"ABC", 0, -1, u""},
                    CutCase{"Left_empty_text", Cut::Left, u"", 0, 5, u""},
                    // A character code page 932 cannot hold counts as the one byte "?" it becomes.
                    CutCase{"Left_unmappable_is_one_byte", Cut::Left, u"\u00E9AB", 0, 2, u"?A"},

                    CutCase{"Mid_ascii", Cut::Mid, u"ABCDE", 2, 3, u"BCD"},
                    CutCase{"Mid_whole_kanji", Cut::Mid, u"業務設定", 3, 4, u"務設"},
                    CutCase{"Mid_splits_both_ends", Cut::Mid, u"業務設定", 2, 2, u"ﾆ\uFFFD"},
                    CutCase{"Mid_splits_the_front", Cut::Mid, u"業務設定", 2, 3, u"ﾆ務"},
                    CutCase{"Mid_halfwidth_katakana", Cut::Mid, u"ｱｲｳ", 2, 1, u"ｲ"},
                    // fewer when the text ends first, not trimmed
                    CutCase{"Mid_text_ends_first", Cut::Mid, u"ABC  ", 2, 10, u"BC  "},
                    CutCase{"Mid_start_zero", Cut::Mid, u"ABCDE", 0, 2, u"AB"}, // below 1 counts as 1
                    CutCase{"Mid_start_int_min", Cut::Mid, u"ABCDE", INT_MIN, 2, u"AB"},
                    CutCase{"Mid_last_byte", Cut::Mid, u"ABCDE", 5, 1, u"E"},
                    CutCase{"Mid_past_the_end", Cut::Mid, u"ABCDE", 6, 1, u""},
                    CutCase{"Mid_int_max_both", Cut::Mid, u"ABCDE", INT_MAX, INT_MAX, u""},
                    CutCase{"Mid_count_int_max", Cut::Mid, u"ABCDE", 2, INT_MAX, u"BCDE"},
                    CutCase{"Mid_count_zero", Cut::Mid, u"ABCDE", 2, 0, u""},
                    CutCase{"Mid_count_negative", Cut::Mid, u"ABCDE", 2, -3, u""},

                    CutCase{"Right_ascii", Cut::Right, u"ABCDE", 0, 2, u"DE"},
                    CutCase{"Right_whole_kanji", Cut::Right, u"業務設定", 0, 4, u"設定"},
                    CutCase{"Right_splits_a_kanji", Cut::Right, u"業務設定", 0, 3, u"ﾝ定"},
                    CutCase{"Right_halfwidth_katakana", Cut::Right, u"ｱｲｳ", 0, 2, u"ｲｳ"},
                    CutCase{"Right_more_than_the_text", Cut::Right, u"業務", 0, 5, u"業務"},
                    CutCase{"Right_int_max", Cut::Right, u"業務", 0, INT_MAX, u"業務"},
                    CutCase{"Right_zero", Cut::Right, u"ABC", 0, 0, u""},
                    CutCase{"Right_int_min", Cut::Right, u"ABC", 0, INT_MIN, u""}),
    [](const testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST(FerPrgLib, CutToBytesNeverKeepsHalfACharacter)
{
    const struct {
        const char *text;
        int n;
        const char *expected;
    } cases[] = {
        {"ABCDEFGHIJKLMNOPQ", 15, "ABCDEFGHIJKLMNO"},
        {"入荷検品ｶﾅ", 15, "入荷検品ｶﾅ"},           // 8 + 2 bytes
        {"ABCDEFGHIJKLMN入", 15, "ABCDEFGHIJKLMN"}, // the double-byte character would be cut
        {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", 15, "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ"},
        {"数量", 3, "数"},
        {"数量", 0, ""},
        {"", 5, ""},
        {"A日B", 2, "A"},
        {"A日B", 3, "A日"},
        {"A日B", 9, "A日B"},
        {"日", 0, ""},
        {"日", -3, ""},
        {"商品コード", 5, "商品"},
        {"商品コード", 6, "商品コ"},
        {"ABｱｲ漢", 5, "ABｱｲ"},
        {"ABC", 10, "ABC"},
        {"A\xF0\x9F\x98\x80"
         "B",
         2, "A\xF0\x9F\x98\x80"}, // the pair is one "?" byte
        {"①髙﨑∵～", 5, "①髙"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.n));
        const QString cut = CutToBytes(QString::fromUtf8(c.text), c.n);
        EXPECT_EQ(cut.toStdString(), c.expected);
        EXPECT_FALSE(cut.contains(QChar::ReplacementCharacter));
    }
}

TEST(FerPrgLib, CutToBytesStaysWithinTheBudgetAndKeepsLoneSurrogatesApart)
{
    const QStringList samples{QString(), QStringLiteral("商品コード"), QStringLiteral("ABｱｲ漢"),
                              QStringLiteral("髙﨑①～"), QString::fromUtf8("x\xF0\x9F\x98\x80y")};
    for (const QString &text : samples) {
        for (int n = 0; n <= 12; ++n) {
            const QString cut = CutToBytes(text, n);
            EXPECT_LE(platform::cp932::byteLength(cut), n) << text.toStdString() << " " << n;
            EXPECT_TRUE(text.startsWith(cut)) << text.toStdString() << " " << n;
        }
    }
    // A high surrogate without its low half is a character of its own (one "?"), not a pair with
    // whatever follows it.
    const QString lone = QString(QChar(0xD83D)) + QStringLiteral("AB");
    EXPECT_EQ(CutToBytes(lone, 1), QString(QChar(0xD83D)));
    EXPECT_EQ(CutToBytes(lone, 2), QString(QChar(0xD83D)) + u'A');
}

TEST(FerPrgLib, IntToZStrZeroFillsAndKeepsTheLastBytes)
{
    struct Case {
        int value;
        int n;
        QByteArray expected;
    } cases[] = {
        {7, 4, "0007"},
        {12345, 3, "345"},
        {12345, 5, "12345"},
        {0, 1, "0"},
        {0, 3, "000"},
        {-5, 3, "0-5"},
        {-5, 1, "5"},
        {INT_MAX, 12, "002147483647"},
        {INT_MIN, 11, "-2147483648"},
        {INT_MIN, 13, "00-2147483648"},
        {INT_MIN, 5, "83648"},
        {5, 0, ""},
        {5, -2, ""},
        {5, INT_MIN, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IntToZStr(c.value, c.n), c.expected) << c.value << " at width " << c.n;
}

TEST(FerPrgLib, NumToZStrKeepsTheSignInFront)
{
    struct Case {
        const char16_t *text;
        int n;
        QByteArray expected;
    } cases[] = {
        {u"", 4, "0000"},
        {u"", 0, ""},
        {u"", -1, ""},
        {u"42", 5, "00042"},
        {u"12345", 3, "345"},
        {u"42", 0, ""},
        {u"-42", 5, "-0042"},
        {u"+7", 3, "+07"},
        {u"-12345", 3, "-45"},
        {u"-", 3, "-00"},
        {u"-5", 2, "-5"},
        {u"-5", 1, "-"},
        {u"-5", 0, "-"},
        {u"+5", -3, "+"},
        {u"1.5", 5, "001.5"},
        // Full-width digits are two bytes each; the cut may leave a lone trail byte at the front.
        {u"１２", 5, "0\x82\x50\x82\x51"},
        {u"１２", 3, "\x50\x82\x51"},
        {u"-１２", 4, "-\x50\x82\x51"},
        // Only the first character counts as a sign.
        {u" -5", 4, "0 -5"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NumToZStr(wide(c.text), c.n), c.expected)
            << wide(c.text).toStdString() << " at width " << c.n;
}

TEST(FerPrgLib, NumToZStrReadsAtMost99BytesAfterTheSign)
{
    QString digits;
    for (int i = 0; i < 120; ++i)
        digits += QChar(u'0' + (i % 10));
    const QByteArray first99 = digits.left(99).toLatin1();
    EXPECT_EQ(NumToZStr(u'-' + digits, 110), "-" + QByteArray(10, '0') + first99);
    EXPECT_EQ(NumToZStr(u'+' + digits, 5), "+" + first99.right(4));
    // Without a sign nothing is dropped.
    EXPECT_EQ(NumToZStr(digits, 120), digits.toLatin1());
}

TEST(FerPrgLib, PadBStrGivesExactlyTheWidth)
{
    struct Case {
        const char16_t *text;
        int n;
        QByteArray expected;
    } cases[] = {
        {u"全角文", 10, "\x91\x53\x8A\x70\x95\xB6    "},
        {u"全角文", 6, "\x91\x53\x8A\x70\x95\xB6"},
        {u"全角文", 5, "\x91\x53\x8A\x70\x95"}, // ends in a lone lead byte
        {u"ｱｲｳ", 5, "\xB1\xB2\xB3  "},
        {u"ABCDEF", 3, "ABC"},
        {u"", 3, "   "},
        {u"AB ", 2, "AB"},
        {u"\u00E9", 2, "? "},
        {u"ABC", 0, ""},
        {u"ABC", -1, ""},
        {u"ABC", INT_MIN, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PadBStr(wide(c.text), c.n), c.expected)
            << wide(c.text).toStdString() << " at width " << c.n;
}

TEST(FerPrgLib, TrimLeadZerosRemovesOnlyLeadingZeros)
{
    struct Case {
        const char16_t *text;
        const char16_t *expected;
    } cases[] = {
        {u"", u"0"},         {u"0", u"0"},     {u"000", u"0"},   {u"0012", u"12"}, {u"120", u"120"},
        {u"00.50", u"0.50"}, {u".5", u"0.5"},  {u"0.0", u"0.0"}, {u"-05", u"-05"}, {u"+0", u"+0"},
        {u" 05", u" 05"},    {u"00１", u"１"}, {u"00ｱ0", u"ｱ0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TrimLeadZeros(wide(c.text)), wide(c.expected)) << wide(c.text).toStdString();
}

TEST(FerPrgLib, MidBTextTrimsTrailingBlanksAndControlsOnly)
{
    // A record of three fields: 6-byte name, 4-byte count, 8-byte text cut inside a kanji.
    const QByteArray record = QByteArray("ABC   0012") + "\x8B\xC6\x96\xB1\x90\xDD\x92" + " \t\r\n";
    struct Case {
        int p;
        int n;
        const char16_t *expected;
    } cases[] = {
        {1, 6, u"ABC"},
        {2, 2, u"BC"},
        {3, 5, u"C   0"},
        {11, 7, u"業務設\uFFFD"},
        {11, 11, u"業務設\uFFFD"},
        {11, 100, u"業務設\uFFFD"},
        {4, 3, u""},
        {0, 3, u"ABC"},
        {-4, 3, u"ABC"},
        {22, 1, u""},
        {1, 0, u""},
        {1, -1, u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MidBText(record, c.p, c.n), wide(c.expected)) << "p=" << c.p << " n=" << c.n;
    // Leading blanks are part of the text.
    EXPECT_EQ(MidBText("  AB  ", 1, 6), QStringLiteral("  AB"));
}

TEST(FerPrgLib, MidBIntParsesSignedDecimalOrGivesTheDefault)
{
    struct Case {
        QByteArray field;
        int expected;
    } cases[] = {
        {"0012", 12},
        {"12", 12},
        {"0000", 0},
        {"  12", 12},
        {"-12", -12},
        {"+12", 12},
        {"-0", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"00000000002147483647", INT_MAX},
        {"2147483648", -7},
        {"-2147483649", -7},
        {"99999999999999999999999", -7},
        {"    ", -7},
        {"", -7},
        {"12  ", -7},
        {"1 2", -7},
        {"1a", -7},
        {"A", -7},
        {"-", -7},
        {"+-1", -7},
        {"- 5", -7},
        {"\t5", -7},
        {"0x1F", -7},
        {"$1F", -7},
        {"1.0", -7},
        {"\x82\x50\x82\x51", -7}, // full-width digits
        {"\x82\x50", -7},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MidBInt(c.field, 1, int(c.field.size()), -7), c.expected) << c.field.constData();
}

TEST(FerPrgLib, MidBIntReadsTheFieldAtItsPosition)
{
    const QByteArray record("AB0012CD-0034");
    EXPECT_EQ(MidBInt(record, 3, 4, 1), 12);
    EXPECT_EQ(MidBInt(record, 3, 5, 1), 1); // takes the C of the next field
    EXPECT_EQ(MidBInt(record, 9, 5, 1), -34);
    EXPECT_EQ(MidBInt(record, 9, 100, 1), -34);
    EXPECT_EQ(MidBInt("12AB", 0, 2, 1), 12);
    EXPECT_EQ(MidBInt(record, 14, 2, 5), 5);
    EXPECT_EQ(MidBInt(record, INT_MAX, INT_MAX, 5), 5);
    EXPECT_EQ(MidBInt(record, 3, 0, 5), 5);
    EXPECT_EQ(MidBInt(record, 3, -1, 0), 0);
}

// "AddIn.lst" fixtures: bytes 1-12 the add-in name, 13-32 the settings program.
class AddInList : public testing::Test {
protected:
    void SetUp() override
    {
        folder = testsupport::caseFolder() + u'/';
        ASSERT_NE(folder, QStringLiteral("/"));
    }

    void writeList(const QByteArray &bytes)
    {
        QFile file(folder + QStringLiteral("AddIn.lst"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
        ASSERT_TRUE(file.flush());
    }

    QString folder;
};

TEST_F(AddInList, FindsTheFirstEntryOfTheExactName)
{
    writeList("FIRST.PD4   Quillon             \r\n"
              "ABC.PD4     Tessary.exe         \r\n"
              "ABC.PD4     Marrent             \r\n"
              "LONG.PD4    Olvide              and more bytes after 32\r\n"
              "ABCDEFGHIJKLTooLong\r\n"
              "KANJI.PD4   \x90\xDD\x92\xE8.exe            \r\n"
              "BLANK.PD4                       \r\n"
              "TABS.PD4\t\t\t\tPgm \t\r\n"
              "\r\n"
              "LAST.PD4    Last");
    struct Case {
        const char16_t *name;
        QString expected;
    } cases[] = {
        {u"ABC.PD4", folder + "Tessary.exe"},
        {u"FIRST.PD4", folder + "Quillon"},
        {u"LONG.PD4", folder + "Olvide"},
        {u"KANJI.PD4", folder + wide(u"設定.exe")},
        {u"LAST.PD4", folder + "Last"}, // no CR LF at the end of the file
        {u"BLANK.PD4", folder},         // blank program column: the folder alone
        {u"TABS.PD4", folder + "Pgm"},
        {u"abc.pd4", QString()},
        {u"ABC.PD4 ", QString()},
        {u"ABC", QString()},
        {u"NONE.PD4", QString()},
        // A name longer than 12 bytes never matches; its first 12 bytes are the whole key.
        {u"ABCDEFGHIJKLTooLong", QString()},
        {u"ABCDEFGHIJKL", folder + "TooLong"},
        // A blank line is no entry for an empty name.
        {u"", QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetAddInSetPrg(folder, wide(c.name)), c.expected) << wide(c.name).toStdString();
}

TEST_F(AddInList, RefusesProgramNamesThatLeaveTheFolder)
{
    writeList("UP.PD4      ../../bin/sh        \r\n"
              "DOTS.PD4    ..                  \r\n"
              "SUB.PD4     sub/prog            \r\n"
              "BACK.PD4    ..\\prog             \r\n"
              "ABS.PD4     /bin/sh             \r\n"
              "UP.PD4      Quillon             \r\n"
              "OK.PD4      a.b.exe             \r\n");
    for (const char16_t *name : {u"UP.PD4", u"DOTS.PD4", u"SUB.PD4", u"BACK.PD4", u"ABS.PD4"})
        EXPECT_EQ(GetAddInSetPrg(folder, wide(name)), QString()) << wide(name).toStdString();
    EXPECT_EQ(GetAddInSetPrg(folder, QStringLiteral("OK.PD4")), folder + "a.b.exe");
}

TEST_F(AddInList, TakesEitherSeparatorAndAddsNone)
{
    writeList("ABC.PD4     Quillon\r\n");
    const QString bare = testsupport::caseFolder();
    EXPECT_EQ(GetAddInSetPrg(bare + u'\\', QStringLiteral("ABC.PD4")), folder + "Quillon");
    // Without its separator the folder names another file: "<folder>AddIn.lst".
    EXPECT_EQ(GetAddInSetPrg(bare, QStringLiteral("ABC.PD4")), QString());
}

TEST_F(AddInList, MissingOrUnreadableListGivesEmptyText)
{
    EXPECT_EQ(GetAddInSetPrg(folder, QStringLiteral("ABC.PD4")), QString());
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("AddIn.lst")));
    EXPECT_EQ(GetAddInSetPrg(folder, QStringLiteral("ABC.PD4")), QString());
}

} // namespace
