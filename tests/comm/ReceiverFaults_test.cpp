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
const QByteArray TwoFrameData = content(1500);
const QByteArray FldAccepted = "C\x06"
                               "C\x06\x06"
                               "C"; // the FLD file taken, 'C' for the data header

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
                    BadHeaderCase{"line_break", headerFrame("A\nB.PD4", 3)},
                    BadHeaderCase{"control_byte", headerFrame("A\x01.PD4", 3)},
                    BadHeaderCase{"delete_byte", headerFrame("A\x7F.PD4", 3)},
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

// The data of a file whose last frame holds the bytes that end a file, EOT and 0xB0.
QByteArray withEndBytes(int size)
{
    QByteArray data = content(size);
    for (qsizetype at = 1024; at < data.size(); at += 7)
        data[at] = at % 2 == 0 ? comm::EOT : comm::EOT_ALT;
    return data;
}

struct LostFrameAckCase {
    const char *what;
    bool recordData;
    bool resendOnNak; // the terminal waits for our NAK before it sends the frame again
};

void PrintTo(const LostFrameAckCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverLostLastFrameAck : public ReceiverTest, public testing::WithParamInterface<LostFrameAckCase> {};

TEST_P(ReceiverLostLastFrameAck, TheLastFrameAgainIsAcknowledgedAndStoredOnce)
{
    const LostFrameAckCase &c = GetParam();
    // 200 records of 7 bytes and CR LF, or a program of the same size: two frames either way.
    QByteArray data;
    if (c.recordData) {
        for (int i = 0; i < 200; ++i)
            data += QByteArray::number(1000 + i) + "\x04\xB0\x04\r\n";
        Term.file("DATA.FLD", fldText("DATA.DAT", data.size(), 200, "4 1 2"));
        putInbox("DATA.DAT", "OLD0000\r\n");
        Start.WriteMode = 1;
    } else {
        data = withEndBytes(1800);
    }
    const QByteArray name = c.recordData ? "DATA.DAT" : "A.PD4";
    const QList<QByteArray> frames = Terminal::framesOf(data);
    ASSERT_EQ(frames.size(), 2);
    Term.on(comm::CRC_C, headerFrame(name, data.size()));
    Term.on(comm::ACK);
    Term.on(comm::CRC_C, frames[0]);
    Term.on(comm::ACK, frames[1]);
    // Our ACK of the last frame is lost.
    if (c.resendOnNak) {
        Term.on(comm::ACK);
        Term.on(comm::NAK, frames[1]);
    } else {
        Term.on(comm::ACK, frames[1], 1000);
    }
    Term.on(comm::ACK, QByteArray(1, comm::EOT));
    Term.on(comm::ACK);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile(QString::fromLatin1(name)), c.recordData ? "OLD0000\r\n" + data : data);
    EXPECT_EQ(countOf(wire(), comm::NAK), c.resendOnNak ? 1 : 0);
    EXPECT_EQ(countOf(wire(), comm::CAN), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReceiverLostLastFrameAck,
                         testing::Values(LostFrameAckCase{"binary", false, false},
                                         LostFrameAckCase{"binary_after_our_nak", false, true},
                                         LostFrameAckCase{"record_data_appended", true, false}),
                         [](const testing::TestParamInfo<LostFrameAckCase> &info) {
                             return std::string(info.param.what);
                         });

struct LostEotAckCase {
    const char *what;
    std::function<void(Terminal &)> script; // the batch, with the EOT whose ACK is lost marked
    const char *target;
    QByteArray stored;
};

void PrintTo(const LostEotAckCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverLostEotAck : public ReceiverTest, public testing::WithParamInterface<LostEotAckCase> {};

// One file whose EOT the terminal sends again: it missed our ACK and, deaf to our 'C', repeats the
// EOT after a wait of its own.
void fileWithLostEotAck(Terminal &t, const QByteArray &name, const QByteArray &data, char eot = comm::EOT)
{
    t.file(name, data, eot);
    t.steps.pop_back(); // the ACK of the EOT
    t.on(comm::ACK);
    t.on(comm::CRC_C, QByteArray(1, eot), 2500);
    t.on(comm::ACK);
}

TEST_P(ReceiverLostEotAck, TheEotAgainIsAcknowledgedAndNothingIsStoredTwice)
{
    const LostEotAckCase &c = GetParam();
    putInbox("DATA.DAT", "OLD0000\r\n");
    c.script(Term);
    Term.batchEnd();
    Start.WriteMode = 1;
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(result.RcvFileName, QString::fromLatin1(c.target));
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile(QString::fromLatin1(c.target)), c.stored);
    EXPECT_EQ(countOf(wire(), comm::CAN), 0);
    EXPECT_EQ(logText().count("\r\n"), 1) << logText().toStdString();
}

const QByteArray TwoRecords = "ABCD123\r\nEFGH456\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, ReceiverLostEotAck,
    testing::Values(
        LostEotAckCase{"binary", [](Terminal &t) { fileWithLostEotAck(t, "A.PD4", TwoFrameData); }, "A.PD4",
                       TwoFrameData},
        LostEotAckCase{"binary_ended_by_b0",
                       [](Terminal &t) { fileWithLostEotAck(t, "A.PD4", TwoFrameData, comm::EOT_ALT); },
                       "A.PD4", TwoFrameData},
        LostEotAckCase{"record_data_appended",
                       [](Terminal &t) {
                           t.file("DATA.FLD", fldText("DATA.DAT", TwoRecords.size(), 2, "4 1 2"));
                           fileWithLostEotAck(t, "DATA.DAT", TwoRecords);
                       },
                       "DATA.DAT", "OLD0000\r\n" + TwoRecords},
        LostEotAckCase{"field_definition",
                       [](Terminal &t) {
                           fileWithLostEotAck(t, "DATA.FLD",
                                              fldText("DATA.DAT", TwoRecords.size(), 2, "4 1 2"));
                           t.file("DATA.DAT", TwoRecords);
                       },
                       "DATA.DAT", "OLD0000\r\n" + TwoRecords}),
    [](const testing::TestParamInfo<LostEotAckCase> &info) { return std::string(info.param.what); });

