// The receiver against a terminal that goes wrong: refused headers and frames, lost and repeated
// frames, silence in every state, CAN, invalid field definitions, and files that cannot be stored.
// Every time-out runs at its real value on the fake clock.

#include "ReceiverHarness.h"
#include "platform/Cp932.h"

#include <QFileInfo>
#include <functional>
#include <gmock/gmock.h>

using namespace receivertest;
using testing::Each;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

QByteArray withByte(QByteArray frame, qsizetype at, int value)
{
    frame[at] = static_cast<char>(value);
    return frame;
}

QByteArray badCrc(const QByteArray &frame)
{
    return withByte(frame, frame.size() - 1, frame.back() ^ 0x01);
}

QByteArray content(int size)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b += static_cast<char>('a' + i % 26);
    return b;
}

int countOf(const QByteArray &wire, char byte)
{
    return static_cast<int>(wire.count(byte));
}

const QByteArray CanCan("\x18\x18", 2);

TEST_F(ReceiverTest, DataWithoutFieldDefinitionIsRefusedUntilTheTenthTime)
{
    putInbox("DATA.TXT", "OLD");
    const QByteArray header = headerFrame("DATA.TXT", 9);
    Term.on(comm::CRC_C, header);
    for (int i = 0; i < 9; ++i)
        Term.on(comm::NAK, header);
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 14);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_EQ(wire(), "C" + QByteArray(9, comm::NAK) + CanCan);
    EXPECT_THAT(gaps(timesOf(comm::CAN)), ElementsAre(100 + PaceMs));
    EXPECT_EQ(inboxFile("DATA.TXT"), QByteArray("OLD"));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("リトライエラー"));
}

struct BadHeaderCase {
    const char *what;
    QByteArray frame;
};

void PrintTo(const BadHeaderCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverBadHeader : public ReceiverTest, public testing::WithParamInterface<BadHeaderCase> {};

TEST_P(ReceiverBadHeader, IsRefusedWithNakAndTheNextGoodOneTaken)
{
    putInbox("A.PD4", "OLD");
    Term.on(comm::CRC_C, GetParam().frame);
    Term.on(comm::NAK, headerFrame("A.PD4", 3));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, dataFrame(1, "NEW", comm::ShortData));
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(wire().left(3), QByteArray("C\x15\x06"));
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("NEW"));
    EXPECT_EQ(inboxNames(), QStringList({"A.PD4"}));
    // Nothing was written beside the receive folder either.
    EXPECT_EQ(QDir(QFileInfo(Inbox.path()).path()).entryList({"X.PD4", "*.PD4"}, QDir::Files), QStringList());
    EXPECT_FALSE(Progress.Labels.contains(QStringLiteral("../X.PD4 ﾌﾟﾛｸﾞﾗﾑ受信")));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ReceiverBadHeader,
    testing::Values(BadHeaderCase{"parent_folder", headerFrame("../X.PD4", 3)},
                    BadHeaderCase{"slash", headerFrame("SUB/X.PD4", 3)},
                    BadHeaderCase{"backslash", headerFrame("..\\X.PD4", 3)},
                    BadHeaderCase{"dot_dot", headerFrame("..", 3)},
                    BadHeaderCase{"name_of_13_bytes", headerFrame("ABCDEFGHI.PD4", 3)},
                    BadHeaderCase{"size_zero", headerFrame("A.PD4", 0)},
                    BadHeaderCase{"size_past_32_bits", headerFrameOf(QByteArray("A.PD4\0"
                                                                                "2147483648",
                                                                                16))},
                    BadHeaderCase{"no_size", headerFrameOf(QByteArray("A.PD4\0", 6))},
                    BadHeaderCase{"bad_crc", badCrc(headerFrame("A.PD4", 3))},
                    BadHeaderCase{"block_number_1",
                                  withByte(withByte(headerFrame("A.PD4", 3), 1, 1), 2, 254)},
                    BadHeaderCase{"bad_complement", withByte(headerFrame("A.PD4", 3), 2, 0)}),
    [](const testing::TestParamInfo<BadHeaderCase> &info) { return std::string(info.param.what); });

struct BadFrameCase {
    const char *what;
    QByteArray frame;  // what comes instead of the first data frame
    qint64 nakAfterMs; // when the NAK follows the frame's arrival
};

