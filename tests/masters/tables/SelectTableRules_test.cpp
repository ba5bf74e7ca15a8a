#include "masters/tables/SelectTableRules.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace masters::tables;

static void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

namespace {

struct FieldCase {
    const char *name;
    QString value;
    int width;
    bool numeric;
    QByteArray expected;
};

class GetFldDataCases : public testing::TestWithParam<FieldCase> {};

TEST_P(GetFldDataCases, GivesTheFixedWidthField)
{
    const FieldCase &c = GetParam();
    const QByteArray field = GetFldData(c.value, c.width, c.numeric);
    EXPECT_EQ(field, c.expected);
    EXPECT_EQ(field.size(), c.width);
}

// "商品" is 4 bytes of code page 932, "ｱ" (half-width) one byte.
INSTANTIATE_TEST_SUITE_P(
    Values, GetFldDataCases,
    testing::Values(
        FieldCase{"TextPadded", QStringLiteral("ABCDE"), 8, false, "ABCDE   "},
        FieldCase{"TextExact", QStringLiteral("ABCD"), 4, false, "ABCD"},
        FieldCase{"TextEmpty", QString(), 3, false, "   "},
        FieldCase{"TextCut", QStringLiteral("ABCDEFGHIJ"), 4, false, "ABCD"},
        FieldCase{"NegativeZeroPadded", QStringLiteral("-12"), 5, true, "-0012"},
        FieldCase{"PlusZeroPadded", QStringLiteral("+7"), 4, true, "+007"},
        FieldCase{"NumberZeroPadded", QStringLiteral("7"), 3, true, "007"},
        FieldCase{"NumberEmpty", QString(), 4, true, "0000"},
        FieldCase{"DecimalZeroPadded", QStringLiteral("3.5"), 6, true, "0003.5"},
        // A number longer than its field keeps its first bytes, like text.
        FieldCase{"NumberCut", QStringLiteral("123456"), 3, true, "123"},
        FieldCase{"SignedNumberCut", QStringLiteral("-123"), 2, true, "-1"},
        FieldCase{"DoubleByteFits", QStringLiteral("商品"), 6, false,
                  platform::cp932::encode(u"商品") + "  "},
        FieldCase{"DoubleByteWholeAtEnd", QStringLiteral("商品A"), 4, false,
                  platform::cp932::encode(u"商品")},
        // The 8th byte would be the first half of "品".
        FieldCase{"CutBeforeSplitCharacter", QStringLiteral("ABC商品X"), 6, false,
                  platform::cp932::encode(u"ABC") + QByteArray("\x8f\xa4", 2) + " "},
        FieldCase{"CutMidCharacterAtByteEight", QStringLiteral("ABCDEFG商品"), 8, false, "ABCDEFG "},
        // "メ" is 0x83 0x81: walking from the start keeps its second byte, which lies in
        // the lead range, from being taken for the first half of a character.
        FieldCase{"TrailByteInLeadRange", QStringLiteral("Aメメ"), 3, false, platform::cp932::encode(u"Aメ")},
        FieldCase{"HalfWidthKanaSingleBytes", QStringLiteral("ｱｲｳｴｵ"), 3, false,
                  platform::cp932::encode(u"ｱｲｳ")},
        FieldCase{"NumericCutBeforeSplitCharacter", QStringLiteral("1商"), 2, true, "1 "}),
    [](const testing::TestParamInfo<FieldCase> &info) { return std::string(info.param.name); });

TEST(AssignmentComplete, NeedsATableAndAColumnForEachField)
{
    EXPECT_TRUE(assignmentComplete(QStringLiteral("T"), {{0, 2}}, 2));
    EXPECT_TRUE(assignmentComplete(QStringLiteral("T"), {{0, 2, -1}}, 2)); // fields past the count
    EXPECT_FALSE(assignmentComplete(QString(), {{0, 2}}, 2));
    EXPECT_FALSE(assignmentComplete(QStringLiteral("T"), {{0, -1}}, 2));
    EXPECT_FALSE(assignmentComplete(QStringLiteral("T"), {{0}}, 2));
}

// A table source that serves rows from memory and can fail after a number of rows.
class FakeSource : public TableSource {
public:
    QList<TableColumn> columns;
    QList<QStringList> rows;
    int failAfter = -1;
    bool listTables(QStringList &names, QString &) override
    {
        names = {QStringLiteral("T")};
        return true;
    }
    bool readColumns(const QString &, QList<TableColumn> &out, QString &) override
    {
        out = columns;
        return true;
    }
    bool readRows(const QString &, const RowHandler &onRow, QString &error) override
    {
        for (int i = 0; i < rows.size(); ++i) {
            if (i == failAfter) {
                error = QStringLiteral("読み込みエラー");
                return false;
            }
            if (!onRow(rows.at(i)))
                return true;
        }
        return true;
    }
};

class MemorySink : public RecordSink {
public:
    QByteArray data;
    int failAt = -1;
    int appended = 0;
    bool appendRecord(const QByteArray &record, QString &error) override
    {
        if (appended == failAt) {
            error = QStringLiteral("書き込みエラー");
            return false;
        }
        data += record;
        ++appended;
        return true;
    }
};

FakeSource productTable()
{
    FakeSource source;
    source.columns = {
        {QStringLiteral("コード"), true}, {QStringLiteral("品名"), false}, {QStringLiteral("単価"), true}};
    source.rows = {{QStringLiteral("12"), QStringLiteral("りんご"), QStringLiteral("150")},
                   {QStringLiteral("7"), QString(), QString()},
                   {QStringLiteral("-3"), QStringLiteral("ﾊﾞﾅﾅ"), QStringLiteral("1.5")}};
    return source;
}

TEST(ImportTable, BuildsOneRecordPerRowInFieldOrder)
{
    FakeSource source = productTable();
    MemorySink sink;
    // Key from the code, then the price before the name: fields need not follow the columns.
    const ImportOutcome outcome = importTable(source, QStringLiteral("T"), {{0, 2, 1}}, {4, 5, 6}, sink);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.count, 3);
    const QByteArray expected = "0012"
                                "00150" +
                                platform::cp932::encode(u"りんご") + "\r\n" +
                                "0007"
                                "00000"
                                "      \r\n" +
                                "-003"
                                "001.5" +
                                platform::cp932::encode(u"ﾊﾞﾅﾅ") + "  \r\n";
    EXPECT_EQ(sink.data, expected);
}

