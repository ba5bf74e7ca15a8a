#include "addins/frame/KeyRules.h"

#include <gtest/gtest.h>

using namespace addins;

namespace {

struct Typed {
    QString text;
    int beeps = 0;
};

// Types keys one at a time at the end of the field, as an operator does; with the file-name change
// check, each accepted key is followed by it, as the field's change event follows the key.
Typed typeKeys(const QString &keys, const KeyFilter &filter, bool fileNameCheck = false)
{
    Typed out;
    QString lastGood;
    for (const QChar key : keys) {
        const KeyOutcome outcome = filter(out.text, int(out.text.size()), key);
        if (outcome.kind == KeyOutcome::Kind::Refuse)
            ++out.beeps;
        if (outcome.kind != KeyOutcome::Kind::Type)
            continue;
        if (key == BackspaceKey)
            out.text.chop(1);
        else
            out.text += outcome.key;
        if (fileNameCheck) {
            const ChangeCheck check = FileNameChange(out.text, lastGood, int(out.text.size()));
            if (!check.accepted)
                ++out.beeps;
            out.text = check.text;
            lastGood = check.text;
        }
    }
    return out;
}

} // namespace

TEST(KeyRulesTest, FileNamesAreTypedAsEightDotThree)
{
    struct Case {
        const char *keys;
        const char *expected;
        int beeps;
    };
    const Case cases[] = {
        {"ABCDEFGHI", "ABCDEFGH", 1}, {"A.B.C", "A.BC", 1},
        {"x.bnf", "X.BN", 1}, // the last letter would make ".BNF": undone by the change check
        {"x.bn1", "X.BN1", 0},        {"abc.defg", "ABC.DEF", 1},
        {"-a_b", "A_B", 1},           {"_", "", 1},
        {"a b:c[d`e{f", "ABCDEF", 5}, {"a\rb", "AB", 0}, // Enter is dropped without a beep
        {"ab\bc", "AC", 0},           {"12345678.txt", "12345678.TXT", 0},
        {"a.pd4", "A.PD", 1},         {"a-b.c_1", "A-B.C_1", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys);
        const Typed typed = typeKeys(QString::fromLatin1(c.keys), FileNameKey, true);
        EXPECT_EQ(typed.text, QString::fromLatin1(c.expected));
        EXPECT_EQ(typed.beeps, c.beeps);
    }
}

TEST(KeyRulesTest, FileNameKeyLooksAtTheCaret)
{
    // A ninth character before the dot of a long name, or a fourth after it, is refused.
    EXPECT_EQ(FileNameKey(QStringLiteral("ABCDEFGH.TX"), 3, u'Z'), KeyOutcome::refuse());
    EXPECT_EQ(FileNameKey(QStringLiteral("ABCDEFGH.TX"), 11, u'T'), KeyOutcome::type(u'T'));
    EXPECT_EQ(FileNameKey(QStringLiteral("ABC.TXT"), 2, u'z'), KeyOutcome::type(u'Z'));
    EXPECT_EQ(FileNameKey(QStringLiteral("ABC.TXT"), 5, u'z'), KeyOutcome::refuse());
    // A dot with more than eight characters before the caret.
    EXPECT_EQ(FileNameKey(QStringLiteral("ABCDEFGHI"), 9, u'.'), KeyOutcome::refuse());
    EXPECT_EQ(FileNameKey(QStringLiteral("ABCDEFGH"), 8, u'.'), KeyOutcome::type(u'.'));
    EXPECT_EQ(FileNameKey(QString(), 0, QChar()), KeyOutcome::type(QChar()));
}

TEST(KeyRulesTest, FileNameChangeRestoresTheLastGoodText)
{
    struct Case {
        const char *text;
        bool valid;
    };
    for (const Case &c :
         {Case{"ABCDEFGH", true}, Case{"ABCDEFGHI", false}, Case{"A.TXT", true}, Case{"A.TEXT", false},
          Case{"A.BNF", false}, Case{"A.bnf", false}, Case{"A.BN", true}, Case{"A.EXE", false},
          Case{"A.DLL", false}, Case{"A.TMP", false}, Case{"A.FLD", false}, Case{"A.EX3", false},
          Case{"A.FN3", false}, Case{"A.BAT", false}, Case{"A.PD3", false}, Case{"ABCDEFGHIJ.TXT", true},
          Case{"", true}, Case{"A.", true}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FileNameValid(QString::fromLatin1(c.text)), c.valid);
    }
    const ChangeCheck restored = FileNameChange(QStringLiteral("AB.BNF"), QStringLiteral("AB.BN"), 6);
    EXPECT_FALSE(restored.accepted);
    EXPECT_EQ(restored.text, QStringLiteral("AB.BN"));
    EXPECT_EQ(restored.caret, 5);
    EXPECT_EQ(FileNameChange(QStringLiteral("XA.BNF"), QStringLiteral("A.BNX"), 1).caret, 1);
}

TEST(KeyRulesTest, FieldListsAndUserBarcodesAndDigits)
{
    struct Case {
        KeyFilter filter;
        const char *name;
        const char *keys;
        const char *expected;
        int beeps;
    };
    const Case cases[] = {
        {FieldListKey, "field", ",12,,3,4a", "12,34", 4},
        {FieldListKey, "field", "1\r2", "12", 0},
        {UserBarKey, "userbar", ",abc,,d;:-&", "ABC,D;:-&", 2},
        {UserBarKey, "userbar", "fgjp tuw", "", 8},
        {UserBarKey, "userbar", "r1\r2", "R12", 0},
        {DigitKey, "digits", "2a5\r", "25", 1},
        {DigitKey, "digits", "9\b0", "0", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.keys);
        const Typed typed = typeKeys(QString::fromLatin1(c.keys), c.filter);
        EXPECT_EQ(typed.text, QString::fromLatin1(c.expected));
        EXPECT_EQ(typed.beeps, c.beeps);
    }
}

// Pasted and input-method text reaches the field through the same filter, character by character,
// at the caret, and within the byte budget.
TEST(KeyRulesTest, InsertedTextRunsThroughTheFilter)
{
    InsertionResult r = FilterInsertion(QStringLiteral("AB"), 1, QStringLiteral("x.y"), FileNameKey);
    EXPECT_EQ(r.text, QStringLiteral("AX.YB"));
    EXPECT_EQ(r.caret, 4);
    EXPECT_EQ(r.beeps, 0);
    r = FilterInsertion(QString(), 0, QStringLiteral("qr,,ｱ\n1"), UserBarKey);
    EXPECT_EQ(r.text, QStringLiteral("QR,1"));
    EXPECT_EQ(r.beeps, 2); // the second "," and "ｱ"; the line break is dropped silently
    r = FilterInsertion(QStringLiteral("AB"), 2, QStringLiteral("CDEF"), UserBarKey, 4);
    EXPECT_EQ(r.text, QStringLiteral("ABCD"));
    EXPECT_EQ(r.beeps, 2);
    // Without a filter only the byte budget applies: a double-byte character that would not fit.
    r = FilterInsertion(QStringLiteral("A"), 1, QStringLiteral("日本"), KeyFilter(), 4);
    EXPECT_EQ(r.text, QStringLiteral("A日"));
    EXPECT_EQ(r.beeps, 1);
    r = FilterInsertion(QString(), 0,
                        QString::fromUtf8("1\xF0\x9F\x98\x80"
                                          "2"),
                        DigitKey);
    EXPECT_EQ(r.text, QStringLiteral("12"));
    EXPECT_EQ(r.beeps, 1);
}
