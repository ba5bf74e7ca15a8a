// The receiver's main paths against the scripted terminal: binary files, record data after its
// field definition, CSV conversion, dated names, append and replace, batches.

#include "ReceiverHarness.h"
#include "platform/Cp932.h"

#include <gmock/gmock.h>

using namespace receivertest;

namespace {

QByteArray pattern(int size, int seed = 1)
{
    QByteArray b;
    b.reserve(size);
    for (int i = 0; i < size; ++i)
        b += static_cast<char>((i * 31 + seed * 7) & 0xFF);
    return b;
}

// Three records of widths 4, 1, 2, each followed by CR LF on the wire.
const QByteArray ThreeRecords = "AB  X12\r\nCDEFY  \r\n"
                                "\x83\x41\x83\x41Z34\r\n";

TEST_F(ReceiverTest, BinaryFileIsStoredUpToItsSize)
{
    const QByteArray content = pattern(1500);
    Term.file("PRG.PD4", content);
    Term.batchEnd();
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString("PRG.PD4"));
    EXPECT_EQ(inboxFile("PRG.PD4"), content);
    EXPECT_EQ(inboxNames(), QStringList({"PRG.PD4"}));
    // Invitation, header ACK and 'C', two data ACKs, the EOT's ACK, 'C' for the next header, its ACK.
    EXPECT_EQ(wire(), QByteArray("C\x06"
                                 "C\x06\x06\x06"
                                 "C\x06"));
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_TRUE(Progress.Labels.contains(QStringLiteral("PRG.PD4 ﾌﾟﾛｸﾞﾗﾑ受信")));
    EXPECT_EQ(Progress.GaugeMaximum, 2);
    EXPECT_EQ(Progress.StopCaptions.last(), QStringLiteral("中断"));
    const std::string log = platform::cp932::decode(logText()).toStdString();
    EXPECT_THAT(log, testing::HasSubstr("PRG.PD4"));
    EXPECT_THAT(log, testing::HasSubstr("1500ﾊﾞｲﾄ"));
    EXPECT_THAT(log, testing::HasSubstr("受信  正常終了"));
    // The 'C' after the header's ACK comes 100 ms later.
    const std::vector<qint64> acks = timesOf(comm::ACK);
    const std::vector<qint64> cs = timesOf(comm::CRC_C);
    ASSERT_GE(cs.size(), 2u);
    EXPECT_EQ(cs[1] - acks[0], 100 + PaceMs);
}

TEST_F(ReceiverTest, BinaryClassesAndBlockNumbersPastTheWrap)
{
    // 300 frames: the block numbers run 1..255, 0, 1 ... 44.
    const QByteArray big = pattern(300 * 1024 - 7, 3);
    const QByteArray small = pattern(100, 4);
    Term.file("ARCHIVE.ZIP", big);
    Term.file("LOGO.bmp", small);
    Term.file("A.FN3", small);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString("A.FN3"));
    EXPECT_EQ(inboxFile("ARCHIVE.ZIP"), big);
    EXPECT_EQ(inboxFile("LOGO.BMP"), small);
    EXPECT_EQ(inboxFile("A.FN3"), small);
    EXPECT_TRUE(Term.steps.empty());
}

