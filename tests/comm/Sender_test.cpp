#include "FakeClock.h"
#include "FakeProgress.h"
#include "FakeSerialPort.h"
#include "SenderTerminal.h"
#include "YmThreadTestPeer.h"
#include "comm/YmFld.h"
#include "comm/YmFrames.h"
#include "comm/YmThread.h"
#include "platform/Cp932.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace commtest;
using Answer = SenderTerminal::Answer;

namespace {

const QByteArray Can(1, comm::CAN);

class SenderTest : public testing::Test {
protected:
    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = QDir(testsupport::caseFolder()).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(content), content.size());
        return path;
    }
    TransferStart sendStart(const QString &path, const QString &bhtName, const QByteArray &fields = {})
    {
        TransferStart s;
        s.TxFlag = true;
        s.TxFName = path;
        s.BhtFName = bhtName;
        s.FieldsDat = fields;
        s.LogFlag = true;
        s.LogFile = QDir(testsupport::caseFolder()).filePath(QStringLiteral("CRLCOM1_2026_12.log"));
        return s;
    }
    TransferResult run(const TransferStart &start)
    {
        TYmThread thread(port, clock, progress, start);
        current = &thread;
        thread.Execute();
        current = nullptr;
        return thread.result();
    }
    QByteArray log()
    {
        QFile f(QDir(testsupport::caseFolder()).filePath(QStringLiteral("CRLCOM1_2026_12.log")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList logCodes()
    {
        QStringList codes;
        for (const QByteArray &line : log().split('\n')) {
            if (line.size() > 47)
                codes << platform::cp932::decode(line.mid(47)).trimmed();
        }
        return codes;
    }
    // Times of the writes of exactly these bytes.
    std::vector<qint64> writeTimes(const QByteArray &bytes)
    {
        std::vector<qint64> at;
        for (const auto &w : port.writes()) {
            if (w.bytes == bytes)
                at.push_back(w.at);
        }
        return at;
    }

    FakeClock clock;
    FakeSerialPort port{clock};
    FakeProgress progress;
    RecordingUi ui;
    SenderTerminal terminal{port};
    TYmThread *current = nullptr;
};

TEST_F(SenderTest, BinaryFilesOfBlockEdgeSizes)
{
    struct Case {
        qint64 size;
        int frames;
    };
    // 300000 bytes take 293 blocks: block numbers run past 255.
    for (const Case c : {Case{1, 1}, Case{1024, 1}, Case{1025, 2}, Case{300000, 293}}) {
        SCOPED_TRACE(c.size);
        QByteArray content(c.size, '\0');
        for (qint64 i = 0; i < c.size; ++i)
            content[i] = static_cast<char>((i * 7 + 3) % 251);
        SenderTerminal t(port);
        t.invite();
        const TransferResult result = run(sendStart(writeFile("prg.bin", content), "PRG.PD4", "4,1,2"));
        EXPECT_EQ(result.ErrorNo, 0);
        EXPECT_EQ(result.RcvFileName, QString());
        ASSERT_EQ(t.files().size(), 1u);
        EXPECT_EQ(t.files()[0].name, QByteArray("PRG.PD4"));
        EXPECT_EQ(t.files()[0].size, c.size);
        const QByteArray &got = t.files()[0].data;
        ASSERT_EQ(got.size(), c.frames * 1024);
        EXPECT_EQ(got.left(c.size), content);
        EXPECT_EQ(got.mid(c.size), QByteArray(got.size() - c.size, '\0'));
        EXPECT_TRUE(t.batchEnded());
        EXPECT_EQ(t.eots(), 1);
        EXPECT_EQ(t.cans(), 0);
        // Header, data frames, null header; all STX data frames numbered from 1 modulo 256.
        ASSERT_EQ(t.frames().size(), static_cast<size_t>(c.frames + 2));
        for (int i = 1; i <= c.frames; ++i) {
            EXPECT_EQ(t.frames()[i].lead, comm::STX);
            EXPECT_EQ(t.frames()[i].block, static_cast<quint8>(i));
            EXPECT_TRUE(t.frames()[i].crcGood);
        }
        port.reset();
    }
}

TEST_F(SenderTest, BinarySendShowsItsStepsAndLogsTheSize)
{
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("a.pd4", QByteArray(1234, 'x')), "PRG.PD4")).ErrorNo, 0);
    EXPECT_EQ(progress.Labels, (QStringList{"送信", "PRG.PD4 ﾌﾟﾛｸﾞﾗﾑ送信", "PRG.PD4 送信開始",
                                            "PRG.PD4 送信中", "PRG.PD4 送信終了"}));
    EXPECT_EQ(progress.StopCaption, QStringLiteral("中断"));
    EXPECT_EQ(progress.GaugeMaximum, 2);
    EXPECT_EQ(progress.GaugePosition, 2);
    EXPECT_EQ(progress.Hides, 1);
    EXPECT_EQ(progress.Finishes, 1);
    const QByteArray line = log();
    EXPECT_EQ(line.mid(15), "PRG.PD4       " + platform::cp932::encode(u"1234ﾊﾞｲﾄ    送信  正常終了") +
                                QByteArray(22, ' ') + "\r\n");
    EXPECT_EQ(line.left(15), QByteArray("12/10 09:05:07 "));
    EXPECT_TRUE(ui.Boxes.empty());
}

