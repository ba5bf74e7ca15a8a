#include "masters/tables/ValueText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <ostream>

using namespace masters::tables;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

TEST(ValueText, NumbersAsTheirShortestText)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {{0, "0"},
                 {-0.0, "0"},
                 {12, "12"},
                 {-3, "-3"},
                 {98.5, "98.5"},
                 {0.1, "0.1"},
                 {1.0 / 3, "0.333333333333333"},
                 {4901234567890, "4901234567890"},
                 {1e20, "1E20"},
                 {1.5e-7, "1.5E-7"},
                 {123456789012345, "123456789012345"},
                 {1234567890123456, "1.23456789012346E15"}};
    for (const auto &c : cases)
        EXPECT_EQ(numberText(c.value), QString::fromLatin1(c.text)) << c.text;
}

// The database library prints a single with nine significant digits and a double with
// seventeen, in the program's locale.
TEST(ValueText, DatabaseNumbersByTheShortestTextOfTheirOwnType)
{
    const struct {
        float value;
        const char *text;
    } singles[] = {{0.15f, "0.15"},
                   {-0.15f, "-0.15"},
                   {1e-7f, "1E-7"},
                   {16777216.0f, "16777216"},
                   {16777217.0f, "16777216"},
                   {3.4028235e38f, "3.4028235E38"},
                   {0.1f + 0.2f, "0.3"},
                   {100.5f, "100.5"},
                   {0.0001f, "0.0001"},
                   {1.17549435e-38f, "1.1754944E-38"},
                   {0.0f, "0"}};
    for (const auto &c : singles) {
        const QString printed = QString::asprintf("%.8e", double(c.value));
        const QString text = roundTripNumberText(printed, true);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << printed.toStdString();
        // Read back as the single it came from (QString::toFloat goes through a double).
        const QByteArray bytes = text.toLatin1();
        float back = -1;
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), back);
        EXPECT_EQ(back, c.value) << c.text;
    }
    const struct {
        double value;
        const char *text;
    } doubles[] = {{0.15, "0.15"},
                   {0.1 + 0.2, "0.30000000000000004"},
                   {-98.5, "-98.5"},
                   {1e20, "1E20"},
                   {123456789012345678.0, "1.2345678901234568E17"},
                   {double(0.15f), "0.15000000596046448"}};
    for (const auto &c : doubles) {
        const QString printed = QString::asprintf("%.16e", c.value);
        EXPECT_EQ(roundTripNumberText(printed, false), QString::fromLatin1(c.text)) << printed.toStdString();
    }
    EXPECT_EQ(roundTripNumberText(QStringLiteral("1,50000006e-01"), true), QStringLiteral("0.15"));
    EXPECT_EQ(roundTripNumberText(QStringLiteral("nan"), true), QString()); // as numberText shows it
    EXPECT_EQ(roundTripNumberText(QStringLiteral("12abc"), false), QStringLiteral("12abc"));
}

TEST(ValueText, DecimalsLoseTrailingZerosOnly)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {{"12.5000", "12.5"},
                 {"3.0000", "3"},
                 {"-0.0000", "0"},
                 {"100", "100"},
                 {"1234567890123.4567", "1234567890123.4567"},
                 {"0.0100", "0.01"}};
    for (const auto &c : cases)
        EXPECT_EQ(trimmedDecimalText(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(ValueText, DatesTimesAndDayCounts)
{
    EXPECT_EQ(dateTimeText(QDate(2024, 1, 5), QTime(0, 0)), QStringLiteral("2024/01/05"));
    EXPECT_EQ(dateTimeText(QDate(2024, 1, 5), QTime(9, 5, 7)), QStringLiteral("2024/01/05 9:05:07"));
    EXPECT_EQ(dateTimeText(QDate(1899, 12, 30), QTime(13, 0)), QStringLiteral("13:00:00"));
    EXPECT_EQ(serialDateText(45296, false), QStringLiteral("2024/01/05"));
    EXPECT_EQ(serialDateText(45296.5, false), QStringLiteral("2024/01/05 12:00:00"));
    // A count a hair below the next second rounds to it, not down to a second earlier.
    EXPECT_EQ(serialDateText(45296 + 59.9999999 / 86400, false), QStringLiteral("2024/01/05 0:01:00"));
    EXPECT_EQ(serialDateText(0.25, false), QStringLiteral("6:00:00"));
    EXPECT_EQ(serialDateText(43834, true), QStringLiteral("2024/01/05"));
    EXPECT_EQ(serialDateText(-1, false), QStringLiteral("-1"));
}

TEST(ValueText, DateFormatsByNumberAndByCode)
{
    const struct {
        int id;
        const char *code;
        bool date;
    } cases[] = {{0, "", false},
                 {14, "", true},
                 {22, "", true},
                 {31, "", true}, // a Japanese calendar format
                 {57, "", true},
                 {2, "", false},
                 {164, "yyyy/mm/dd", true},
                 {165, "h:mm:ss", true},
                 {166, "[h]:mm", true},
                 {167, "0.00E+00", false},
                 {168, "#,##0\"個\"", false},
                 {169, "[Red]#,##0", false},
                 {170, "[$-411]ggge\"年\"m\"月\"d\"日\"", true},
                 {171, "General", false},
                 {172, "\"day\"0", false},
                 {173, "0_);\\(0\\)", false}};
    for (const auto &c : cases)
        EXPECT_EQ(isDateFormat(c.id, QString::fromUtf8(c.code)), c.date) << c.id << " " << c.code;
}

} // namespace
