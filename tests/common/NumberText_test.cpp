#include "common/NumberText.h"

#include <QString>
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

namespace {

constexpr qint64 Int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 Int64Min = std::numeric_limits<qint64>::min();
constexpr qint64 NotNumber = -999; // a default no case below reads as by chance

struct NumberCase {
    const char *name;
    const char16_t *text;
    bool isNumber;
    qint64 integer; // TextToInt64 when isNumber
    double real;    // TextToReal when isNumber
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << c.name;
}

class NumberTextCase : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextCase, ReadsAsIntegerAndAsReal)
{
    const NumberCase &c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    if (c.isNumber) {
        EXPECT_EQ(TextToInt64(text, NotNumber), c.integer);
        EXPECT_DOUBLE_EQ(TextToReal(text, NotNumber), c.real);
    } else {
        EXPECT_EQ(TextToInt64(text, NotNumber), NotNumber);
        EXPECT_EQ(TextToReal(text, NotNumber), double(NotNumber));
        EXPECT_EQ(TextToInt64(text), 0) << "the default for no number is 0";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberTextCase,
    testing::Values(
        NumberCase{"Digits", u"42", true, 42, 42}, NumberCase{"LeadingZeros", u"0007", true, 7, 7},
        NumberCase{"Zero", u"0", true, 0, 0}, NumberCase{"PlusSign", u"+15", true, 15, 15},
        NumberCase{"MinusSign", u"-007", true, -7, -7}, NumberCase{"BlanksAround", u"  12 ", true, 12, 12},
        NumberCase{"Above32Bits", u"4294967296", true, 4294967296LL, 4294967296.0},
        NumberCase{"Int32MaxPlusOne", u"2147483648", true, 2147483648LL, 2147483648.0},
        NumberCase{"NegativeBelow32Bits", u"-99999999999", true, -99999999999LL, -99999999999.0},
        NumberCase{"Int64Max", u"9223372036854775807", true, Int64Max, 9223372036854775807.0},
        NumberCase{"Int64Min", u"-9223372036854775808", true, Int64Min, -9223372036854775808.0},
        NumberCase{"BeyondInt64Saturates", u"99999999999999999999", true, Int64Max, 1e20},
        NumberCase{"BelowInt64Saturates", u"-99999999999999999999", true, Int64Min, -1e20},
        NumberCase{"Fraction", u"12.5", true, 12, 12.5},
        NumberCase{"SignedFraction", u"+1.25", true, 1, 1.25},
        NumberCase{"NegativeFractionTowardZero", u"-3.9", true, -3, -3.9},
        NumberCase{"PointFirst", u".5", true, 0, 0.5}, NumberCase{"PointLast", u"3.", true, 3, 3},
        NumberCase{"NegativePointFirst", u"-.75", true, 0, -0.75}, NumberCase{"Empty", u"", false, 0, 0},
        NumberCase{"Blanks", u"   ", false, 0, 0}, NumberCase{"LonePlus", u"+", false, 0, 0},
        NumberCase{"LoneMinus", u"-", false, 0, 0}, NumberCase{"LonePoint", u".", false, 0, 0},
        NumberCase{"SignAndPoint", u"-.", false, 0, 0}, NumberCase{"Letters", u"abc", false, 0, 0},
        NumberCase{"TrailingJunk", u"12a", false, 0, 0}, NumberCase{"BlankInside", u"1 2", false, 0, 0},
        NumberCase{"TwoSigns", u"+-1", false, 0, 0}, NumberCase{"SignAfterDigits", u"5-", false, 0, 0},
        NumberCase{"TwoPoints", u"1.2.3", false, 0, 0}, NumberCase{"Exponent", u"1e5", false, 0, 0},
        NumberCase{"Hexadecimal", u"0x1F", false, 0, 0},
        NumberCase{"ThousandsSeparator", u"1,000", false, 0, 0},
        NumberCase{"CommaAsPoint", u"1,5", false, 0, 0}, NumberCase{"FullWidthDigits", u"１２", false, 0, 0},
        NumberCase{"Infinity", u"inf", false, 0, 0}),
    [](const testing::TestParamInfo<NumberCase> &info) { return std::string(info.param.name); });

TEST(TextToReal, HugeWholePartGivesTheLargestDoubleAndTinyFractionZero)
{
    const QString huge = QString(400, u'9');
    EXPECT_EQ(TextToReal(huge), std::numeric_limits<double>::max());
    EXPECT_EQ(TextToReal(QStringLiteral("-") + huge), -std::numeric_limits<double>::max());
    EXPECT_EQ(TextToInt64(huge), Int64Max);
    EXPECT_EQ(TextToReal(QStringLiteral("0.") + QString(400, u'0') + u'1'), 0.0);
}

TEST(TextToReal, OrdersSignedDecimalsAsNumbers)
{
    // The rules compare limits such as these; a text order or an integer read would get them wrong.
    EXPECT_LT(TextToReal(u"+1.25"), TextToReal(u"+1.5"));
    EXPECT_LT(TextToReal(u"-10"), TextToReal(u"-9.5"));
    EXPECT_LT(TextToReal(u"-0.001"), TextToReal(u"+0"));
    EXPECT_LT(TextToReal(u"99999999999"), TextToReal(u"100000000000"));
}

struct EmptyCase {
    const char *name;
    const char16_t *text;
    bool empty;
};

void PrintTo(const EmptyCase &c, std::ostream *os)
{
    *os << c.name;
}

class EmptyNumberCase : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyNumberCase, TellsAnEditWithoutAValue)
{
    EXPECT_EQ(IsEmptyNumber(QString::fromUtf16(GetParam().text)), GetParam().empty);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EmptyNumberCase,
    testing::Values(EmptyCase{"Empty", u"", true}, EmptyCase{"Blanks", u"  ", true},
                    EmptyCase{"Plus", u"+", true}, EmptyCase{"Minus", u"-", true},
                    EmptyCase{"Point", u".", true}, EmptyCase{"PlusPoint", u"+.", true},
                    EmptyCase{"MinusPoint", u" -. ", true}, EmptyCase{"Zero", u"0", false},
                    EmptyCase{"MinusDigit", u"-1", false}, EmptyCase{"PointDigit", u".5", false},
                    EmptyCase{"TwoSigns", u"+-", false}, EmptyCase{"TwoPoints", u"..", false},
                    EmptyCase{"Letters", u"x", false}),
    [](const testing::TestParamInfo<EmptyCase> &info) { return std::string(info.param.name); });

} // namespace