TEST_F(SenderTest, BinaryClassesGoWithoutFieldDefinition)
{
    // No field list is given, as the library sends these files.
    const struct {
        const char *name;
        const char *label;
    } cases[] = {
        {"A.ZIP", "A.ZIP ZIPﾌｧｲﾙ送信"}, {"A.EX3", "A.EX3 ﾌﾟﾛｸﾞﾗﾑ送信"}, {"A.FN4", "A.FN4 ﾌﾟﾛｸﾞﾗﾑ送信"},
        {"A.PD3", "A.PD3 ﾌﾟﾛｸﾞﾗﾑ送信"}, {"A.LCS", "A.LCS LCSﾌｧｲﾙ送信"}, {"A.WAV", "A.WAV WAVﾌｧｲﾙ送信"},
    };
    const QByteArray content(1500, '\x5A');
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SenderTerminal t(port);
        t.invite();
        EXPECT_EQ(run(sendStart(writeFile("archive.bin", content), QString::fromLatin1(c.name))).ErrorNo, 0);
        ASSERT_EQ(t.files().size(), 1u);
        EXPECT_EQ(t.files()[0].name, QByteArray(c.name));
        EXPECT_EQ(t.files()[0].size, content.size());
        EXPECT_EQ(t.files()[0].data.left(content.size()), content);
        EXPECT_TRUE(t.batchEnded());
        EXPECT_TRUE(progress.Labels.contains(QString::fromUtf8(c.label)))
            << progress.Labels.join('|').toStdString();
        port.reset();
    }
}

TEST_F(SenderTest, RecordDataGoesAfterItsFldText)
{
    const QByteArray records = "ABCDEFG\r\nHIJKLMN\r\nOPQRSTU\r\n";
    terminal.invite();
    const TransferResult result = run(sendStart(writeFile("master.dat", records), "MASTER.DAT", "4,1,2"));
    EXPECT_EQ(result.ErrorNo, 0);
    ASSERT_EQ(terminal.files().size(), 2u);
    EXPECT_EQ(terminal.files()[0].name, QByteArray("MASTER.FLD"));
    const QByteArray fld = comm::buildFldText("MASTER.DAT", 27, 3, "4 1 2", 3);
    EXPECT_EQ(terminal.files()[0].size, fld.size());
    EXPECT_EQ(terminal.files()[0].data, fld + QByteArray(128 - fld.size(), '\0'));
    EXPECT_EQ(terminal.frames()[1].lead, comm::SOH);
    EXPECT_EQ(terminal.files()[1].name, QByteArray("MASTER.DAT"));
    EXPECT_EQ(terminal.files()[1].size, 27);
    EXPECT_EQ(terminal.files()[1].data.left(27), records);
    EXPECT_EQ(terminal.eots(), 2);
    EXPECT_TRUE(terminal.batchEnded());
    // The log counts records for record data.
    EXPECT_EQ(log().mid(29, 12), platform::cp932::encode(u"3件") + QByteArray(9, ' '));

    // What the terminal got passes the receiver's own check of the text.
    comm::FldLayout layout;
    EXPECT_TRUE(comm::checkFldText(fld, layout));
}

