#include "MasterTestSupport.h"

#include "comm/CorlissRules.h"
#include "masters/WidthFile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace masters;
using namespace masterstest;

namespace {

TEST(WidthFile, ParsesOneToSixPositiveWidthsWithinTheRecordLimit)
{
    struct Case {
        const char *line;
        std::optional<std::vector<int>> widths;
    };
    const Case cases[] = {
        {"10,20,8", std::vector<int>{10, 20, 8}},
        {"4", std::vector<int>{4}},
        {"1,2,3,4,5,6", std::vector<int>{1, 2, 3, 4, 5, 6}},
        {" 10 , 20 ", std::vector<int>{10, 20}},
        {"99,21000", std::nullopt}, // 21099 bytes do not fit the record buffer
        {"98,21000", std::vector<int>{98, 21000}},
        {"4,0,2", std::nullopt},
        {"4,-1", std::nullopt},
        {"4,x", std::nullopt},
        {"4,,2", std::nullopt},
        {"10,20,", std::nullopt},
        {"1,2,3,4,5,6,7", std::nullopt},
        {"", std::nullopt},
        {"4;2", std::nullopt},
        {"99999999999,1", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseWidths(QString::fromLatin1(c.line)), c.widths);
    }
}

TEST(WidthFile, TextIsTheWidthsJoinedByCommasWithCrLf)
{
    EXPECT_EQ(widthFileText({10, 20, 5, 8}), QByteArray("10,20,5,8\r\n"));
    EXPECT_EQ(widthFilePath(QStringLiteral("/m/DATA.DAT")), QStringLiteral("/m/DATA.fld"));
    EXPECT_EQ(widthFilePath(QStringLiteral("/m/data")), QStringLiteral("/m/data.fld"));
}

TEST(WidthFile, IsFoundWhateverTheLetterCaseOfItsExtension)
{
    ASSERT_TRUE(writeFile(casePath("win/DATA.DAT"), QByteArray()));
    ASSERT_TRUE(writeFile(casePath("win/DATA.FLD"), "6,4\r\n"));
    const WidthFileRead read = readWidthFile(casePath("win/DATA.DAT"));
    EXPECT_EQ(read.status, WidthFileRead::Status::Ok);
    EXPECT_EQ(read.widths, (std::vector<int>{6, 4}));
    // The library's lookup of a send is the same.
    EXPECT_EQ(comm::readFldFile(casePath("win/DATA.DAT")), QStringLiteral("6,4"));
    // The exact name wins over one in another case.
    ASSERT_TRUE(writeFile(casePath("win/DATA.fld"), "3\r\n"));
    EXPECT_EQ(readWidthFile(casePath("win/DATA.DAT")).widths, std::vector<int>{3});
}

TEST(WidthFile, ReportsAMissingAndABadWidthFileApart)
{
    EXPECT_EQ(readWidthFile(casePath("none.dat")).status, WidthFileRead::Status::Missing);
    ASSERT_TRUE(writeFile(casePath("bad.fld"), "4,0,2\r\n"));
    EXPECT_EQ(readWidthFile(casePath("bad.dat")).status, WidthFileRead::Status::Invalid);
    ASSERT_TRUE(writeFile(casePath("two.fld"), "\t4,2 \r\n9,9\r\n"));
    EXPECT_EQ(readWidthFile(casePath("two.dat")).widths, (std::vector<int>{4, 2}));
    ASSERT_TRUE(writeFile(casePath("long.fld"), QByteArray(100000, '1')));
    EXPECT_EQ(readWidthFile(casePath("long.dat")).status, WidthFileRead::Status::Invalid);
    // Found by fuzzing: a line too long for a width line read as the widths of its first 4 KiB.
    ASSERT_TRUE(writeFile(casePath("cut.fld"), "10" + QByteArray(4093, ' ') + "5\r\n"));
    EXPECT_EQ(readWidthFile(casePath("cut.dat")).status, WidthFileRead::Status::Invalid);
}

} // namespace
