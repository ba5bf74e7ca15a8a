#include "YmThread.h"

#include "comm/YmFrames.h"

#include <algorithm>

namespace {

constexpr int OutputQueueSize = 1040;
constexpr int RoomChecks = 100;
constexpr int LongestReadWaitMs = 50;

} // namespace

int TYmThread::ReadWaitMs()
{
    // Wake up when the current time-out falls due, so time-outs fire at their real value, but often
    // enough to see stop requests.
    const quint32 elapsed = TickNow() - tw;
    const qint64 remaining = elapsed < Tmr ? static_cast<qint64>(Tmr - elapsed) : 0;
    return static_cast<int>(std::clamp<qint64>(remaining, 1, LongestReadWaitMs));
}

int TYmThread::ComRead()
{
    const auto fail = [this] {
        Port.clearError();
        ErrorNo = 17;
        WriteLog(17);
        EndProg = true;
        throw ECommReadWriteError(ECommReadWriteError::ReadError);
    };
    // What waits is taken at once; only an empty port is waited for.
    qint64 got = Port.read(RxBuf.data(), BufSize - 1);
    if (got == 0 && Port.waitForInput(ReadWaitMs()))
        got = Port.read(RxBuf.data(), BufSize - 1);
    if (got < 0)
        fail();
    return static_cast<int>(got);
}

void TYmThread::ComWrite(const char *data, qint64 count)
{
    const auto fail = [this] {
        Port.clearError();
        ErrorNo = 18;
        WriteLog(18);
        EndProg = true;
        throw ECommReadWriteError(ECommReadWriteError::WriteError);
    };
    platform::PortQueueStatus status;
    if (!Port.queueStatus(status))
        fail();
    // A queue that stays full is no failure: the write is tried all the same.
    for (int i = 0; i < RoomChecks && OutputQueueSize - status.outQueue < count; ++i) {
        SleepMs(1);
        if (!Port.queueStatus(status))
            fail();
    }
    SleepMs(10); // paces the frames for the terminal
    if (!Port.write(data, count))
        fail();
    tw = TickNow();
}

void TYmThread::ComWriteByte(char byte)
{
    ComWrite(&byte, 1);
}

void TYmThread::SendCanCan()
{
    ComWriteByte(comm::CAN);
    SleepMs(100);
    ComWriteByte(comm::CAN);
}

void TYmThread::MakeCrcTable()
{
    crctable = comm::makeCrcTable();
}

quint16 TYmThread::CalcCrc16(const char *data, qint64 length) const
{
    return comm::calcCrc16(crctable, data, length);
}
