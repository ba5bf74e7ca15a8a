#include "comm/YmCsvRecord.h"

#include <QBuffer>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

using namespace comm;

namespace {

struct CsvCase {
    QByteArray line;
    std::vector<int> widths;
    bool dblQuot;
    QByteArray record;
};

TEST(CsvLineToRecord, SplitsPadsAndCuts)
{
    const std::vector<CsvCase> cases = {
        {"A,B", {3, 2}, false, "A  B "},
        {"ABCDE,XY", {3, 2}, false, "ABCXY"},
        {"A,B,C,D", {1, 1}, false, "AB"}, // extra values dropped
        {"A", {2, 2, 1}, false, "A    "}, // missing values are blank
        {"A,", {1, 1}, false, "A "},
        {"", {2}, false, "  "},
        {"\"AB\",\"C", {3, 2}, true, "AB C "},      // closing quote, and opening quote alone
        {"\"AB\",\"C", {4, 2}, false, "\"AB\"\"C"}, // without the flag quotes stay
        {"\"", {2}, true, "  "},
        {"A\"B\"", {4}, true, "A\"B\""},                        // only a value that begins with a quote
        {"\"A,B\"", {2, 2}, true, "A B\""},                     // quotes do not protect commas
        {"\x93\xfa\x96\x7b,X", {3, 1}, false, "\x93\xfa\x96X"}, // a byte cut may split a character
    };
    for (const CsvCase &c : cases) {
        EXPECT_EQ(csvLineToRecord(c.line, c.widths, c.dblQuot), c.record) << c.line.constData();
    }
}

std::vector<QByteArray> readAll(const QByteArray &content)
{
    QByteArray data = content;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TextLineReader reader(buffer);
    std::vector<QByteArray> lines;
    QByteArray line;
    while (reader.readLine(line))
        lines.push_back(line);
    EXPECT_FALSE(reader.failed());
    return lines;
}

TEST(TextLineReader, LineEnds)
{
    using L = std::vector<QByteArray>;
    EXPECT_EQ(readAll(""), L{});
    EXPECT_EQ(readAll("a\r\nb\r\n"), (L{"a", "b"}));
    EXPECT_EQ(readAll("a\nb"), (L{"a", "b"}));
    EXPECT_EQ(readAll("a\rb\r\n\r\nc"), (L{"a", "b", "", "c"}));
    EXPECT_EQ(readAll("\r\n"), (L{""}));

    // Lines longer than one read, and a CR LF split across two reads.
    QByteArray big(4095, 'x');
    EXPECT_EQ(readAll(big + "\r\n" + "y"), (L{big, "y"}));
    EXPECT_EQ(readAll(QByteArray(10000, 'z') + "\n"), (L{QByteArray(10000, 'z')}));
}

} // namespace
