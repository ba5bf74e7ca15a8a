#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <ostream>
#include <string>

#include "common/NEditFilter.h"

void PrintTo(const NEditOutcome &o, std::ostream *os)
{
    static const char *const keys[] = {"discard", "type", "type over all"};
    if (o.setText)
        *os << "set \"" << o.text.toStdString() << "\" caret " << o.caret << ", then ";
    *os << keys[int(o.key)] << (o.beep ? " with beep" : "");
}

namespace {

using Key = NEditOutcome::Key;

const NEditOutcome Drop = NEditOutcome::discard();
const NEditOutcome Beep = NEditOutcome::discardWithBeep();
const NEditOutcome Pass = NEditOutcome::type();
const NEditOutcome PassOverAll = NEditOutcome::type(Key::TypeOverAll);
NEditOutcome Set(const char16_t *text, int caret)
{
    return NEditOutcome::replace(QString::fromUtf16(text), caret);
}
NEditOutcome SetThenPass(const char16_t *text, int caret)
{
    return NEditOutcome::replace(QString::fromUtf16(text), caret, Key::Type);
}

const NEditSettings Defaults{};
const NEditSettings Signed{.CanNegative = true, .MinValue = -100};
const NEditSettings SignedMinZero{.CanNegative = true};
const NEditSettings Dotted{.CanDot = true};
const NEditSettings SignedDotted{.CanNegative = true, .CanDot = true};
const NEditSettings Zeros{.ZeroDisplay = true};
const NEditSettings Max3{.MaxDegits = 3};
const NEditSettings Max3Dotted{.CanDot = true, .MaxDegits = 3};
const NEditSettings Max3Signed{.CanNegative = true, .MaxDegits = 3, .MinValue = -1000};
const NEditSettings Max12Signed{.CanNegative = true, .CanDot = true, .MaxDegits = 12};
const NEditSettings Max12Dotted{.CanDot = true, .MaxDegits = 12};
const NEditSettings Upto100{.MaxValue = 100};
const NEditSettings Upto99Dotted{.CanDot = true, .MaxValue = 99};
const NEditSettings Upto5{.MaxValue = 5};
const NEditSettings From5{.MinValue = 5};
const NEditSettings FullRange{.CanNegative = true, .MinValue = INT_MIN};

struct Case {
    const char *name;
    NEditSettings settings;
    const char16_t *text;
    int caret;
    bool allSelected;
    char16_t key;
    NEditOutcome expected;
    bool readOnly = false;
};

const Case Cases[] = {
    // Keys that never reach the rules.
    {"enter", Signed, u"12", 2, false, u'\r', Drop},
    {"backspace", Defaults, u"12", 2, false, u'\b', Pass},
    {"backspace over all", Defaults, u"12", 0, true, u'\b', Pass},
    {"letter", Defaults, u"12", 2, false, u'a', Drop},
    {"control character", Defaults, u"12", 2, false, u'\x1b', Drop},
    {"full-width digit", Defaults, u"12", 2, false, u'\xff15', Drop},
    {"space", Defaults, u"", 0, false, u' ', Drop},

    // "+" sets the sign, "-" toggles it; neither is typed into a text.
    {"plus without sign allowed", Defaults, u"5", 1, false, u'+', Drop},
    {"plus on empty", Signed, u"", 0, false, u'+', Pass},
    {"plus on minus", Signed, u"-5", 2, false, u'+', Set(u"+5", 2)},
    {"plus on plus keeps caret", Signed, u"+5", 1, false, u'+', Set(u"+5", 1)},
    {"plus on unsigned", Signed, u"5", 1, false, u'+', Set(u"+5", 2)},
    {"minus without sign allowed", Defaults, u"5", 1, false, u'-', Drop},
    {"minus on empty", Signed, u"", 0, false, u'-', Pass},
    {"minus on minus", Signed, u"-5", 1, false, u'-', Set(u"+5", 1)},
    {"minus on plus", Signed, u"+5", 2, false, u'-', Set(u"-5", 2)},
    {"minus on unsigned, caret in front", Signed, u"5", 0, false, u'-', Set(u"-5", 1)},
    {"minus on decimal", SignedDotted, u"+1.5", 4, false, u'-', Set(u"-1.5", 4)},

    // The decimal point.
    {"dot not allowed", Defaults, u"5", 1, false, u'.', Drop},
    {"dot on empty", Dotted, u"", 0, false, u'.', Set(u"0.", 2)},
    {"second dot", Dotted, u"5.2", 1, false, u'.', Drop},
    {"dot in front", Dotted, u"5", 0, false, u'.', Set(u"0.5", 2)},
    {"dot in front, budget full", Max3Dotted, u"123", 0, false, u'.', Drop},
    {"dot after digit", Dotted, u"5", 1, false, u'.', Pass},
    {"dot on empty, signed", SignedDotted, u"", 0, false, u'.', Set(u"+0.", 3)},
    {"dot adds sign and is typed", SignedDotted, u"5", 1, false, u'.', SetThenPass(u"+5", 2)},
    {"dot after signed digit", SignedDotted, u"+5", 2, false, u'.', Pass},
    {"dot in front of unsigned, signed", SignedDotted, u"5", 0, false, u'.', Set(u"+0.5", 3)},
    {"dot in front of a sign", SignedDotted, u"+5", 0, false, u'.', Drop},
    {"dot in front of a minus", SignedDotted, u"-5", 0, false, u'.', Drop},

    // Zero.
    {"zero on empty", Defaults, u"", 0, false, u'0', Pass},
    {"zero on empty, signed", Signed, u"", 0, false, u'0', Set(u"+0", 2)},
    {"second leading zero", Defaults, u"0", 1, false, u'0', Drop},
    {"zero after digit", Defaults, u"5", 1, false, u'0', Pass},
    {"zero in front of digit", Defaults, u"5", 0, false, u'0', Drop},
    {"zero in front of point", Defaults, u".5", 0, false, u'0', Pass},
    {"zero after leading zero of decimal", Dotted, u"0.5", 1, false, u'0', Drop},
    {"zero after point", Dotted, u"0.5", 2, false, u'0', Pass},
    {"zero after signed zero", Signed, u"+0", 2, false, u'0', Drop},
    {"zero after signed zero point", SignedDotted, u"+0.5", 3, false, u'0', Pass},
    {"zero in front of sign, zero display",
     {.ZeroDisplay = true, .CanNegative = true},
     u"+5",
     0,
     false,
     u'0',
     Drop},
    {"leading zero with zero display", Zeros, u"5", 0, false, u'0', Pass},
    {"second zero with zero display", Zeros, u"0", 1, false, u'0', Pass},
    {"zero only adds the sign", Signed, u"5", 1, false, u'0', Set(u"+5", 2)},
    {"zero within range", Upto100, u"10", 2, false, u'0', Pass},
    {"zero out of range", Upto100, u"100", 3, false, u'0', Beep},
    {"zero beyond budget", Max3, u"123", 3, false, u'0', Drop},

    // Digits 1 to 9.
    {"digit replaces lone zero", Defaults, u"0", 1, false, u'5', PassOverAll},
    {"digit in front of lone zero", Defaults, u"0", 0, false, u'5', PassOverAll},
    {"digit after zero with zero display", Zeros, u"0", 1, false, u'5', Pass},
    {"digit on lone zero, signed", SignedMinZero, u"0", 1, false, u'5', Set(u"+5", 2)},
    {"refused digit keeps lone zero", From5, u"0", 1, false, u'3', Beep},
    {"digit on empty", Defaults, u"", 0, false, u'5', Pass},
    {"digit on empty below minimum", From5, u"", 0, false, u'3', Beep},
    {"digit on empty above maximum", Upto5, u"", 0, false, u'7', Beep},
    {"digit on empty, signed", SignedMinZero, u"", 0, false, u'5', Set(u"+5", 2)},
    {"digit only adds the sign", SignedMinZero, u"5", 1, false, u'6', Set(u"+5", 2)},
    {"digit after sign", SignedMinZero, u"+5", 2, false, u'6', Pass},
    {"digit above maximum", Upto100, u"10", 2, false, u'1', Beep},
    {"digit beyond budget, no beep", Max3, u"123", 3, false, u'4', Drop},
    {"point counts in budget", Max3Dotted, u"1.2", 3, false, u'3', Drop},
    {"sign does not count in budget", Max3Signed, u"-12", 3, false, u'3', Pass},
    {"largest 32-bit value", Defaults, u"214748364", 9, false, u'7', Pass},
    {"above 32 bits", Defaults, u"214748364", 9, false, u'8', Beep},
    {"below -2147483647 despite minimum", FullRange, u"-214748364", 10, false, u'8', Beep},
    {"-2147483647 within full range", FullRange, u"-214748364", 10, false, u'7', Pass},
    {"inserted at caret", Upto100, u"15", 1, false, u'0', Beep}, // reads 105
    {"integer part only", Upto99Dotted, u"99.", 3, false, u'9', Pass},
    {"integer part grows", Upto99Dotted, u"9.", 1, false, u'9', Pass},
    {"integer part out of range", Upto99Dotted, u"99.", 1, false, u'9', Beep},
    {"not a number reads as out of range", Signed, u"+5", 0, false, u'3', Beep},
    {"negative within minimum", Signed, u"-1", 2, false, u'0', Pass},
    {"negative below minimum", Signed, u"-10", 3, false, u'1', Beep},
    {"negative needs a negative minimum", SignedMinZero, u"-", 1, false, u'5', Beep},
    {"negative after minus", Signed, u"-", 1, false, u'5', Pass},

    // A key over the whole text is judged as on an empty control.
    {"all selected, digit", Defaults, u"12345", 0, true, u'9', PassOverAll},
    {"all selected, refused minus keeps text", Defaults, u"12345", 0, true, u'-', Drop},
    {"all selected, minus starts negative", Signed, u"12345", 0, true, u'-', PassOverAll},
    {"all selected, dot", Dotted, u"12345", 0, true, u'.', Set(u"0.", 2)},
    {"all selected, refused dot", Defaults, u"12345", 0, true, u'.', Drop},
    {"all selected, signed digit", SignedMinZero, u"+12", 0, true, u'3', Set(u"+3", 2)},
    {"all selected, digit above maximum", Upto5, u"50", 0, true, u'7', Beep},
    {"all selected single, refused plus", Defaults, u"5", 0, true, u'+', Drop},
    {"all selected single, zero", Defaults, u"0", 0, true, u'0', PassOverAll},
    {"all selected, letter", Defaults, u"12", 0, true, u'x', Drop},

    // The control holds 12 characters; a rule that would make more is refused, not cut.
    {"sign beyond length", Max12Signed, u"123456789012", 12, false, u'-', Drop},
    {"zero point beyond length", Max12Dotted, u"12345678901", 0, false, u'.', Drop},
    {"sign up to length", Max12Signed, u"12345678901", 11, false, u'-', Set(u"-12345678901", 12)},

    {"read-only", Defaults, u"", 0, false, u'5', Drop, true},
    {"read-only backspace", Defaults, u"12", 2, false, u'\b', Drop, true},
};

class NEditFilterCases : public testing::TestWithParam<Case> {};

TEST_P(NEditFilterCases, Outcome)
{
    const Case &c = GetParam();
    NEditInput input;
    input.text = QString::fromUtf16(c.text);
    input.caret = c.caret;
    input.allSelected = c.allSelected;
    input.readOnly = c.readOnly;
    EXPECT_EQ(NEditFilterKey(input, QChar(c.key), c.settings), c.expected);
}

std::string caseName(const testing::TestParamInfo<Case> &info)
{
    std::string name;
    for (const char *p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Keys, NEditFilterCases, testing::ValuesIn(Cases), caseName);

TEST(NEditFilter, CaretOutsideTextIsClamped)
{
    NEditInput input;
    input.text = QStringLiteral("12");
    input.caret = 40;
    EXPECT_EQ(NEditFilterKey(input, u'3', Upto100), Beep); // 123
    input.caret = -3;
    EXPECT_EQ(NEditFilterKey(input, u'-', Signed), Set(u"-12", 1));
}

TEST(NEditSettings, SettersRefuseOutOfRange)
{
    struct Row {
        const char *what;
        bool canNegative;
        bool (NEditSettings::*set)(int);
        int NEditSettings::*field;
        int value;
        bool taken;
    };
    const Row rows[] = {
        {"MaxDegits 0", false, &NEditSettings::setMaxDegits, &NEditSettings::MaxDegits, 0, false},
        {"MaxDegits 1", false, &NEditSettings::setMaxDegits, &NEditSettings::MaxDegits, 1, true},
        {"MaxDegits 12", false, &NEditSettings::setMaxDegits, &NEditSettings::MaxDegits, 12, true},
        {"MaxDegits 13", false, &NEditSettings::setMaxDegits, &NEditSettings::MaxDegits, 13, false},
        {"MaxValue 0", false, &NEditSettings::setMaxValue, &NEditSettings::MaxValue, 0, true},
        {"MaxValue -1 unsigned", false, &NEditSettings::setMaxValue, &NEditSettings::MaxValue, -1, false},
        {"MaxValue -1 signed", true, &NEditSettings::setMaxValue, &NEditSettings::MaxValue, -1, true},
        {"MinValue 7", false, &NEditSettings::setMinValue, &NEditSettings::MinValue, 7, true},
        {"MinValue -5 unsigned", false, &NEditSettings::setMinValue, &NEditSettings::MinValue, -5, false},
        {"MinValue -5 signed", true, &NEditSettings::setMinValue, &NEditSettings::MinValue, -5, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        NEditSettings s;
        s.CanNegative = r.canNegative;
        const int before = s.*r.field;
        EXPECT_EQ((s.*r.set)(r.value), r.taken);
        EXPECT_EQ(s.*r.field, r.taken ? r.value : before);
    }
}

} // namespace