TEST_F(SenderTest, RecordCountOfAFileWithAPartialRecord)
{
    // 100 bytes of 9-byte lines: 11 records, the last one 1 byte over.
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("d.dat", QByteArray(100, 'x')), "D.DAT", "4,1,2")).ErrorNo, 0);
    ASSERT_EQ(terminal.files().size(), 2u);
    EXPECT_EQ(terminal.files()[0].data.left(terminal.files()[0].size),
              comm::buildFldText("D.DAT", 100, 11, "4 1 2", 3));
}

TEST_F(SenderTest, CsvLinesBecomeFixedRecords)
{
    terminal.invite();
    TransferStart start = sendStart(writeFile("m.csv", "A,B\r\n\"CC\",DDD\nE"), "M.CSV", "3,2");
    start.DblQuotFlg = true;
    EXPECT_EQ(run(start).ErrorNo, 0);
    ASSERT_EQ(terminal.files().size(), 2u);
    EXPECT_EQ(terminal.files()[0].data.left(terminal.files()[0].size),
              comm::buildFldText("M.CSV", 21, 3, "3 2", 2));
    EXPECT_EQ(terminal.files()[1].size, 21);
    EXPECT_EQ(terminal.files()[1].data.left(22), QByteArray("A  B \r\nCC DD\r\nE    \r\n\0", 22));
}

TEST_F(SenderTest, CsvOfManyLinesFillsWholeBlocks)
{
    QByteArray csv;
    QByteArray expected;
    for (int i = 0; i < 500; ++i) {
        csv += QByteArray::number(i) + ",x\n";
        expected += QByteArray::number(i).leftJustified(5, ' ') + "x\r\n";
    }
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("n.csv", csv), "N.CSV", "5,1")).ErrorNo, 0);
    ASSERT_EQ(terminal.files().size(), 2u);
    EXPECT_EQ(terminal.files()[1].size, 4000);
    EXPECT_EQ(terminal.files()[1].data.size(), 4 * 1024);
    EXPECT_EQ(terminal.files()[1].data.left(4000), expected);
}

TEST_F(SenderTest, BnfSendHasItsOwnLabels)
{
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("t.bnf", QByteArray(500, 'b') + "\r\n"), "CNF800.BNF", "500")).ErrorNo,
              0);
    EXPECT_EQ(progress.Labels, (QStringList{"送信", "業務設定 送信", "業務設定 送信開始", "業務設定 送信中",
                                            "業務設定 送信開始", "業務設定 送信中", "業務設定 送信終了"}));
    ASSERT_EQ(terminal.files().size(), 2u);
    EXPECT_EQ(terminal.files()[0].name, QByteArray("CNF800.FLD"));
}

