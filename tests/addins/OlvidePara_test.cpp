#include "addins/olvide/OlvidePara.h"

#include <gtest/gtest.h>

using namespace olvide;
using addins::Symbology;

namespace {

// A Para0 of 400 bytes from its first 62.
QByteArray para(const char *head)
{
    QByteArray p(head);
    p.append(400 - p.size(), ' ');
    return p;
}

} // namespace

TEST(OlvideParaTest, ReadsFieldsWithTheirDefaultsAndBounds)
{
    struct Case {
        const char *name;
        const char *head;
        int ai, cmpDate;
        const char *year, *month, *day;
        int mode;
    };
    const Case cases[] = {
        {"ai 10", "10=251231<", 0, 1, "25", "12", "31", 0},
        {"ai 20", "20S000101(", 8, 0, "00", "1", "1", 1},
        {"ai 25", "25S000101)", 8, 0, "00", "1", "1", 3},
        {"ai blank", "  S000101>", 0, 0, "00", "1", "1", 4},
        {"day 00 month 00", "17=050000=", 6, 1, "05", "1", "0", 2},
        {"month 13 day 40", "17=991340?", 6, 1, "99", "12", "31", 2},
        {"letters", "13x5 0102 ", 2, 0, "00", "1", "2", 2},
        {"short string", "1", 0, 0, "00", "1", "1", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const OlvideSettings s = ReadPara(QByteArray(c.head));
        EXPECT_EQ(s.AiIndex, c.ai);
        EXPECT_EQ(s.CmpDate, c.cmpDate);
        EXPECT_EQ(s.Year, QString::fromLatin1(c.year));
        EXPECT_EQ(s.Month, QString::fromLatin1(c.month));
        EXPECT_EQ(s.Day, QString::fromLatin1(c.day));
        EXPECT_EQ(s.CmpMode, c.mode);
    }
}

TEST(OlvideParaTest, WritesEveryFieldAtItsPlace)
{
    OlvideSettings s = ReadPara(para("15=071000>  RKQ                 "));
    EXPECT_EQ(s.Day, QStringLiteral("0"));
    const QByteArray written = WritePara(s, 800);
    ASSERT_EQ(written.size(), 400);
    EXPECT_EQ(written.left(62), QByteArray("15=071000>RKQ                                                 "));
    EXPECT_EQ(written.mid(62), QByteArray(338, ' '));
    // The system date leaves the set date as it is.
    s.CmpDate = 0;
    s.Year = QStringLiteral("5");
    EXPECT_EQ(WritePara(s, 800).left(10), QByteArray("15S051000>"));
}

TEST(OlvideParaTest, SymbologyLettersPerModel)
{
    struct Case {
        int model;
        const char *stored;
        const char *written;
    };
    const Case cases[] = {
        {800, "GZYXVQKR", "RKQXYZV"},
        {1300, "GZYXVQKR", "RKQXYZVG"},
        {900, "GZYXVQKR", "RK"},
        {300, "AbRIK", "RK"},
        {900, "RKu", "u"},
        {600, " R ", "R"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + " " + c.stored);
        QByteArray p = para("17S000101>");
        p.replace(10, int(strlen(c.stored)), c.stored);
        const QByteArray written = WritePara(ReadPara(p), c.model);
        EXPECT_EQ(written.mid(10, 20).trimmed(), QByteArray(c.written));
    }
    // "u" takes the user string of bytes 31-62; without it the string is not taken.
    QByteArray p = para("17S000101>u                   A,B");
    EXPECT_EQ(ReadPara(p).UserBar, QStringLiteral("A,B"));
    p[10] = 'R';
    EXPECT_EQ(ReadPara(p).UserBar, QString());
}

TEST(OlvideParaTest, DefaultsAndModels)
{
    const OlvideSettings d = DefaultSettings();
    EXPECT_EQ(WritePara(d, 800).left(30), QByteArray("17S000101>                    "));
    for (int model : {300, 500, 600, 800, 900, 1300})
        EXPECT_TRUE(ModelSupported(model)) << model;
    for (int model : {0, 100, 700, 801, -800})
        EXPECT_FALSE(ModelSupported(model)) << model;
}

TEST(OlvideParaTest, ValidationRulesInOrder)
{
    struct Case {
        const char *name;
        std::function<void(OlvideSettings &)> change;
        int model;
        std::optional<Field> field;
        const char *message;
    };
    const auto withRss = [](OlvideSettings &s) { s.Symbologies.tick(Symbology::Rss); };
    const Case cases[] = {
        {"defaults", [](OlvideSettings &) {}, 800, Field::Code128Chk, "読取バーコードを設定してください。"},
        {"one box", withRss, 800, std::nullopt, ""},
        {"no ai",
         [&](OlvideSettings &s) {
             withRss(s);
             s.AiIndex = -1;
             s.CmpDate = -1;
         },
         800, Field::AICB, "アプリケーション識別子を設定してください。"},
        {"no date source", [&](OlvideSettings &s) { s.CmpDate = -1; }, 800, Field::CmpDateCB,
         "検査日付を設定してください。"},
        {"one-digit year",
         [&](OlvideSettings &s) {
             s.CmpDate = 1;
             s.Year = QStringLiteral("5");
         },
         800, Field::CmpYearSE, "設定日付を入力してください。"},
        {"one-digit year, system date",
         [&](OlvideSettings &s) {
             withRss(s);
             s.Year = QStringLiteral("5");
         },
         800, std::nullopt, ""},
        {"empty month",
         [&](OlvideSettings &s) {
             s.CmpDate = 1;
             s.Month.clear();
         },
         800, Field::CmpMonthNE, "設定日付を入力してください。"},
        {"empty day",
         [&](OlvideSettings &s) {
             s.CmpDate = 1;
             s.Day.clear();
         },
         800, Field::CmpDayNE, "設定日付を入力してください。"},
        {"no comparison", [&](OlvideSettings &s) { s.CmpMode = -1; }, 800, Field::CmpModeCB,
         "検査方法を設定してください。"},
        // A stored "Q" ticks a box model 900 hides: nothing would be written.
        {"hidden box only", [&](OlvideSettings &s) { s.Symbologies.tick(Symbology::Qr); }, 900,
         Field::Code128Chk, "読取バーコードを設定してください。"},
        {"hidden box shown", [&](OlvideSettings &s) { s.Symbologies.tick(Symbology::Qr); }, 800, std::nullopt,
         ""},
        {"user string empty", [&](OlvideSettings &s) { s.Symbologies.tick(Symbology::User); }, 900,
         Field::UserBarSE, "ユーザー定義バーコードを設定してください。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OlvideSettings s = DefaultSettings();
        c.change(s);
        const auto error = CheckData(s, c.model);
        ASSERT_EQ(error.has_value(), c.field.has_value());
        if (error) {
            EXPECT_EQ(error->field, *c.field);
            EXPECT_EQ(error->message, QString::fromUtf8(c.message));
        }
    }
}
