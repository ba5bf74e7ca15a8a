#include "masters/tables/ValueText.h"
#include "masters/tables/access/AccessColumns.h"
#include "masters/tables/access/AccessValues.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <ostream>

using namespace masters::tables;
using namespace masters::tables::access;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QByteArray storedDouble(double value)
{
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8); // the machines this runs on are little-endian, as the file is
    return bytes;
}

// Expected dates from Python's proleptic Gregorian calendar: date(1899, 12, 30) + timedelta(days).
struct DateCase {
    double stored;
    const char *text;
};

const DateCase DateCases[] = {
    {-657434.0, "0100/01/01"},
    {-657434.5, "0100/01/01 12:00:00"}, // the time of day counts forward below zero too
    {-115858.0, "1582/10/15"},
    {-115869.0, "1582/10/04"},
    {-115858.75, "1582/10/15 18:00:00"},
    {-1.0, "1899/12/29"},
    {-1.25, "1899/12/29 6:00:00"},
    {-2.75, "1899/12/28 18:00:00"},
    {-0.5, "12:00:00"},          // -0.5 is the day of the origin at noon: a time alone
    {-1.99999999999, "0:00:00"}, // 1899/12/29 23:59:59.999999 rounds to the next day's midnight
    {0.0, "0:00:00"},
    {0.25, "6:00:00"},
    {1.0, "1899/12/31"},
    {2.0, "1900/01/01"},
    {60.0, "1900/02/28"},
    {61.0, "1900/03/01"},
    {2.5, "1900/01/01 12:00:00"},
    {45351.0 + 49530.0 / 86400.0, "2024/02/29 13:45:30"},
    {2958465.0, "9999/12/31"},
    {2958465.0 + 86399.0 / 86400.0, "9999/12/31 23:59:59"},
    // Outside the years Access allows: the stored number.
    {-657435.0, "-657435"},
    {2958466.0, "2958466"},
    {2958465.9999999, "2958465.9999999"}, // would round into the year 10000
};