void PrintTo(const BadFrameCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverBadFrame : public ReceiverTest, public testing::WithParamInterface<BadFrameCase> {};

const QByteArray FrameOne = dataFrame(1, content(1024));

TEST_P(ReceiverBadFrame, IsRefusedWithNakAndTheResentOneStoredOnce)
{
    const QByteArray data = content(1500);
    const QList<QByteArray> frames = Terminal::framesOf(data);
    Term.on(comm::CRC_C, headerFrame("A.PD4", data.size()));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, GetParam().frame);
    Term.on(comm::NAK, frames[0]);
    Term.on(comm::ACK, frames[1]);
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile("A.PD4"), data);
    EXPECT_EQ(countOf(wire(), comm::NAK), 1);
    // The bad frame arrived 5 ms after the 'C' that asked for it.
    const std::vector<qint64> cs = timesOf(comm::CRC_C);
    ASSERT_EQ(timesOf(comm::NAK).size(), 1u);
    EXPECT_EQ(timesOf(comm::NAK)[0] - (cs[1] + 5), GetParam().nakAfterMs);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ReceiverBadFrame,
    testing::Values(BadFrameCase{"bad_crc", badCrc(FrameOne), PaceMs},
                    BadFrameCase{"block_number_2", dataFrame(2, content(1024)), PaceMs},
                    BadFrameCase{"bad_complement", withByte(FrameOne, 2, 0), PaceMs},
                    BadFrameCase{"corrupted_data", withByte(FrameOne, 500, 'Z'), PaceMs},
                    // Bytes lost on the line: the frame is given up 500 ms after its first byte.
                    BadFrameCase{"lost_bytes", FrameOne.left(700), 500 + PaceMs}),
    [](const testing::TestParamInfo<BadFrameCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, RepeatedFrameIsAcknowledgedAndNotStoredTwice)
{
    // The terminal missed the ACK of each frame once and sends it again.
    const QByteArray data = content(2100);
    const QList<QByteArray> frames = Terminal::framesOf(data);
    Term.on(comm::CRC_C, headerFrame("A.PD4", data.size()));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, frames[0]);
    Term.on(comm::ACK, frames[0]);
    Term.on(comm::ACK, frames[1]);
    Term.on(comm::ACK, frames[1]);
    Term.on(comm::ACK, frames[2]);
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(inboxFile("A.PD4"), data);
    EXPECT_EQ(countOf(wire(), comm::NAK), 0);
}

TEST_F(ReceiverTest, TenthBadFrameEndsTheTransferAndKeepsTheOldFile)
{
    putInbox("A.PD4", "OLD PROGRAM");
    const QByteArray bad = badCrc(FrameOne);
    Term.on(comm::CRC_C, headerFrame("A.PD4", 1500));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, bad);
    for (int i = 0; i < 9; ++i)
        Term.on(comm::NAK, bad);

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 14);
    EXPECT_EQ(wire(), "C\x06"
                      "C" +
                          QByteArray(9, comm::NAK) + CanCan);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD PROGRAM"));
    EXPECT_EQ(inboxNames(), QStringList({"A.PD4"}));
}

struct SilenceCase {
    const char *what;
    std::function<void(Terminal &)> script; // what the terminal sends before it falls silent
    char retry;                             // the receiver's answer to each time-out
    int retries;                            // answers before the tenth time-out ends it
    qint64 retryGap;                        // time between two answers
};

void PrintTo(const SilenceCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverSilence : public ReceiverTest, public testing::WithParamInterface<SilenceCase> {};

TEST_P(ReceiverSilence, EndsWithTimeOutAfterTheTenthWait)
{
    const SilenceCase &c = GetParam();
    putInbox("A.PD4", "OLD");
    c.script(Term);
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 13);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_TRUE(wire().endsWith(CanCan));
    const std::vector<qint64> retries = timesOf(c.retry);
    EXPECT_EQ(countOf(wire(), c.retry), c.retries);
    ASSERT_GE(retries.size(), 3u);
    // From the second answer on, every one follows the one before after the full wait.
    const std::vector<qint64> between = gaps(retries);
    EXPECT_THAT(std::vector<qint64>(between.end() - 5, between.end()), Each(c.retryGap));
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD"));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("タイムアウト"));
}