TEST_F(SenderTest, FldTextBlocksBySize)
{
    struct Case {
        int length;
        std::vector<std::pair<char, int>> frames; // lead byte and data bytes of the text in each
    };
    const std::vector<Case> cases = {
        {128, {{comm::SOH, 128}}},
        {129, {{comm::STX, 129}}},
        {1024, {{comm::STX, 1024}}},
        {1025, {{comm::STX, 1024}, {comm::SOH, 1}}},
        {2100, {{comm::STX, 1024}, {comm::STX, 1024}, {comm::SOH, 52}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        TYmThread t(port, clock, progress, TransferStart{});
        YmThreadTestPeer::MakeCrcTable(t);
        QByteArray text(c.length, 'f');
        YmThreadTestPeer::fieldsDat(t) = text;
        int offset = 0;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            YmThreadTestPeer::SetFldBlock(t);
            const QByteArray frame = YmThreadTestPeer::txFrame(t);
            const int dataSize = c.frames[i].first == comm::STX ? 1024 : 128;
            ASSERT_EQ(frame.size(), dataSize + 5);
            EXPECT_EQ(frame[0], c.frames[i].first);
            EXPECT_EQ(static_cast<quint8>(frame[1]), i + 1);
            const int used = c.frames[i].second;
            EXPECT_EQ(frame.mid(3, used), text.mid(offset, used));
            EXPECT_EQ(frame.mid(3 + used, dataSize - used), QByteArray(dataSize - used, '\0'));
            offset += used;
        }
        EXPECT_TRUE(YmThreadTestPeer::fieldsDat(t).isEmpty());
    }
}

TEST_F(SenderTest, PreparationFailuresSendNothing)
{
    struct Case {
        const char *what;
        QString path;
        QString bhtName;
        QByteArray fields;
        int code;
        const char16_t *logText;
    };
    const QString dir = testsupport::caseFolder();
    const std::vector<Case> cases = {
        {"missing file", dir + "/none.dat", "NONE.DAT", "4", 6, u"送信ファイルが無い"},
        {"width 0", writeFile("a.dat", "x"), "A.DAT", "4,0", 7, u"想定外のエラー"},
        {"width 8193", writeFile("a.dat", "x"), "A.DAT", "8193", 7, u"想定外のエラー"},
        {"no field list", writeFile("a.dat", "x"), "A.DAT", "", 7, u"想定外のエラー"},
        {"empty data file", writeFile("e.dat", ""), "E.DAT", "4", 9, u"想定外のエラー"},
        {"empty csv file", writeFile("e.csv", ""), "E.CSV", "4", 9, u"想定外のエラー"},
        {"empty binary file", writeFile("e.pd4", ""), "E.PD4", "", 9, u"想定外のエラー"},
        {"a folder", dir, "F.PD4", "", 12, u"ファイルアクセスエラー"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(QDir(dir).filePath("CRLCOM1_2026_12.log"));
        EXPECT_EQ(run(sendStart(c.path, c.bhtName, c.fields)).ErrorNo, c.code);
        EXPECT_EQ(port.writes().size(), 0u);
        EXPECT_EQ(logCodes(), QStringList{QString::fromUtf16(c.logText)});
    }
}

TEST_F(SenderTest, NoFirstInvitationTimesOutAfterSixtySeconds)
{
    EXPECT_EQ(run(sendStart(writeFile("d.dat", "ABCDEFG\r\n"), "D.DAT", "4,1,2")).ErrorNo, 13);
    ASSERT_EQ(port.writes().size(), 2u);
    EXPECT_EQ(port.written(), QByteArray(2, comm::CAN));
    const qint64 first = port.writes()[0].at;
    EXPECT_GE(first, 60000);
    EXPECT_LE(first, 60000 + 20);
    EXPECT_EQ(port.writes()[1].at - first, 110); // 100 ms apart, plus the pause before every write
    EXPECT_EQ(logCodes(), QStringList{"タイムアウト"});
}

TEST_F(SenderTest, TimeOutsAcrossTheTickWrap)
{
    FakeClock wrapping(0xFFFFFFFFu - 30000);
    FakeSerialPort wrapPort(wrapping);
    TYmThread t(wrapPort, wrapping, progress, sendStart(writeFile("d.dat", "ABCDEFG\r\n"), "D.DAT", "7"));
    t.Execute();
    EXPECT_EQ(t.result().ErrorNo, 13);
    ASSERT_FALSE(wrapPort.writes().empty());
    EXPECT_GE(wrapPort.writes()[0].at, 60000);
    EXPECT_LE(wrapPort.writes()[0].at, 60020);
}

TEST_F(SenderTest, SilentTerminalAfterTheHeaderGetsNineResends)
{
    // The header is never answered: it goes again every 3000 ms, and the tenth time-out ends it.
    terminal.setRule([](const SenderTerminal &, const QByteArray &w) {
        return w.size() == comm::ShortFrame ? Answer::Silent : Answer::Normal;
    });
    terminal.invite(1000);
    EXPECT_EQ(run(sendStart(writeFile("p.pd4", "x"), "P.PD4")).ErrorNo, 13);
    const QByteArray header = port.writes()[0].bytes;
    const std::vector<qint64> at = writeTimes(header);
    ASSERT_EQ(at.size(), 10u);
    for (size_t i = 1; i < at.size(); ++i) {
        EXPECT_GE(at[i] - at[i - 1], 3000 + 10) << i;
        EXPECT_LE(at[i] - at[i - 1], 3000 + 20) << i;
    }
    EXPECT_EQ(writeTimes(Can).size(), 2u);
    EXPECT_GE(writeTimes(Can)[0] - at.back(), 3000);
    EXPECT_EQ(logCodes(), QStringList{"タイムアウト"});
}

TEST_F(SenderTest, BinaryWithoutInvitationResendsItsHeaderAfterSixtySeconds)
{
    port.setPeer(nullptr); // a terminal that never answers
    EXPECT_EQ(run(sendStart(writeFile("p.pd4", "x"), "P.PD4")).ErrorNo, 13);
    ASSERT_EQ(port.writes().size(), 9u + 2u);
    EXPECT_GE(port.writes()[0].at, 60000);
    EXPECT_LE(port.writes()[0].at, 60020);
    EXPECT_EQ(port.writes()[0].bytes.size(), comm::ShortFrame);
}

TEST_F(SenderTest, TenthNakInARowEndsWithRetryError)
{
    terminal.setRule([](const SenderTerminal &t, const QByteArray &w) {
        return w.size() == comm::LongFrame && !t.files().empty() ? Answer::Nak : Answer::Normal;
    });
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("p.pd4", QByteArray(10, 'p')), "P.PD4")).ErrorNo, 14);
    const QByteArray block = terminal.frames().size() > 1 ? port.writes()[1].bytes : QByteArray();
    EXPECT_EQ(writeTimes(block).size(), 10u); // the block and nine resends
    EXPECT_EQ(writeTimes(Can).size(), 2u);
    EXPECT_EQ(logCodes(), QStringList{"リトライエラー"});
}