// A header of 2000 bytes, one frame of 1024, then the EOT.
void shortFile(Terminal &t)
{
    t.on(comm::CRC_C, headerFrame("A.PD4", 2000));
    t.on(comm::ACK);
    t.on(comm::CRC_C, dataFrame(1, content(1024)));
    t.on(comm::ACK, QByteArray(1, comm::EOT));
}

struct ShortFileCase {
    const char *what;
    std::function<void(Terminal &)> script; // a file that ends before its announced size
};

void PrintTo(const ShortFileCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverShortFile : public ReceiverTest, public testing::WithParamInterface<ShortFileCase> {};

TEST_P(ReceiverShortFile, IsDroppedAndTheTransferFails)
{
    putInbox("A.PD4", "OLD");
    GetParam().script(Term);
    Term.batchEnd();
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 16);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_TRUE(wire().endsWith(CanCan)) << wire().toHex().toStdString();
    EXPECT_EQ(inboxNames(), QStringList({"A.PD4"}));
    EXPECT_EQ(inboxFile("A.PD4"), QByteArray("OLD"));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信  受信データエラー"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReceiverShortFile,
                         testing::Values(ShortFileCase{"eot_before_the_first_frame",
                                                       [](Terminal &t) {
                                                           t.on(comm::CRC_C, headerFrame("A.PD4", 3));
                                                           t.on(comm::ACK);
                                                           // 0xB0 ends no file before its data: it is
                                                           // skipped.
                                                           t.on(comm::CRC_C, bytes({0xB0, comm::EOT}));
                                                       }},
                                         ShortFileCase{"eot_after_part_of_the_data", shortFile}),
                         [](const testing::TestParamInfo<ShortFileCase> &info) {
                             return std::string(info.param.what);
                         });

TEST_F(ReceiverTest, SilenceBeforeTheNextHeaderEndsOneBatch)
{
    Term.file("A.PD4", "AAA");
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 13);
    EXPECT_EQ(result.RcvFileName, QString());
    EXPECT_TRUE(wire().endsWith(CanCan));
    // The invitation after the file, then one for each of nine time-outs: the first after 1 s,
    // the others after 3 s as in every other state.
    const std::vector<qint64> cs = timesOf(comm::CRC_C);
    ASSERT_EQ(cs.size(), 3u + 9u);
    const std::vector<qint64> between = gaps(std::vector<qint64>(cs.begin() + 2, cs.end()));
    EXPECT_EQ(between.front(), 1000 + PaceMs);
    EXPECT_THAT(std::vector<qint64>(between.begin() + 1, between.end()), Each(3000 + PaceMs));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信  タイムアウト"));
}