struct FormatCase {
    const char *what;
    bool csv, lastSp, dblQuot, addZero;
    QByteArray stored;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverRecordFormat : public ReceiverTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(ReceiverRecordFormat, RecordDataIsCutByItsFieldDefinition)
{
    const FormatCase &c = GetParam();
    Term.file("DATA.FLD", fldText("DATA.DAT", ThreeRecords.size(), 3, "4 1 2"));
    Term.file("DATA.DAT", ThreeRecords);
    Term.batchEnd();
    Start.CsvFlg = c.csv;
    Start.LastSpFlg = c.lastSp;
    Start.DblQuotFlg = c.dblQuot;
    Start.AddZeroFlg = c.addZero;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString("DATA.DAT"));
    EXPECT_EQ(result.FieldList, QString("4,1,2"));
    // The frame's NUL filling after the third record is no record.
    EXPECT_EQ(inboxFile("DATA.DAT"), c.stored);
    // The field definition is not stored.
    EXPECT_EQ(inboxNames(), QStringList({"DATA.DAT"}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReceiverRecordFormat,
    testing::Values(
        FormatCase{"fixed", false, false, false, false, "AB  X12\r\nCDEFY  \r\n\x83\x41\x83\x41Z34\r\n"},
        FormatCase{"fixed_with_delete_flag", false, false, false, true,
                   "AB  X120\r\nCDEFY  0\r\n\x83\x41\x83\x41Z340\r\n"},
        FormatCase{"csv", true, false, false, false, "AB,X,12\r\nCDEF,Y,\r\n\x83\x41\x83\x41,Z,34\r\n"},
        FormatCase{"csv_keeping_spaces", true, true, false, false,
                   "AB  ,X,12\r\nCDEF,Y,  \r\n\x83\x41\x83\x41,Z,34\r\n"},
        FormatCase{"csv_quoted_with_delete_flag", true, false, true, true,
                   "\"AB\",\"X\",\"12\",\"0\"\r\n\"CDEF\",\"Y\",\"\",\"0\"\r\n"
                   "\"\x83\x41\x83\x41\",\"Z\",\"34\",\"0\"\r\n"}),
    [](const testing::TestParamInfo<FormatCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, CsvFileAndRecordsOverSeveralFrames)
{
    // 300 records of 7 bytes + CR LF cross frame borders; a ".CSV" name is converted without CsvFlg.
    QByteArray wireData;
    QByteArray expected;
    for (int i = 0; i < 300; ++i) {
        const QByteArray key = QByteArray::number(i).rightJustified(4, '0');
        wireData += key + "A  \r\n";
        expected += key + ",A,\r\n";
    }
    Term.file("LIST.FLD", fldText("LIST.CSV", wireData.size(), 300, "4 1 2"));
    Term.file("LIST.CSV", wireData);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(inboxFile("LIST.CSV"), expected);
}

TEST_F(ReceiverTest, JobSettingsStayFixedWidthWithCsvOn)
{
    const QByteArray line = QByteArray(8, 'J') + "\r\n";
    Term.file("CNF800.FLD", fldText("CNF800.BNF", line.size() * 2, 2, "8"));
    Term.file("CNF800.BNF", line + line);
    Term.batchEnd();
    Start.CsvFlg = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.FieldList, QString("8"));
    EXPECT_EQ(inboxFile("CNF800.BNF"), line + line);
    EXPECT_TRUE(Progress.Labels.contains(QStringLiteral("業務設定受信")));
}

TEST_F(ReceiverTest, DatedNameTakesTodayAndIsHandedBack)
{
    // The fake clock's day is 10 December 2026.
    Term.file("DYYMMDD.FLD", fldText("DYYMMDD.DAT", 9, 1, "4 1 2"));
    Term.file("DYYMMDD.DAT", "ABCD123\r\n");
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString("D261210.DAT"));
    EXPECT_EQ(inboxFile("D261210.DAT"), QByteArray("ABCD123\r\n"));
    EXPECT_EQ(inboxNames(), QStringList({"D261210.DAT"}));
}

TEST_F(ReceiverTest, ReplaceModeReplacesTheOldTarget)
{
    putInbox("PRG.PD4", "OLD PROGRAM THAT WAS LONGER");
    putInbox("DATA.DAT", "OLD1234\r\n");
    Term.file("PRG.PD4", "NEW");
    Term.file("DATA.FLD", fldText("DATA.DAT", 9, 1, "4 1 2"));
    Term.file("DATA.DAT", "NEW1234\r\n");
    Term.batchEnd();

    EXPECT_EQ(run().ErrorNo, 0);
    EXPECT_EQ(inboxFile("PRG.PD4"), QByteArray("NEW"));
    EXPECT_EQ(inboxFile("DATA.DAT"), QByteArray("NEW1234\r\n"));
    EXPECT_EQ(inboxNames(), QStringList({"DATA.DAT", "PRG.PD4"}));
}

TEST_F(ReceiverTest, AppendModeKeepsEveryReceptionInOrder)
{
    putInbox("DATA.DAT", "OLD0000\r\n");
    // Two batches in continuous receive, the same file in each.
    for (const QByteArray &record : {QByteArray("ONE1111\r\n"), QByteArray("TWO2222\r\nTRE3333\r\n")}) {
        Term.file("DATA.FLD", fldText("DATA.DAT", record.size(), record.size() / 9, "4 1 2"));
        Term.file("DATA.DAT", record);
        Term.batchEnd();
    }
    // Binary files are replaced even in append mode.
    putInbox("PRG.PD4", "OLD");
    Term.file("PRG.PD4", "NEW");
    Term.batchEnd();
    Start.WriteMode = 1;
    Start.RcvMode = 1;

    run(true);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile("DATA.DAT"), QByteArray("OLD0000\r\nONE1111\r\nTWO2222\r\nTRE3333\r\n"));
    EXPECT_EQ(inboxFile("PRG.PD4"), QByteArray("NEW"));
    EXPECT_EQ(inboxNames(), QStringList({"DATA.DAT", "PRG.PD4"}));
}

TEST_F(ReceiverTest, NullHeaderEndsOneBatch)
{
    Term.file("A.PD4", "AAA");
    Term.batchEnd();
    Term.file("B.PD4", "BBB");
    Term.batchEnd();
    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString("A.PD4"));
    EXPECT_EQ(inboxNames(), QStringList({"A.PD4"}));
    // The second batch is never asked for.
    EXPECT_EQ(Term.steps.size(), 7u);
}

TEST_F(ReceiverTest, ContinuousReceiveWaitsForTheNextBatch)
{
    Term.file("A.PD4", "AAA");
    Term.batchEnd();
    Term.file("B.PD4", "BBB");
    Term.batchEnd();
    Start.RcvMode = 1;
    // Ended by the operator while the receiver waits again: that is a cancel.
    const TransferResult result = run(true);
    EXPECT_EQ(result.ErrorNo, 1);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("AAA"));
    EXPECT_EQ(inboxFile("B.PD4"), QByteArray("BBB"));
    EXPECT_EQ(Progress.Labels.last(), QStringLiteral("受信待ち"));
}

TEST_F(ReceiverTest, EotVariantsAtTheEndOfAFile)
{
    // 0xB0 ends a file as EOT does.
    Term.file("A.PD4", "AAA", comm::EOT_ALT);
    Term.batchEnd();
    EXPECT_EQ(run().ErrorNo, 0);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("AAA"));
}

TEST_F(ReceiverTest, HeaderInALongFrameIsAccepted)
{
    Term.on(comm::CRC_C, headerFrameOf(QByteArray("A.PD4\0"
                                                  "3",
                                                  7),
                                       comm::LongData));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, dataFrame(1, "AAA", comm::ShortData));
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();
    EXPECT_EQ(run().ErrorNo, 0);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("AAA"));
}

} // namespace