TEST_F(SenderTest, NaksWithProgressBetweenThemDoNotAddUp)
{
    // Every block is refused six times before it is taken: 6 × 3 blocks = 18 NAKs in all.
    int naks = 0;
    terminal.setRule([&](const SenderTerminal &, const QByteArray &w) {
        if (w.size() != comm::LongFrame)
            return Answer::Normal;
        if (naks++ % 7 < 6)
            return Answer::Nak;
        return Answer::Normal;
    });
    terminal.invite();
    const QByteArray content(3000, 'q');
    EXPECT_EQ(run(sendStart(writeFile("q.pd4", content), "Q.PD4")).ErrorNo, 0);
    ASSERT_EQ(terminal.files().size(), 1u);
    EXPECT_EQ(terminal.files()[0].data.left(3000), content);
}

TEST_F(SenderTest, LostAckIsMadeUpByAResend)
{
    // The terminal takes the first block but its ACK is lost: 3000 ms later the block comes again.
    bool dropped = false;
    terminal.setRule([&](const SenderTerminal &, const QByteArray &w) {
        if (w.size() == comm::LongFrame && !dropped) {
            dropped = true;
            return Answer::Silent;
        }
        return Answer::Normal;
    });
    terminal.invite();
    const QByteArray content(2000, 'r');
    EXPECT_EQ(run(sendStart(writeFile("r.pd4", content), "R.PD4")).ErrorNo, 0);
    const std::vector<qint64> at = writeTimes(port.writes()[1].bytes);
    ASSERT_EQ(at.size(), 2u);
    EXPECT_GE(at[1] - at[0], 3000);
    EXPECT_LE(at[1] - at[0], 3020);
}

