#include "comm/YmRxStore.h"
#include "tests/support/FileSystemFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class ReceiverStore : public testing::Test {
protected:
    QString path(const QString &name) const { return Dir.filePath(name); }

    void put(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray get(const QString &name) const
    {
        QFile f(path(name));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll();
    }

    // Names in the folder, to show that no temporary file is left behind.
    QStringList entries() const { return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir Dir;
};

} // namespace

TEST(ReceiverStoreName, TodayReplacesEveryYymmdd)
{
    const QDate day(2026, 12, 10);
    EXPECT_EQ(comm::withReceiveDate("DYYMMDD.DAT", day), QString("D261210.DAT"));
    EXPECT_EQ(comm::withReceiveDate("YYMMDDYYMMDD", day), QString("261210261210"));
    EXPECT_EQ(comm::withReceiveDate("YYMMDD.DAT", QDate(2031, 1, 5)), QString("310105.DAT"));
    EXPECT_EQ(comm::withReceiveDate("YYMMD.DAT", day), QString("YYMMD.DAT"));
}

TEST_F(ReceiverStore, ReplaceTakesTheNewContentWhole)
{
    put("tmp", "NEW\r\n");
    put("T.DAT", "OLD CONTENT THAT IS LONGER\r\n");
    ASSERT_TRUE(comm::replaceWithReceived(path("tmp"), path("T.DAT")));
    EXPECT_EQ(get("T.DAT"), QByteArray("NEW\r\n"));

    ASSERT_TRUE(comm::replaceWithReceived(path("tmp"), path("NEW.DAT")));
    EXPECT_EQ(get("NEW.DAT"), QByteArray("NEW\r\n"));
    EXPECT_EQ(entries(), QStringList({"NEW.DAT", "T.DAT", "tmp"}));
}

TEST_F(ReceiverStore, AppendKeepsTheOldLinesFirst)
{
    put("tmp", "B\r\n");
    put("T.DAT", "A\r\n");
    ASSERT_TRUE(comm::appendReceived(path("tmp"), path("T.DAT")));
    ASSERT_TRUE(comm::appendReceived(path("tmp"), path("T.DAT")));
    EXPECT_EQ(get("T.DAT"), QByteArray("A\r\nB\r\nB\r\n"));

    ASSERT_TRUE(comm::appendReceived(path("tmp"), path("NEW.DAT")));
    EXPECT_EQ(get("NEW.DAT"), QByteArray("B\r\n"));
}

TEST_F(ReceiverStore, LargeContentIsCopiedExactly)
{
    QByteArray big;
    for (int i = 0; i < 200000; ++i)
        big += static_cast<char>(i * 7);
    put("tmp", big);
    put("T.DAT", "OLD");
    ASSERT_TRUE(comm::appendReceived(path("tmp"), path("T.DAT")));
    EXPECT_EQ(get("T.DAT"), "OLD" + big);
}

TEST_F(ReceiverStore, FailureLeavesTheTargetAsItWas)
{
    put("T.DAT", "OLD\r\n");
    // The received content cannot be read.
    EXPECT_FALSE(comm::replaceWithReceived(path("missing"), path("T.DAT")));
    EXPECT_FALSE(comm::appendReceived(path("missing"), path("T.DAT")));
    EXPECT_EQ(get("T.DAT"), QByteArray("OLD\r\n"));
    EXPECT_EQ(entries(), QStringList({"T.DAT"}));

    // The target cannot be written: its folder is missing, or it is a folder.
    put("tmp", "NEW\r\n");
    EXPECT_FALSE(comm::replaceWithReceived(path("tmp"), path("nofolder/T.DAT")));
    ASSERT_TRUE(QDir(Dir.path()).mkdir("SUB.DAT"));
    EXPECT_FALSE(comm::replaceWithReceived(path("tmp"), path("SUB.DAT")));
    EXPECT_FALSE(comm::appendReceived(path("tmp"), path("SUB.DAT")));
    EXPECT_TRUE(QFileInfo(path("SUB.DAT")).isDir());
}

// Without root: a file size limit fails the final flush of content that waited in the buffer.
TEST_F(ReceiverStore, FailedFinalFlushLeavesTheTargetAsItWas)
{
    const struct {
        const char *what;
        bool append;
        qsizetype old;
        qsizetype received;
        qint64 limit;
    } cases[] = {
        {"replace", false, 100, 5000, 3000},
        {"append", true, 3000, 2000, 4000},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray old = testsupport::numberedBytes(c.old, 1);
        put("T.DAT", old);
        put("tmp", testsupport::numberedBytes(c.received, 2));
        QString error;
        bool stored = true;
        {
            testsupport::FileSizeLimit limit(c.limit);
            ASSERT_TRUE(limit.active());
            stored = c.append ? comm::appendReceived(path("tmp"), path("T.DAT"), &error)
                              : comm::replaceWithReceived(path("tmp"), path("T.DAT"), &error);
        }
        EXPECT_FALSE(stored);
        EXPECT_NE(error.indexOf(QString::fromLocal8Bit(std::strerror(EFBIG))), -1) << qPrintable(error);
        EXPECT_EQ(get("T.DAT"), old);
        EXPECT_EQ(entries(), QStringList({"T.DAT", "tmp"}));
    }
}