const QByteArray TwoFrameData = content(1500);

INSTANTIATE_TEST_SUITE_P(
    States, ReceiverSilence,
    testing::Values(SilenceCase{"inside_the_header",
                                [](Terminal &t) { t.on(comm::CRC_C, headerFrame("A.PD4", 1500).left(60)); },
                                comm::NAK, 9, 3000 + PaceMs},
                    SilenceCase{"after_a_refused_header",
                                [](Terminal &t) { t.on(comm::CRC_C, badCrc(headerFrame("A.PD4", 1500))); },
                                comm::NAK, 9, 3000 + PaceMs},
                    // Waiting for the first frame, the receiver repeats its ACK and 'C'.
                    SilenceCase{"before_the_first_frame",
                                [](Terminal &t) {
                                    t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                    t.on(comm::ACK);
                                },
                                comm::ACK, 1 + 9, 3000 + PaceMs + 100 + PaceMs},
                    SilenceCase{"inside_a_frame",
                                [](Terminal &t) {
                                    t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                    t.on(comm::ACK);
                                    t.on(comm::CRC_C, Terminal::framesOf(TwoFrameData)[0].left(1000));
                                },
                                comm::NAK, 9, 3000 + PaceMs},
                    SilenceCase{"before_the_next_frame",
                                [](Terminal &t) {
                                    t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                    t.on(comm::ACK);
                                    t.on(comm::CRC_C, Terminal::framesOf(TwoFrameData)[0]);
                                },
                                comm::NAK, 9, 3000 + PaceMs},
                    SilenceCase{"before_the_eot",
                                [](Terminal &t) {
                                    const QList<QByteArray> frames = Terminal::framesOf(TwoFrameData);
                                    t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                    t.on(comm::ACK);
                                    t.on(comm::CRC_C, frames[0]);
                                    t.on(comm::ACK, frames[1]);
                                },
                                comm::NAK, 9, 3000 + PaceMs}),
    [](const testing::TestParamInfo<SilenceCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, SilenceBeforeAHeaderIsInvitedWithoutLimit)
{
    for (int i = 0; i < 200; ++i)
        Term.on(comm::CRC_C);
    const TransferResult result = run(true);
    // The operator's stop while nothing came is a cancel, without CAN on the line.
    EXPECT_EQ(result.ErrorNo, 1);
    EXPECT_EQ(wire(), QByteArray(201, comm::CRC_C));
    EXPECT_THAT(gaps(timesOf(comm::CRC_C)), Each(1000 + PaceMs));
}

TEST_F(ReceiverTest, FrameTimeCountsFromTheFrameStart)
{
    // The first data frame starts 2800 ms after the receiver asked for it. It may take 500 ms from
    // its first byte: a frame whole after 450 ms is taken, one still short after 500 ms is not.
    const QList<QByteArray> frames = Terminal::framesOf(TwoFrameData);
    Term.on(comm::CRC_C, headerFrame("A.PD4", TwoFrameData.size()));
    Term.on(comm::ACK);
    Term.steps.push_back(Step{comm::CRC_C, frames[0].left(100), 2800, frames[0].mid(100), 2800 + 450});
    Term.steps.push_back(Step{comm::ACK, frames[1].left(100), 2800, frames[1].mid(100), 2800 + 520});
    Term.on(comm::NAK, frames[1]);
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(inboxFile("A.PD4"), TwoFrameData);
    const std::vector<qint64> acks = timesOf(comm::ACK);
    const std::vector<qint64> naks = timesOf(comm::NAK);
    ASSERT_EQ(naks.size(), 1u);
    EXPECT_EQ(naks[0] - acks[1], 2800 + 500 + PaceMs);
}

struct CanCase {
    const char *what;
    std::function<void(Terminal &)> script;
};

void PrintTo(const CanCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverCan : public ReceiverTest, public testing::WithParamInterface<CanCase> {};

TEST_P(ReceiverCan, FromTheTerminalIsAnInterruption)
{
    putInbox("A.PD4", "OLD");
    GetParam().script(Term);
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 2);
    EXPECT_EQ(result.RcvFileName, QString());
    // The receiver does not answer a CAN with CAN.
    EXPECT_EQ(countOf(wire(), comm::CAN), 0);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD"));
    EXPECT_EQ(inboxNames(), QStringList({"A.PD4"}));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信  中断"));
}

INSTANTIATE_TEST_SUITE_P(
    States, ReceiverCan,
    testing::Values(CanCase{"waiting_for_a_header",
                            [](Terminal &t) { t.on(comm::CRC_C, QByteArray(2, comm::CAN)); }},
                    CanCase{"after_a_refused_header",
                            [](Terminal &t) {
                                t.on(comm::CRC_C, badCrc(headerFrame("A.PD4", 3)));
                                t.on(comm::NAK, QByteArray(1, comm::CAN));
                            }},
                    CanCase{"before_the_first_frame",
                            [](Terminal &t) {
                                t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                t.on(comm::ACK);
                                t.on(comm::CRC_C, QByteArray(2, comm::CAN));
                            }},
                    CanCase{"between_frames",
                            [](Terminal &t) {
                                t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                t.on(comm::ACK);
                                t.on(comm::CRC_C, Terminal::framesOf(TwoFrameData)[0]);
                                t.on(comm::ACK, QByteArray(2, comm::CAN));
                            }}),
    [](const testing::TestParamInfo<CanCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, ContinuousReceiveGoesOnAfterAnInterruption)
{
    Term.on(comm::CRC_C, headerFrame("A.PD4", 1500));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, QByteArray(1, comm::CAN));
    Term.file("B.PD4", "BBB");
    Term.batchEnd();
    Start.RcvMode = 1;

    run(true);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxNames(), QStringList({"B.PD4"}));
}