TEST_F(SenderTest, TerminalCancelAndRefusal)
{
    struct Case {
        const char *what;
        int frameToRefuse; // index of the write that is answered
        Answer answer;
        int code;
        const char16_t *logText;
    };
    // Writes of a binary send: 0 header, 1 first block, 2 EOT, 3 null header.
    for (const Case &c : {Case{"CAN after the header", 0, Answer::Can, 2, u"中断"},
                          Case{"CAN after a block", 1, Answer::Can, 2, u"中断"},
                          Case{"CAN after the null header", 3, Answer::Can, 2, u"中断"}}) {
        SCOPED_TRACE(c.what);
        port.reset();
        SenderTerminal t(port);
        int writes = 0;
        t.setRule([&](const SenderTerminal &, const QByteArray &) {
            return writes++ == c.frameToRefuse ? c.answer : Answer::Normal;
        });
        t.invite();
        QFile::remove(QDir(testsupport::caseFolder()).filePath("CRLCOM1_2026_12.log"));
        EXPECT_EQ(run(sendStart(writeFile("c.pd4", "c"), "C.PD4")).ErrorNo, c.code);
        EXPECT_EQ(t.cans(), 0); // a CAN from the terminal is not answered with CAN
        EXPECT_EQ(logCodes(), QStringList{QString::fromUtf16(c.logText)});
    }
}

TEST_F(SenderTest, NakInPlaceOfTheInvitationForData)
{
    // The terminal acknowledges the header and then refuses the data with NAK instead of 'C'.
    port.setPeer([](FakeSerialPort &p, const QByteArray &w) {
        if (w.size() == comm::ShortFrame) {
            p.arriveAfter(5, QByteArray(1, comm::ACK));
            p.arriveAfter(6, QByteArray(1, comm::NAK));
        }
    });
    port.arriveAfter(10, "C");
    EXPECT_EQ(run(sendStart(writeFile("n.pd4", "n"), "N.PD4")).ErrorNo, 16);
    EXPECT_EQ(port.writes().size(), 1u);
    EXPECT_EQ(logCodes(), QStringList{"受信データエラー"});
}

TEST_F(SenderTest, StrayBytesBeforeTheInvitationAreSkipped)
{
    port.arriveAfter(10, QByteArray("xyz\x06", 4));
    terminal.invite(15);
    EXPECT_EQ(run(sendStart(writeFile("s.pd4", "s"), "S.PD4")).ErrorNo, 0);
    EXPECT_EQ(terminal.files().size(), 1u);
}

TEST_F(SenderTest, StopRequestDuringTheSend)
{
    int blocks = 0;
    terminal.setRule([&](const SenderTerminal &, const QByteArray &w) {
        if (w.size() == comm::LongFrame && ++blocks == 2)
            current->StopCom();
        return Answer::Normal;
    });
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("big.pd4", QByteArray(5000, 'b')), "BIG.PD4")).ErrorNo, 2);
    EXPECT_EQ(blocks, 2);
    ASSERT_GE(port.writes().size(), 2u);
    EXPECT_EQ(port.writes()[port.writes().size() - 2].bytes, Can);
    EXPECT_EQ(port.writes().back().bytes, Can);
    EXPECT_EQ(logCodes(), QStringList{"中断"});
}

