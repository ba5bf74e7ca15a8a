#include "ReceiverHarness.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>

using namespace receivertest;

namespace {

// The text of each log line: what follows "受信  ", blanks cut.
QStringList logCodes(const QByteArray &log)
{
    QStringList codes;
    for (const QString &line : platform::cp932::decode(log).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        codes << line.section(QStringLiteral("受信  "), 1).trimmed();
    return codes;
}

// A stop in continuous receive, pressed at the nth ACK of the engine: whatever the moment, the
// receive ends, and what it had stored stays stored once.
TEST_F(ReceiverTest, StopEndsAContinuousReceiveAtAnyMoment)
{
    const struct {
        const char *moment;
        int ack; // 3: A's end acknowledged; 4: the batch end; 6: B's first frame
        int code;
        QStringList logged;
        bool cancelSent;
    } cases[] = {
        {"after a stored file", 3, 1, {"正常終了", "取消"}, false},
        {"between batches", 4, 1, {"正常終了", "取消"}, false},
        {"in the middle of a file", 6, 2, {"正常終了", "中断"}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.moment);
        Port.reset();
        Term.steps.clear();
        QFile::remove(Start.LogFile);
        for (const QString &name : inboxNames())
            QFile::remove(inboxPath(name));
        // A terminal that would go on sending: four batches, the second file three frames long.
        for (int batch = 0; batch < 2; ++batch) {
            Term.file("A.PD4", "AAA");
            Term.batchEnd();
            Term.file("B.PD4", QByteArray(3000, 'b'));
            Term.batchEnd();
        }
        Start.RcvMode = 1;
        Start.LogFlag = true;
        int acks = 0;
        qsizetype stoppedAt = -1;
        OnWrite = [&](TYmThread &thread, const QByteArray &written) {
            if (written == QByteArray(1, comm::ACK) && ++acks == c.ack) {
                thread.StopCom();
                stoppedAt = static_cast<qsizetype>(Port.writes().size());
            }
        };

        const TransferResult result = run();
        EXPECT_EQ(result.ErrorNo, c.code);
        EXPECT_EQ(result.RcvFileName, QString());
        EXPECT_EQ(logCodes(logText()), c.logged) << logText().toStdString();
        EXPECT_EQ(inboxNames(), QStringList{"A.PD4"});
        EXPECT_EQ(inboxFile("A.PD4"), QByteArray("AAA"));
        // After the stop only the cancel of the file in transfer goes out: no new invitation.
        ASSERT_GT(stoppedAt, 0);
        QByteArray afterStop;
        for (auto w = Port.writes().begin() + stoppedAt; w != Port.writes().end(); ++w)
            afterStop += w->bytes;
        EXPECT_EQ(afterStop, c.cancelSent ? QByteArray(2, comm::CAN) : QByteArray())
            << afterStop.toHex().constData();
    }
}

} // namespace