struct InvalidFldCase {
    const char *what;
    QByteArray text;
};

void PrintTo(const InvalidFldCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverInvalidFld : public ReceiverTest, public testing::WithParamInterface<InvalidFldCase> {};

QByteArray manyWidths(int count)
{
    QByteArray list;
    for (int i = 0; i < count; ++i)
        list += i == 0 ? "1" : " 1";
    return list;
}

TEST_P(ReceiverInvalidFld, EndsOneBatchWithFieldError)
{
    putInbox("DATA.DAT", "OLD");
    Term.file("DATA.FLD", GetParam().text);
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 15);
    EXPECT_EQ(result.FieldList, QString());
    EXPECT_TRUE(wire().endsWith(CanCan));
    EXPECT_EQ(inboxNames(), QStringList({"DATA.DAT"}));
    EXPECT_EQ(inboxFile("DATA.DAT"), QByteArray("OLD"));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信ﾌｨｰﾙﾄﾞﾃﾞｰﾀｴﾗｰ"));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReceiverInvalidFld,
    testing::Values(InvalidFldCase{"record_longer_than_on_the_wire", fldText("DATA.DAT", 1000, 100, "4 1 2")},
                    InvalidFldCase{"size_not_a_multiple", fldText("DATA.DAT", 100, 11, "4 1 2")},
                    InvalidFldCase{"no_file", fldText("", 900, 100, "4 1 2")},
                    InvalidFldCase{"size_past_32_bits",
                                   fldText("DATA.DAT", 4294967296LL * 9, 4294967296LL, "4 1 2")},
                    InvalidFldCase{"more_than_256_widths", fldText("DATA.DAT", 259 * 3, 3, manyWidths(257))}),
    [](const testing::TestParamInfo<InvalidFldCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, FieldDefinitionOf256WidthsIsTaken)
{
    const QByteArray record = QByteArray(256, 'R') + "\r\n";
    Term.file("DATA.FLD", fldText("DATA.DAT", record.size(), 1, manyWidths(256)));
    Term.file("DATA.DAT", record);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(inboxFile("DATA.DAT"), record);
}

TEST_F(ReceiverTest, DataAfterAnInvalidFieldDefinitionIsRefused)
{
    // In continuous receive the receiver asks for the next header; a terminal that goes on with the
    // data file anyway is refused, since its layout was not accepted.
    Term.file("DATA.FLD", fldText("DATA.DAT", 1000, 100, "4 1 2"));
    Term.steps.pop_back(); // no ACK follows the EOT
    Term.on(comm::CAN);
    Term.on(comm::CRC_C, headerFrame("DATA.DAT", 1000));
    Term.on(comm::NAK, nullHeader());
    Term.on(comm::ACK);
    Start.RcvMode = 1;

    run(true);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxNames(), QStringList());
}