TEST_F(SenderTest, EndRequestDuringTheSend)
{
    terminal.setRule([&](const SenderTerminal &, const QByteArray &w) {
        if (w.size() == comm::LongFrame)
            current->EndCom();
        return Answer::Normal;
    });
    terminal.invite();
    EXPECT_EQ(run(sendStart(writeFile("big.pd4", QByteArray(5000, 'b')), "BIG.PD4")).ErrorNo, 1);
    EXPECT_EQ(writeTimes(Can).size(), 2u);
    EXPECT_EQ(port.writes().back().bytes, Can);
    EXPECT_EQ(logCodes(), QStringList{"取消"});
}

TEST_F(SenderTest, PortFailures)
{
    struct Case {
        const char *what;
        bool failRead;
        int code;
        const char16_t *message;
        const char16_t *logText;
    };
    for (const Case &c : {Case{"write", false, 18, u"送信データ書き込みエラー", u"送信ﾊﾞｯﾌｧ書き込みｴﾗｰ"},
                          Case{"read", true, 17, u"受信データ読取エラー", u"受信ﾊﾞｯﾌｧ読み取りｴﾗｰ"}}) {
        SCOPED_TRACE(c.what);
        port.reset();
        int writes = 0;
        port.setPeer([&](FakeSerialPort &p, const QByteArray &) {
            // After the header went: the next write, or every read, fails.
            if (writes++ == 0) {
                p.arriveAfter(5, QByteArray(1, comm::ACK));
                p.arriveAfter(6, "C");
                if (c.failRead)
                    p.setReadFailure(true);
                else
                    p.failWriteAfter(1);
            }
        });
        port.arriveAfter(10, "C");
        ui.Boxes.clear();
        QFile::remove(QDir(testsupport::caseFolder()).filePath("CRLCOM1_2026_12.log"));
        EXPECT_EQ(run(sendStart(writeFile("f.pd4", "f"), "F.PD4")).ErrorNo, c.code);
        EXPECT_EQ(port.clearErrorCount(), 1);
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].text, QString::fromUtf16(c.message));
        EXPECT_EQ(ui.Boxes[0].style.icon, platform::MsgIcon::Stop);
        EXPECT_EQ(logCodes(), QStringList{QString::fromUtf16(c.logText)});
        EXPECT_EQ(progress.Finishes, 1);
        progress.Finishes = 0;
    }
}

TEST_F(SenderTest, LogFileThatCannotBeOpenedEndsWithAccessError)
{
    TransferStart start = sendStart(writeFile("l.pd4", "l"), "L.PD4");
    start.LogFile = testsupport::caseFolder() + "/no such folder/log.txt";
    terminal.invite();
    EXPECT_EQ(run(start).ErrorNo, 12);
    EXPECT_TRUE(port.writes().empty());
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].text,
              start.LogFile + QStringLiteral("\r\nの通信履歴保存ファイル作成／アクセスできません。"));
    EXPECT_EQ(ui.Boxes[0].caption, QStringLiteral("ファイル作成／アクセスエラー"));
    EXPECT_EQ(ui.Boxes[0].style.icon, platform::MsgIcon::Stop);
    EXPECT_EQ(progress.Finishes, 1);
}

TEST_F(SenderTest, NoLogWhenLoggingIsOff)
{
    TransferStart start = sendStart(writeFile("l.pd4", "l"), "L.PD4");
    start.LogFlag = false;
    terminal.invite();
    EXPECT_EQ(run(start).ErrorNo, 0);
    EXPECT_FALSE(QFile::exists(start.LogFile));
}

TEST_F(SenderTest, LogLinesAreAppended)
{
    for (int i = 0; i < 2; ++i) {
        port.reset();
        SenderTerminal t(port);
        t.invite();
        EXPECT_EQ(run(sendStart(writeFile("l.pd4", "l"), "L.PD4")).ErrorNo, 0);
    }
    EXPECT_EQ(logCodes(), (QStringList{"正常終了", "正常終了"}));
}

} // namespace
