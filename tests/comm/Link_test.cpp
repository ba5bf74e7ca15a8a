#include "FakeClock.h"
#include "FakeProgress.h"
#include "FakeSerialPort.h"
#include "YmThreadTestPeer.h"
#include "comm/YmThread.h"

#include <gtest/gtest.h>

using namespace commtest;
using P = YmThreadTestPeer;

namespace {

class LinkTest : public testing::Test {
protected:
    FakeClock clock;
    FakeSerialPort port{clock};
    FakeProgress progress;
    TYmThread thread{port, clock, progress, TransferStart{}};
};

TEST_F(LinkTest, ReadTakesAtMost2047Bytes)
{
    QByteArray waiting(3000, '\0');
    for (int i = 0; i < waiting.size(); ++i)
        waiting[i] = static_cast<char>(i % 256);
    port.arriveNow(waiting);
    ASSERT_EQ(P::ComRead(thread), 2047);
    EXPECT_EQ(QByteArray(P::rxBuf(thread).data(), 2047), waiting.left(2047));
    ASSERT_EQ(P::ComRead(thread), 953);
    EXPECT_EQ(QByteArray(P::rxBuf(thread).data(), 953), waiting.mid(2047));
    EXPECT_LE(port.largestReadRequest(), 2047);
}

TEST_F(LinkTest, ReadWaitsBoundedAndNotPastTheTimeOut)
{
    P::tw(thread) = clock.tickMs();
    P::tmr(thread) = 3000;
    EXPECT_EQ(P::ComRead(thread), 0);
    EXPECT_GT(clock.elapsed(), 0);
    EXPECT_LE(clock.elapsed(), 50);

    // A wait ends where the time-out falls due.
    clock.advanceTo(2990);
    EXPECT_EQ(P::ComRead(thread), 0);
    EXPECT_EQ(clock.elapsed(), 3000);

    // Bytes that come during the wait are read at once.
    port.arriveAt(3020, "AB");
    P::tw(thread) = clock.tickMs();
    EXPECT_EQ(P::ComRead(thread), 2);
    EXPECT_EQ(clock.elapsed(), 3020);
}

TEST_F(LinkTest, WritePausesThenStampsTheTime)
{
    P::ComWrite(thread, "frame");
    ASSERT_EQ(port.writes().size(), 1u);
    EXPECT_EQ(port.writes()[0].bytes, QByteArray("frame"));
    EXPECT_EQ(port.writes()[0].at, 10);
    EXPECT_EQ(P::tw(thread), clock.tickMs());
}

TEST_F(LinkTest, WriteWaitsForRoomButNotForEver)
{
    // 1040 - 20 leaves room for 1020 bytes: a 1029-byte frame waits, and goes all the same.
    port.setOutQueue(20);
    P::ComWrite(thread, QByteArray(1029, 'x'));
    ASSERT_EQ(port.writes().size(), 1u);
    EXPECT_EQ(port.writes()[0].at, 100 + 10);

    port.reset();
    port.setOutQueue(20);
    const qint64 before = clock.elapsed();
    P::ComWrite(thread, QByteArray(1020, 'y'));
    EXPECT_EQ(port.writes()[0].at - before, 10);
}

TEST_F(LinkTest, FailuresRaiseWithTheirCodes)
{
    port.setReadFailure(true);
    EXPECT_THROW(P::ComRead(thread), ECommReadWriteError);
    EXPECT_EQ(P::errorNo(thread), 17);
    EXPECT_TRUE(P::endProg(thread));
    EXPECT_EQ(port.clearErrorCount(), 1);

    port.setReadFailure(false);
    port.failWriteAfter(1);
    try {
        P::ComWrite(thread, "x");
        ADD_FAILURE() << "no exception";
    } catch (const ECommReadWriteError &e) {
        EXPECT_EQ(e.errorNumber(), 2);
        EXPECT_EQ(e.message(), QStringLiteral("送信データ書き込みエラー"));
    }
    EXPECT_EQ(P::errorNo(thread), 18);
    EXPECT_EQ(ECommReadWriteError(1).message(), QStringLiteral("受信データ読取エラー"));
}

TEST_F(LinkTest, MemberCrcUsesTheBuiltTable)
{
    P::MakeCrcTable(thread);
    EXPECT_EQ(P::CalcCrc16(thread, "123456789"), 0x31C3);
}

TEST_F(LinkTest, SendFieldListSetsTheLayout)
{
    EXPECT_EQ(P::SetFields(thread, "4 1 2"), 7);
    EXPECT_EQ(P::iNFields(thread), 3);
    EXPECT_EQ(P::field(thread, 0).Start, 0);
    EXPECT_EQ(P::field(thread, 1).Start, 4);
    EXPECT_EQ(P::field(thread, 2).Start, 5);
    EXPECT_EQ(P::field(thread, 2).Width, 2);
    EXPECT_EQ(P::SetFields(thread, "4 0"), 0);
    EXPECT_EQ(P::iNFields(thread), 0);
}

TEST_F(LinkTest, ReceivedFldTextSetsOrClearsTheLayout)
{
    P::sBuf(thread) = "* created by BHT\r\nfile\tD.DAT\r\nsize\t900\r\nrecords\t100\r\nfields\t4 1 2\r\n" +
                      QByteArray(40, '\0');
    ASSERT_EQ(P::ChkFldFile(thread), 1);
    EXPECT_EQ(P::chkFName(thread), QStringLiteral("D.DAT"));
    EXPECT_EQ(P::chkSize(thread), 900);
    EXPECT_EQ(P::iRecords(thread), 100);
    EXPECT_EQ(P::fieldsDat(thread), QByteArray("4 1 2"));
    EXPECT_EQ(P::iNFields(thread), 3);
    EXPECT_EQ(P::field(thread, 2).Start, 5);
    EXPECT_EQ(P::iRecSize(thread), 7);
    EXPECT_EQ(P::iRecSize0(thread), 9);

    // A refused text leaves nothing a following data file could be cut by.
    P::sBuf(thread) = "* created by BHT\r\nfile\tD.DAT\r\nsize\t1000\r\nrecords\t100\r\nfields\t4 1 2\r\n";
    EXPECT_EQ(P::ChkFldFile(thread), 0);
    EXPECT_EQ(P::chkFName(thread), QString());
    EXPECT_EQ(P::iNFields(thread), 0);
    EXPECT_EQ(P::iRecords(thread), 0);
    EXPECT_EQ(P::iRecSize0(thread), 0);
    EXPECT_EQ(P::fieldsDat(thread), QByteArray());
}

TEST_F(LinkTest, GetFldItemWalksTheCollectedText)
{
    P::sBuf(thread) = "file\tA.DAT\r\nsize\t9\r\n";
    EXPECT_EQ(P::GetFldItem(thread, "file"), QByteArray("A.DAT"));
    EXPECT_EQ(P::GetFldItem(thread, "file"), QByteArray());
    EXPECT_EQ(P::GetFldItem(thread, "size"), QByteArray("9"));
    EXPECT_EQ(P::sBuf(thread), QByteArray());
}

} // namespace