struct StoreFailureCase {
    const char *what;
    bool recordData;
    std::function<void(TransferStart &)> setUp;
    QByteArray wire; // what the receiver wrote
};

void PrintTo(const StoreFailureCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverStoreFailure : public ReceiverTest, public testing::WithParamInterface<StoreFailureCase> {};

TEST_P(ReceiverStoreFailure, EndsTheTransferWithFileError)
{
    const StoreFailureCase &c = GetParam();
    putInbox("A.PD4", "OLD");
    putInbox("A.DAT", "OLD");
    const QByteArray records = "ABCD123\r\n";
    if (c.recordData) {
        Term.file("A.FLD", fldText("A.DAT", records.size(), 1, "4 1 2"));
        Term.file("A.DAT", records);
    } else {
        Term.file("A.PD4", content(100));
    }
    Term.batchEnd();
    Term.file("B.PD4", "BBB");
    Term.batchEnd();
    // Even continuous receive ends on a file error.
    Start.RcvMode = 1;
    Start.LogFlag = true;
    c.setUp(Start);

    const TransferResult result = run(true);
    EXPECT_EQ(result.ErrorNo, 12);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_EQ(wire(), c.wire);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD"));
    EXPECT_EQ(inboxFile("A.DAT"), QByteArray("OLD"));
    EXPECT_EQ(inboxNames(), QStringList({"A.DAT", "A.PD4"}));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信  ファイルアクセスエラー"));
}

const QByteArray FldAccepted = "C\x06"
                               "C\x06\x06"
                               "C"; // the FLD file taken, 'C' for the data header

INSTANTIATE_TEST_SUITE_P(
    Failures, ReceiverStoreFailure,
    testing::Values(StoreFailureCase{"binary_temp_file_not_created", false,
                                     [](TransferStart &s) { s.Tmp2File = s.Tmp2File + ".missing/tmp"; },
                                     "C" + CanCan},
                    StoreFailureCase{"record_temp_file_not_created", true,
                                     [](TransferStart &s) { s.Tmp1File = s.Tmp1File + ".missing/tmp"; },
                                     FldAccepted + CanCan},
                    // The temporary file is written in large pieces: a failing write shows when
                    // the file is closed at its EOT at the latest, which then gets CAN CAN.
                    StoreFailureCase{"binary_temp_file_write_fails", false,
                                     [](TransferStart &s) { s.Tmp2File = "/dev/full"; },
                                     "C\x06"
                                     "C\x06" +
                                         CanCan},
                    StoreFailureCase{"record_temp_file_write_fails", true,
                                     [](TransferStart &s) { s.Tmp1File = "/dev/full"; },
                                     FldAccepted +
                                         "\x06"
                                         "C\x06" +
                                         CanCan},

                    StoreFailureCase{"binary_target_not_writable", false,
                                     [](TransferStart &s) { s.RxFolder = s.RxFolder + "gone/"; },
                                     "C\x06"
                                     "C\x06" +
                                         CanCan},
                    StoreFailureCase{"record_target_not_writable", true,
                                     [](TransferStart &s) { s.RxFolder = s.RxFolder + "gone/"; },
                                     FldAccepted +
                                         "\x06"
                                         "C\x06" +
                                         CanCan}),
    [](const testing::TestParamInfo<StoreFailureCase> &info) { return std::string(info.param.what); });

TEST_F(ReceiverTest, TempFileWriteFailureStopsALargeFileWhileItArrives)
{
    constexpr int Blocks = 200;
    putInbox("A.PD4", "OLD");
    Term.file("A.PD4", content(Blocks * 1024));
    Term.batchEnd();
    Start.Tmp2File = "/dev/full";

    const TransferResult result = run(true);
    EXPECT_EQ(result.ErrorNo, 12);
    const QByteArray sent = wire();
    EXPECT_TRUE(sent.endsWith(CanCan)) << sent.toHex().toStdString();
    // Header ACK, then fewer block ACKs than blocks: the failure did not wait for the EOT.
    EXPECT_LT(sent.count('\x06'), 1 + Blocks);
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD"));
}

} // namespace