TEST(AccessDates, StoredDayCountsOfEveryYearAccessAllows)
{
    for (const DateCase &c : DateCases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(accessDateText(c.stored), QString::fromLatin1(c.text));
        EXPECT_EQ(dateText(storedDouble(c.stored)).value_or(QStringLiteral("(none)")),
                  QString::fromLatin1(c.text));
    }
    EXPECT_FALSE(dateText(storedDouble(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_FALSE(dateText(QByteArray(7, '\0')));
}

TEST(AccessDates, ExtendedDatesKeepTheirFractionOfASecond)
{
    const auto stored = [](const char *text) {
        QByteArray bytes(text);
        bytes.append(QByteArray(42 - bytes.size(), '\0'));
        return bytes;
    };
    const struct {
        const char *stored;
        const char *text;
    } cases[] = {
        {"0000000000000737592:0000000000000000000:7", "2020/06/17"},
        {"0000000000000737954:0000000459000000000:7", "2021/06/14 12:45:00"},
        {"0000000000000737954:0000000819123456789:7", "2021/06/14 22:45:12.3456789"},
        {"0000000000000000000:0000000000000000001:7", "0001/01/01 0:00:00.0000001"},
        {"0000000000003652058:0000000863999999999:7", "9999/12/31 23:59:59.9999999"},
        {"0000000000000693593:0000000000050000000:7", "0:00:05"}, // 1899/12/30: a time alone
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(extendedDateText(stored(c.stored)).value_or(QStringLiteral("(none)")),
                  QString::fromLatin1(c.text));
    }
    for (const char *damaged :
         {"0000000000003652059:0000000000000000000:7", // beyond 9999/12/31
          "0000000000000737592:0000000864000000000:7", // a whole day of ticks
          "00000000000007375x2:0000000000000000000:7", "0000000000000737592:00000000000000000007",
          "0000000000000737592:0000000000000000000:", ""}) {
        SCOPED_TRACE(damaged);
        EXPECT_FALSE(extendedDateText(stored(damaged)));
    }
    QByteArray trailing = stored("0000000000000737592:0000000000000000000:7");
    trailing[41] = 'x';
    EXPECT_FALSE(extendedDateText(trailing));
}

TEST(AccessValues, NumbersAndIdsFromTheirBytes)
{
    const struct {
        int type;
        const char *hex;
        const char *text;
    } cases[] = {
        {GuidType, "6a27398ea8bcc44a891e49911d8438dd", "{8E39276A-BCA8-4AC4-891E-49911D8438DD}"},
        {LargeNumberType, "2a00000000000000", "42"},
        {LargeNumberType, "0000000000000080", "-9223372036854775808"},
        {LargeNumberType, "ffffffffffffff7f", "9223372036854775807"},
        {CurrencyType, "00e40b5402000000", "1000000"},
        {CurrencyType, "bffcffffffffffff", "-0.0833"},
        {CurrencyType, "0000000000000080", "-922337203685477.5808"},
        {BooleanType, "ff", "True"},
        {BooleanType, "00", "False"},
        {ByteType, "ff", "255"},
        {IntegerType, "ffff", "-1"},
        {LongType, "0c000000", "12"},
        {SingleType, "59732145", "2583.2092"},
        {DoubleType, "9a9999999999b93f", "0.1"},
        // A calculated decimal: 19230.7692307692 and -0.0192307692307692 (1000000/52 and -1/52).
        {DecimalType, "0e000a0000000000ec04b01fe7ae0000", "19230.7692307692"},
        {DecimalType, "0e00108000000000ec04b01fe7ae0000", "-0.0192307692307692"},
        {DecimalType, "0e00120058e993b6744deac8f7aa5218", "56505085819.42479129657228018"},
        {DecimalType, "0e000800000000000000000000000000", "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(fixedValueText(c.type, QByteArray::fromHex(c.hex)).value_or(QStringLiteral("(none)")),
                  QString::fromLatin1(c.text));
    }
    // Wrong lengths and impossible fields are no value.
    EXPECT_FALSE(fixedValueText(GuidType, QByteArray(15, '\0')));
    EXPECT_FALSE(fixedValueText(LargeNumberType, QByteArray(9, '\0')));
    EXPECT_FALSE(
        fixedValueText(DecimalType, QByteArray::fromHex("0e001d00000000000000000000000000"))); // scale 29
    EXPECT_FALSE(
        fixedValueText(DecimalType, QByteArray::fromHex("0e000a01000000000000000000000000"))); // sign 1
    EXPECT_FALSE(fixedValueText(DoubleType, QByteArray::fromHex("000000000000f07f")));         // infinity
    EXPECT_FALSE(fixedValueText(TextType, QByteArray(4, '\0')));
}

TEST(AccessValues, TheResultInsideACalculatedValue)
{
    // 16 bytes, the length, the result, padding.
    const QByteArray value = QByteArray(16, '\0') + QByteArray::fromHex("040000000c000000000000");
    EXPECT_EQ(calculatedResult(value).value_or(QByteArrayView("(none)")), QByteArrayView("\x0c\0\0\0", 4));
    EXPECT_EQ(calculatedResult(QByteArray(16, '\0') + QByteArray::fromHex("00000000")).value_or("(none)"),
              QByteArrayView());
    EXPECT_FALSE(calculatedResult(QByteArray(16, '\0') + QByteArray::fromHex("050000000c000000")));
    EXPECT_FALSE(calculatedResult(QByteArray(16, '\0') + QByteArray::fromHex("ffffffff")));
    EXPECT_FALSE(calculatedResult(QByteArray(19, '\0')));
}

TEST(AccessColumns, EachTypeReadOrRefusedByName)
{
    EXPECT_EQ(planColumn(TextType, false, 0).read, ColumnRead::Library);
    EXPECT_EQ(planColumn(DateTimeType, false, 0).read, ColumnRead::Stored);
    const ColumnPlan large = planColumn(LargeNumberType, false, 0);
    EXPECT_EQ(large.read, ColumnRead::Stored);
    EXPECT_TRUE(large.numeric);
    EXPECT_EQ(planColumn(ObjectType, false, 0).read, ColumnRead::NoText);
    // A calculated column is read as its result type says, whatever its own type.
    const ColumnPlan monthly = planColumn(DoubleType, true, CurrencyType);
    EXPECT_EQ(monthly.read, ColumnRead::Calculated);
    EXPECT_EQ(monthly.type, CurrencyType);
    EXPECT_TRUE(monthly.numeric);
    EXPECT_FALSE(planColumn(IntegerType, true, BooleanType).numeric);
    EXPECT_EQ(planColumn(TextType, true, MemoType).read, ColumnRead::Calculated);

    const ColumnPlan unknown = planColumn(0x15, false, 0);
    EXPECT_EQ(unknown.read, ColumnRead::Unreadable);
    EXPECT_EQ(unknown.typeName, QStringLiteral("不明な型(0x15)"));
    const ColumnPlan noResult = planColumn(TextType, true, std::nullopt);
    EXPECT_EQ(noResult.read, ColumnRead::Unreadable);
    EXPECT_EQ(noResult.typeName, QStringLiteral("集計型(結果の型が不明)"));
    const ColumnPlan objectResult = planColumn(TextType, true, ObjectType);
    EXPECT_EQ(objectResult.read, ColumnRead::Unreadable);
    EXPECT_EQ(objectResult.typeName, QStringLiteral("集計型(結果の型: OLEオブジェクト型)"));
    EXPECT_EQ(
        unreadableColumnText(QStringLiteral("商品"), QStringLiteral("写真"), objectResult.typeName),
        QStringLiteral(
            "テーブル「商品」の項目「写真」はデータ型「集計型(結果の型: OLEオブジェクト型)」を読めないため、"
            "インポートできません。"));
}

} // namespace