TEST_F(ReceiverTest, SilenceBeforeTheNextBatchIsInvitedWithoutLimit)
{
    Term.file("A.PD4", "AAA");
    for (int i = 0; i < 60; ++i)
        Term.on(comm::CRC_C);
    Start.RcvMode = 1;

    const TransferResult result = run(true);
    EXPECT_EQ(result.ErrorNo, 1);
    EXPECT_EQ(countOf(wire(), comm::CAN), 0);
    const std::vector<qint64> cs = timesOf(comm::CRC_C);
    ASSERT_GT(cs.size(), 60u);
    const std::vector<qint64> between = gaps(std::vector<qint64>(cs.begin() + 3, cs.end()));
    EXPECT_THAT(between, Each(1000 + PaceMs));
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

struct FailedFileCase {
    const char *what;
    std::function<void(Terminal &)> script; // a file that fails
};

void PrintTo(const FailedFileCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverContinuous : public ReceiverTest, public testing::WithParamInterface<FailedFileCase> {};

TEST_P(ReceiverContinuous, GoesOnAfterAFailedFile)
{
    GetParam().script(Term);
    Term.file("B.PD4", "BBB");
    Term.batchEnd();
    Start.RcvMode = 1;

    run(true);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxNames(), QStringList({"B.PD4"}));
}

INSTANTIATE_TEST_SUITE_P(Failures, ReceiverContinuous,
                         testing::Values(FailedFileCase{"interruption",
                                                        [](Terminal &t) {
                                                            t.on(comm::CRC_C, headerFrame("A.PD4", 1500));
                                                            t.on(comm::ACK);
                                                            t.on(comm::CRC_C, QByteArray(1, comm::CAN));
                                                        }},
                                         FailedFileCase{"short_file", shortFile}),
                         [](const testing::TestParamInfo<FailedFileCase> &info) {
                             return std::string(info.param.what);
                         });

struct InvalidFldCase {
    const char *what;
    QByteArray text;
    qint64 dataSize = 0; // a data header follows with this size, which the text contradicts
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
    if (GetParam().dataSize > 0)
        Term.on(comm::CRC_C, headerFrame("DATA.DAT", GetParam().dataSize));
    Start.LogFlag = true;

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 15);
    EXPECT_EQ(result.FieldList, QString());
    EXPECT_TRUE(wire().endsWith(CanCan));
    if (GetParam().dataSize > 0) {
        EXPECT_EQ(wire(), FldAccepted + CanCan); // the data header is not acknowledged
    }
    EXPECT_EQ(inboxNames(), QStringList({"DATA.DAT"}));
    EXPECT_EQ(inboxFile("DATA.DAT"), QByteArray("OLD"));
    EXPECT_THAT(platform::cp932::decode(logText()).toStdString(), HasSubstr("受信ﾌｨｰﾙﾄﾞﾃﾞｰﾀｴﾗｰ"));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReceiverInvalidFld,
    testing::Values(
        InvalidFldCase{"record_longer_than_on_the_wire", fldText("DATA.DAT", 1000, 100, "4 1 2")},
        InvalidFldCase{"size_not_a_multiple", fldText("DATA.DAT", 100, 11, "4 1 2")},
        InvalidFldCase{"no_file", fldText("", 900, 100, "4 1 2")},
        InvalidFldCase{"size_past_32_bits", fldText("DATA.DAT", 4294967296LL * 9, 4294967296LL, "4 1 2")},
        InvalidFldCase{"more_than_256_widths", fldText("DATA.DAT", 259 * 3, 3, manyWidths(257))},
        // Valid texts, but the data file's header announces another size.
        InvalidFldCase{"more_records_than_the_file", fldText("DATA.DAT", 1800, 200, "4 1 2"), 900},
        InvalidFldCase{"fewer_records_than_the_file", fldText("DATA.DAT", 450, 50, "4 1 2"), 900}),
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

TEST_F(ReceiverTest, DataInALaterBatchNeedsItsOwnFieldDefinition)
{
    // Continuous receive in append mode: the second batch brings the data file alone.
    putInbox("DATA.DAT", "OLD0000\r\n");
    Term.file("DATA.FLD", fldText("DATA.DAT", 9, 1, "4 1 2"));
    Term.file("DATA.DAT", "ONE1111\r\n");
    Term.batchEnd();
    const QByteArray four = "TWO2222\r\nTRE3333\r\nFOR4444\r\nFIV5555\r\n";
    Term.on(comm::CRC_C, headerFrame("DATA.DAT", four.size()));
    Term.on(comm::NAK, QByteArray(1, comm::CAN)); // the terminal gives up
    Start.RcvMode = 1;
    Start.WriteMode = 1;

    run(true);
    EXPECT_TRUE(Term.steps.empty());
    EXPECT_EQ(inboxFile("DATA.DAT"), QByteArray("OLD0000\r\nONE1111\r\n"));
    EXPECT_EQ(countOf(wire(), comm::NAK), 1);
}

TEST_F(ReceiverTest, NothingBeyondTheHeadersSizeIsStored)
{
    // A data file named like a picture takes its field definition's count without the size check;
    // the header's size still bounds what is stored.
    QByteArray data;
    QByteArray stored;
    for (int i = 0; i < 100; ++i) {
        const QByteArray record = QByteArray::number(1000000 + i) + "\r\n";
        data += record;
        stored += record + "\r\n";
    }
    Term.file("A.FLD", fldText("A.BMP.DAT", data.size(), 200, "9"));
    Term.file("A.BMP.DAT", data);
    Term.batchEnd();

    const TransferResult result = run();
    EXPECT_EQ(result.ErrorNo, 0);
    EXPECT_EQ(inboxFile("A.BMP.DAT"), stored);
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

// the FLD file taken, 'C' for the data header

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
