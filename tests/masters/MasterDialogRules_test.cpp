#include "masters/MasterFldRules.h"
#include "masters/SendMstRules.h"

#include <gtest/gtest.h>

using namespace masters;

namespace {

TEST(FieldDialogRules, TakesTheKeyAndTheShownReferenceWidths)
{
    FieldDialogInput input;
    input.key = QStringLiteral("10");
    input.references = {QStringLiteral("20"), QStringLiteral("5"), QStringLiteral("8"), QStringLiteral("0"),
                        QStringLiteral("abc")};
    input.referenceCount = 3;
    std::vector<int> widths;
    EXPECT_FALSE(checkFieldWidths(input, &widths).has_value());
    EXPECT_EQ(widths, (std::vector<int>{10, 20, 5, 8}));
}

TEST(FieldDialogRules, RefusesTheFirstWidthOutOfItsRange)
{
    struct Case {
        const char *key;
        std::array<const char *, 5> references;
        int count;
        int field; // -1: accepted
        const char16_t *message;
    };
    const Case cases[] = {
        {"", {"1", "", "", "", ""}, 1, 0, u"参照キー桁数の入力エラーです。"},
        {"0", {"1", "", "", "", ""}, 1, 0, u"参照キー桁数の入力エラーです。"},
        {"100", {"1", "", "", "", ""}, 1, 0, u"参照キー桁数の入力エラーです。"},
        {"99", {"100", "", "", "", ""}, 1, -1, u""},
        {"99", {"101", "", "", "", ""}, 1, 1, u"参照データ１桁数の入力エラーです。"},
        {"5", {"1", "2", "0", "", ""}, 3, 3, u"参照データ３桁数の入力エラーです。"},
        {"5", {"1", "2", "3", "4", "1000"}, 5, 5, u"参照データ５桁数の入力エラーです。"},
        {"5", {"1", "2", "3", "4", "1000"}, 4, -1, u""}, // a hidden row is not checked
        {"5", {"1", "x", "3", "", ""}, 2, 2, u"参照データ２桁数の入力エラーです。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.references[0]);
        FieldDialogInput input;
        input.key = QString::fromLatin1(c.key);
        for (int i = 0; i < 5; ++i)
            input.references[i] = QString::fromLatin1(c.references[i]);
        input.referenceCount = c.count;
        const std::optional<FieldDialogError> error = checkFieldWidths(input, nullptr);
        if (c.field < 0) {
            EXPECT_FALSE(error.has_value());
            continue;
        }
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->field, c.field);
        EXPECT_EQ(error->message, QString::fromUtf16(c.message));
    }
}

TEST(FieldDialogRules, ShowsTheWidthsSetBefore)
{
    const FieldDialogInput shown = fieldDialogInput({10, 0, 8});
    EXPECT_EQ(shown.key, QStringLiteral("10"));
    EXPECT_EQ(shown.references[0], QString());
    EXPECT_EQ(shown.references[1], QStringLiteral("8"));
    EXPECT_EQ(shown.referenceCount, 2);
    EXPECT_EQ(fieldDialogInput({}).referenceCount, 1);
}

TEST(SendNameFilter, TypesAnUpperCase83Name)
{
    EXPECT_EQ(typedName(QStringLiteral("abc.dat")), QStringLiteral("ABC.DAT"));
    EXPECT_EQ(typedName(QStringLiteral("a-b_#*.x1")), QStringLiteral("A-B_#*.X1"));
    EXPECT_EQ(typedName(QStringLiteral("abcdefgh.dat")), QStringLiteral("ABCDEFGH.DAT"));
    struct Refused {
        const char16_t *text;
    };
    for (const Refused r :
         {Refused{u"abcdefghi"}, Refused{u"abc.datx"}, Refused{u"1abc"}, Refused{u".abc"}, Refused{u"_a"},
          Refused{u"-a"}, Refused{u"#a"}, Refused{u"a.b.c"}, Refused{u"a b"}, Refused{u"a:b"}, Refused{u"a@"},
          Refused{u"a[b"}, Refused{u"a{"}, Refused{u"ﾏｽﾀ"}, Refused{u"商品"}, Refused{u"a/b"}}) {
        const QString text = QString::fromUtf16(r.text);
        EXPECT_EQ(typedName(text), std::nullopt) << text.toStdString();
    }
}

TEST(SendNameFilter, KeysAtTheCaret)
{
    using Action = NameKey::Action;
    struct Case {
        const char *name;
        int caret;
        char16_t key;
        Action action;
    };
    const Case cases[] = {
        {"ABC", 3, u'\b', Action::Pass},
        {"ABC", 3, u'\0', Action::Pass},
        {"ABC", 3, u'\r', Action::Swallow},
        {"ABC", 0, u'1', Action::Refuse},
        {"ABC", 1, u'1', Action::Type},
        {"ABCDEFGH", 8, u'I', Action::Refuse},
        {"ABCDEFGH", 4, u'I', Action::Type}, // the caret inside: no length limit
        {"ABCDEFGH", 8, u'.', Action::Type},
        {"ABCDEFGHI", 9, u'.', Action::Refuse}, // the dot past position 8
        {"AB.DAT", 6, u'X', Action::Refuse},
        {"AB.DAT", 1, u'X', Action::Type},
        {"AB.DA", 5, u'T', Action::Type},
        {"AB", 2, u'`', Action::Refuse},
        {"AB", 2, u'_', Action::Type},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " caret " + std::to_string(c.caret) + " key " +
                     std::to_string(c.key));
        EXPECT_EQ(MfNameSEKeyPress(QString::fromLatin1(c.name), c.caret, QChar(c.key)).action, c.action);
    }
    EXPECT_EQ(MfNameSEKeyPress(QStringLiteral("AB"), 2, QLatin1Char('c')).key, QLatin1Char('C'));
}

TEST(SendNameFilter, RefusesProgramAndSettingsExtensions)
{
    for (const char *name : {"A.PD3", "A.PD4", "A.EX3", "A.FN3", "A.FLD", "A.EXE", "A.BAT", "A.DLL",
                             "CNF800.BNF", "A.TMP", "a.bnf"})
        EXPECT_TRUE(isRefusedBhtName(QString::fromLatin1(name))) << name;
    for (const char *name : {"A.DAT", "A.BN", "A", "A.FN4", "BNF"})
        EXPECT_FALSE(isRefusedBhtName(QString::fromLatin1(name))) << name;
}

} // namespace