TEST(ImportTable, ReportsAFailureWithTheRecordsAppendedSoFar)
{
    struct Case {
        const char *name;
        int readFailsAfter;
        int appendFailsAt;
        int count;
        const char *error;
    };
    const Case cases[] = {{"ReadFailsAtSecondRow", 1, -1, 1, "読み込みエラー"},
                          {"AppendFailsAtThirdRecord", -1, 2, 2, "書き込みエラー"},
                          {"ReadFailsAtFirstRow", 0, -1, 0, "読み込みエラー"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeSource source = productTable();
        source.failAfter = c.readFailsAfter;
        MemorySink sink;
        sink.failAt = c.appendFailsAt;
        const ImportOutcome outcome = importTable(source, QStringLiteral("T"), {{0, 1}}, {3, 6}, sink);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.count, c.count);
        EXPECT_EQ(outcome.error, QString::fromUtf8(c.error));
        EXPECT_EQ(sink.appended, c.count);
    }
}

TEST(ImportTable, RefusesAnAssignmentBeyondTheTableColumns)
{
    FakeSource source = productTable();
    MemorySink sink;
    const ImportOutcome outcome = importTable(source, QStringLiteral("T"), {{0, 3}}, {3, 6}, sink);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(sink.appended, 0);
}

} // namespace
