#include "FakeClock.h"
#include "FakeProgress.h"
#include "FakeSerialPort.h"
#include "SenderTerminal.h"
#include "comm/YmFrames.h"
#include "comm/YmThread.h"
#include "platform/Cp932.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <future>
#include <gtest/gtest.h>

using namespace commtest;

namespace {

class ThreadTest : public testing::Test {
protected:
    QString path(const QString &name) { return QDir(testsupport::caseFolder()).filePath(name); }
    TransferStart receiveStart(int rcvMode)
    {
        TransferStart s;
        s.TxFlag = false;
        s.RxFolder = testsupport::caseFolder() + "/";
        s.RcvMode = rcvMode;
        s.LogFlag = true;
        s.LogFile = path("rx.log");
        s.Tmp1File = path("corltmp1.tmp");
        s.Tmp2File = path("corltmp2.tmp");
        return s;
    }
    QByteArray log()
    {
        QFile f(path("rx.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    FakeClock clock;
    FakeSerialPort port{clock};
    FakeProgress progress;
    RecordingUi ui;
};

TEST_F(ThreadTest, StopOrEndWhileWaitingForTheFirstHeader)
{
    struct Case {
        const char *what;
        int rcvMode;
        bool end;
    };
    for (const Case c : {Case{"stop, one batch", 0, false}, Case{"stop, continuous", 1, false},
                         Case{"end, one batch", 0, true}}) {
        SCOPED_TRACE(c.what);
        port.reset();
        QFile::remove(path("rx.log"));
        TYmThread t(port, clock, progress, receiveStart(c.rcvMode));
        int invitations = 0;
        port.setPeer([&](FakeSerialPort &, const QByteArray &w) {
            if (w == "C" && ++invitations == 3)
                c.end ? t.EndCom() : t.StopCom();
        });
        t.Execute();
        EXPECT_EQ(t.result().ErrorNo, 1);
        EXPECT_EQ(t.result().RcvFileName, QString());
        EXPECT_EQ(invitations, 3);
        EXPECT_EQ(port.written(), QByteArray("CCC")); // no CAN
        // Only the end of a continuous receive is logged: it has no other end.
        if (c.rcvMode == 1 && !c.end) {
            EXPECT_EQ(log().count("\r\n"), 1);
            EXPECT_TRUE(log().endsWith(platform::cp932::encode(QStringLiteral("受信  取消")) +
                                       QByteArray(26, ' ') + "\r\n"))
                << log().toStdString();
        } else {
            EXPECT_EQ(log(), QByteArray());
        }
        // The receiver invites once a second while it waits.
        ASSERT_EQ(port.writes().size(), 3u);
        EXPECT_GE(port.writes()[2].at - port.writes()[1].at, 1000);
        EXPECT_LE(port.writes()[2].at - port.writes()[1].at, 1020);
    }
    EXPECT_EQ(progress.Labels.front(), QStringLiteral("受信待ち"));
    EXPECT_EQ(progress.StopCaptions.front(), QStringLiteral("終了"));
}

TEST_F(ThreadTest, WorkerThreadTakesAStopFromAnotherThread)
{
    QFile f(path("big.pd4"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8000, 'w'));
    f.close();
    TransferStart s;
    s.TxFlag = true;
    s.TxFName = path("big.pd4");
    s.BhtFName = QStringLiteral("BIG.PD4");

    SenderTerminal terminal(port);
    std::promise<void> reached;
    std::promise<void> resume;
    int blocks = 0;
    terminal.setRule([&](const SenderTerminal &, const QByteArray &w) {
        if (w.size() == comm::LongFrame && ++blocks == 2) {
            reached.set_value();
            resume.get_future().wait();
        }
        return SenderTerminal::Answer::Normal;
    });
    terminal.invite();

    TYmThread t(port, clock, progress, s);
    t.start();
    reached.get_future().wait();
    t.StopCom();
    resume.set_value();
    t.wait();
    EXPECT_EQ(t.result().ErrorNo, 2);
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(progress.Finishes, 1);
    EXPECT_EQ(port.writes().back().bytes, QByteArray(1, comm::CAN));
}

} // namespace
