// The receiver storing onto a disk that fills up: the transfer ends with the file error, the
// terminal gets CAN CAN instead of the file's last ACK, and the operator's file is as it was.

#include "ReceiverHarness.h"
#include "tests/support/FileSystemFaults.h"

using namespace receivertest;
using testsupport::numberedBytes;

namespace {

const QByteArray CanCan("\x18\x18", 2);

QByteArray records(int count, char first)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QByteArray(1, static_cast<char>(first + i % 26)) + "BCD" +
                 QByteArray::number(100 + i % 900) + "\r\n";
    return bytes;
}

struct FullDiskCase {
    const char *what;
    bool recordData; // else a binary file
    bool append;
    QByteArray old;
    QByteArray received;
};

void PrintTo(const FullDiskCase &c, std::ostream *os)
{
    *os << c.what;
}

class ReceiverFullDisk : public ReceiverTest, public testing::WithParamInterface<FullDiskCase> {
protected:
    // Sends the case's file in one batch into folder; returns the name it is stored under.
    QString sendInto(const QString &folder, const FullDiskCase &c)
    {
        Start.RxFolder = folder + "/";
        Start.WriteMode = c.append ? 1 : 0;
        Start.LogFlag = true;
        if (c.recordData) {
            Term.file("A.FLD", fldText("A.DAT", c.received.size(), c.received.size() / 9, "4 1 2"));
            Term.file("A.DAT", c.received);
        } else {
            Term.file("A.PD4", c.received);
        }
        Term.batchEnd();
        return c.recordData ? "A.DAT" : "A.PD4";
    }

    void expectFileErrorAndOldKept(const QString &folder, const QString &name, const QByteArray &old)
    {
        const TransferResult result = run(true);
        EXPECT_EQ(result.ErrorNo, 12);
        EXPECT_EQ(result.RcvFileName, QString());
        EXPECT_TRUE(wire().endsWith(CanCan)) << wire().right(16).toHex().toStdString();
        QFile stored(folder + "/" + name);
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        EXPECT_EQ(stored.readAll(), old) << "the old file is byte for byte as it was";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name})
            << "no partial file is left";
    }
};

} // namespace

// A 64 KiB tmpfs: 16 pages. Each case's old file and new content do not fit it together; the
// "final flush" cases fit the store's write buffer, so the disk refuses them only at the commit.
TEST_P(ReceiverFullDisk, EndsWithFileErrorAndKeepsTheOldFile)
{
    const FullDiskCase &c = GetParam();
    testsupport::SmallFileSystem fs(64 * 1024);
    if (!fs.mounted())
        GTEST_SKIP() << qPrintable(fs.why());
    QFile old(fs.filePath(c.recordData ? "A.DAT" : "A.PD4"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    ASSERT_EQ(old.write(c.old), c.old.size());
    old.close();
    const QString name = sendInto(fs.path(), c);
    expectFileErrorAndOldKept(fs.path(), name, c.old);
}

INSTANTIATE_TEST_SUITE_P(Stores, ReceiverFullDisk,
                         testing::Values(FullDiskCase{"replace_cut_while_copying", false, false,
                                                      numberedBytes(20000, 1), numberedBytes(70000, 2)},
                                         FullDiskCase{"replace_refused_at_the_final_flush", false, false,
                                                      numberedBytes(50000, 1), numberedBytes(15000, 2)},
                                         FullDiskCase{"append_cut_while_copying", true, true,
                                                      records(2000, 'A'), records(7000, 'a')},
                                         FullDiskCase{"append_refused_at_the_final_flush", true, true,
                                                      records(3500, 'A'), records(1000, 'a')}),
                         [](const testing::TestParamInfo<FullDiskCase> &info) {
                             return std::string(info.param.what);
                         });

// Without root: a file size limit lets the received records into the temporary file, and fails the
// store's final flush of the old records plus the new ones.
TEST_F(ReceiverTest, AppendRefusedAtTheFinalFlushKeepsTheOldRecords)
{
    const QByteArray old = records(667, 'A');
    putInbox("A.DAT", old);
    Start.WriteMode = 1;
    Start.LogFlag = true;
    const QByteArray received = records(100, 'a');
    Term.file("A.FLD", fldText("A.DAT", received.size(), 100, "4 1 2"));
    Term.file("A.DAT", received);
    Term.batchEnd();

    testsupport::FileSizeLimit limit(old.size() + received.size() / 2);
    ASSERT_TRUE(limit.active());
    const TransferResult result = run(true);
    EXPECT_EQ(result.ErrorNo, 12);
    EXPECT_TRUE(wire().endsWith(CanCan));
    EXPECT_EQ(inboxFile("A.DAT"), old);
    EXPECT_EQ(inboxNames(), QStringList{"A.DAT"});
}
