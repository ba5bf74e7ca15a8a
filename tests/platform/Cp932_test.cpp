#include "platform/Cp932.h"

#include <QThread>
#include <gtest/gtest.h>
#include <vector>

using platform::cp932::byteLength;
using platform::cp932::decode;
using platform::cp932::encode;
using platform::cp932::firstUnheld;

namespace {

struct RoundTrip {
    const char *name;
    const char16_t *text;
    QByteArray bytes;
};

void PrintTo(const RoundTrip &c, std::ostream *os)
{
    *os << c.bytes.toHex(' ').constData();
}

std::string roundTripName(const testing::TestParamInfo<RoundTrip> &info)
{
    return info.param.name;
}

class Cp932RoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(Cp932RoundTrip, EncodesAndDecodesExactly)
{
    const QString text = QString::fromUtf16(GetParam().text);
    EXPECT_EQ(encode(text).toHex(' '), GetParam().bytes.toHex(' '));
    EXPECT_EQ(decode(GetParam().bytes), text);
    EXPECT_EQ(byteLength(text), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cp932, Cp932RoundTrip,
    testing::Values(RoundTrip{"empty", u"", QByteArray()},
                    RoundTrip{"ascii", u"ABC123", QByteArray("ABC123")},
                    // 0x5C and 0x7E stay backslash and tilde: paths and the terminal rely on it.
                    RoundTrip{"backslash_and_tilde", u"C:\\Dunmere\\~", QByteArray("C:\\Dunmere\\~")},
                    RoundTrip{"halfwidth_katakana", u"ｱｲｳﾃﾞｰﾀ", QByteArray("\xB1\xB2\xB3\xC3\xDE\xB0\xC0")},
                    RoundTrip{"kanji", u"受信", QByteArray("\x8E\xF3\x90\x4D")},
                    RoundTrip{"fullwidth_latin", u"ＡＩ", QByteArray("\x82\x60\x82\x68")},
                    // NEC special row and IBM extension as on the operators' PCs.
                    RoundTrip{"nec_special_row", u"①", QByteArray("\x87\x40")},
                    RoundTrip{"ibm_extension", u"纊", QByteArray("\xFA\x5C")},
                    RoundTrip{"fullwidth_tilde", u"～", QByteArray("\x81\x60")}),
    roundTripName);

TEST(Cp932, UnmappableCharacterBecomesQuestionMark)
{
    EXPECT_EQ(encode(u"a\u00E9b"), QByteArray("a?b"));
    // A character outside the BMP is one character: one "?", not two.
    EXPECT_EQ(encode(QString::fromUtf16(u"x\U0001F600y")), QByteArray("x?y"));
    // A lone surrogate cannot be held either.
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(encode(QString::fromUtf16(lone)), QByteArray("a?b"));
    const char16_t trailingHigh[] = {u'a', 0xDBFF, 0};
    EXPECT_EQ(encode(QString::fromUtf16(trailingHigh)), QByteArray("a?"));
}

TEST(Cp932, FirstUnheldFindsWhatEncodeWouldTurnIntoAQuestionMark)
{
    struct Case {
        std::vector<char16_t> units;
        qsizetype at;
    };
    const Case cases[] = {
        {{}, -1},
        {{u'A', 0x5546, 0x54C1, 0xFF71, 0x2460, 0x7E8A, u'\t'}, -1}, // ASCII, kanji, kana, extensions
        {{u'a', 0xD83D, 0xDE00}, 1},                                 // emoji (a surrogate pair)
        {{0x53D7, 0xD55C}, 1},                                       // hangul
        {{u'e', 0x0301}, 1},                                         // combining acute accent
        {{u'a', 0xD800, u'b'}, 1},                                   // lone high surrogate
        {{u'a', 0xDC00}, 1},                                         // lone low surrogate
        {{u'a', u'b', 0xDBFF}, 2},                                   // high surrogate at the end
        {{0xFFFD}, 0},                                               // the replacement character
        {{u'x', 0x00E9, 0xD83D, 0xDE00}, 1},                         // the first of several
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.units.data(), qsizetype(c.units.size()));
        EXPECT_EQ(firstUnheld(text), c.at) << text.toStdString();
        EXPECT_EQ(encode(text).contains('?'), c.at >= 0) << text.toStdString();
    }
}

TEST(Cp932, InvalidBytesDecodeToOneReplacementEach)
{
    struct Case {
        QByteArray bytes;
        const char16_t *text;
    } cases[] = {
        {QByteArray("\x8E\xF3\x90", 3), u"受\uFFFD"}, // lone lead byte left by a byte cut
        {QByteArray("\x81", 1), u"\uFFFD"},
        {QByteArray("\x81\x20"
                    "A",
                    3),
         u"\uFFFD A"},                                // lead byte, then a byte that is no trail
        {QByteArray("\xA0\xFD", 2), u"\uFFFD\uFFFD"}, // bytes that start nothing
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decode(c.bytes), QString::fromUtf16(c.text)) << c.bytes.toHex(' ').constData();
    }
    // A NUL byte is a character like any other.
    EXPECT_EQ(decode(QByteArray("A\0B", 3)), QString::fromUtf16(u"A\0B", 3));
}

TEST(Cp932, CutTextKeepsItsByteLengthThroughDecodeAndEncode)
{
    const QByteArray full = encode(u"業務設定");
    for (int n = 0; n <= full.size(); ++n) {
        const QByteArray cut = full.left(n);
        EXPECT_EQ(encode(decode(cut)).size(), n) << n;
    }
}

TEST(Cp932, ConvertsFromSeveralThreadsAtOnce)
{
    const QString text = QString::fromUtf16(u"ﾏｽﾀｰﾌｧｲﾙ作成／編集/転送 ABC 123 ①纊");
    const QByteArray expected = encode(text);
    std::vector<std::unique_ptr<QThread>> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back(QThread::create([&] {
            for (int i = 0; i < 2000; ++i) {
                if (encode(text) != expected || decode(expected) != text)
                    ++failures;
            }
        }));
        threads.back()->start();
    }
    for (auto &thread : threads)
        thread->wait();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
