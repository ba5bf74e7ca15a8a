#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "platform/AtomicFile.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/TestIsolation.h"

using platform::AtomicFile;
using testsupport::numberedBytes;

namespace {

class AtomicFileTest : public testing::Test {
protected:
    static QString path(const QString &name) { return testsupport::caseFolder() + QLatin1Char('/') + name; }

    static void put(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    static QByteArray get(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static mode_t modeOf(const QString &file)
    {
        struct stat info {};
        return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    // Every file of a folder, so that a temporary file left behind shows.
    static QStringList names(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    // The failure a test expects: reported with a reason, the old file as it was, nothing left over.
    static void expectFailedAndOldKept(AtomicFile &file, const QString &target, const QByteArray &old,
                                       const char *reason)
    {
        EXPECT_FALSE(file.commit());
        EXPECT_NE(file.errorString().indexOf(QString::fromUtf8(reason)), -1)
            << qPrintable(file.errorString());
        EXPECT_EQ(get(target), old) << "the old file is byte for byte as it was";
        EXPECT_EQ(names(QFileInfo(target).path()), QStringList{QFileInfo(target).fileName()});
    }

    const QByteArray oldBytes = "OLD CONTENT\r\n";
};

} // namespace

TEST_F(AtomicFileTest, ReplacesTheFileWholeAndKeepsItsMode)
{
    put(path("T.DAT"), oldBytes);
    ASSERT_EQ(::chmod(QFile::encodeName(path("T.DAT")).constData(), 0640), 0);
    AtomicFile file(path("T.DAT"));
    ASSERT_TRUE(file.open()) << qPrintable(file.errorString());
    EXPECT_EQ(get(path("T.DAT")), oldBytes) << "untouched until the commit";
    const QByteArray big = numberedBytes(200000);
    ASSERT_TRUE(file.write("NEW"));
    ASSERT_EQ(file.device().write(big), big.size());
    ASSERT_TRUE(file.commit()) << qPrintable(file.errorString());
    EXPECT_EQ(get(path("T.DAT")), "NEW" + big);
    EXPECT_EQ(modeOf(path("T.DAT")), mode_t(0640));
    EXPECT_EQ(names(testsupport::caseFolder()), QStringList{"T.DAT"});

    // A new file gets what a plain create gives.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    QString error;
    ASSERT_TRUE(platform::writeFileAtomically(path("NEW.DAT"), "X", &error)) << qPrintable(error);
    EXPECT_EQ(get(path("NEW.DAT")), QByteArray("X"));
    EXPECT_EQ(modeOf(path("NEW.DAT")), mode_t(0666 & ~mask));
}

TEST_F(AtomicFileTest, UncommittedWriteLeavesTheOldFile)
{
    put(path("T.DAT"), oldBytes);
    {
        AtomicFile file(path("T.DAT"));
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write(numberedBytes(100000)));
    }
    EXPECT_EQ(get(path("T.DAT")), oldBytes);
    AtomicFile file(path("T.DAT"));
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write("NEW"));
    file.cancel();
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(get(path("T.DAT")), oldBytes);
    EXPECT_EQ(names(testsupport::caseFolder()), QStringList{"T.DAT"});
}

// Content that fits the write buffer reaches the file only at the final flush, inside commit():
// that flush failing is what QSaveFile's commit does not report.
TEST_F(AtomicFileTest, FailedFinalFlushIsAFailureAndKeepsTheOldFile)
{
    put(path("T.DAT"), oldBytes);
    for (const bool throughDevice : {false, true}) {
        SCOPED_TRACE(throughDevice ? "written through the device" : "written through write()");
        AtomicFile file(path("T.DAT"));
        ASSERT_TRUE(file.open());
        const QByteArray content = numberedBytes(5000);
        testsupport::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        if (throughDevice)
            ASSERT_EQ(file.device().write(content), content.size());
        else
            ASSERT_TRUE(file.write(content)) << "buffered: nothing has failed yet";
        expectFailedAndOldKept(file, path("T.DAT"), oldBytes, std::strerror(EFBIG));
    }
}

TEST_F(AtomicFileTest, FullFileSystemKeepsTheOldFile)
{
    testsupport::SmallFileSystem fs(64 * 1024);
    if (!fs.mounted())
        GTEST_SKIP() << qPrintable(fs.why());
    const QByteArray old = numberedBytes(50000, 1); // 13 of the 16 pages
    const struct {
        const char *what;
        qsizetype size;
    } cases[] = {
        {"cut in the middle of the writes", 70000},
        {"refused at the final flush", 15000}, // fits the write buffer, but not the 3 pages left
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        put(fs.filePath("T.DAT"), old);
        AtomicFile file(fs.filePath("T.DAT"));
        ASSERT_TRUE(file.open());
        const QByteArray content = numberedBytes(c.size, 2);
        const bool written = file.write(content.left(c.size / 2)) && file.write(content.mid(c.size / 2));
        EXPECT_EQ(written, c.size < 64 * 1024) << "a write beyond the buffer fails at once";
        expectFailedAndOldKept(file, fs.filePath("T.DAT"), old, std::strerror(ENOSPC));
    }
    // What fits is stored: the file system itself is sound.
    ASSERT_TRUE(platform::writeFileAtomically(fs.filePath("T.DAT"), numberedBytes(8000, 3)));
    EXPECT_EQ(get(fs.filePath("T.DAT")), numberedBytes(8000, 3));
}

TEST_F(AtomicFileTest, ReadOnlyFileIsNeverReplaced)
{
    put(path("T.DAT"), oldBytes);
    ASSERT_EQ(::chmod(QFile::encodeName(path("T.DAT")).constData(), 0444), 0);
    AtomicFile file(path("T.DAT"));
    EXPECT_FALSE(file.open());
    EXPECT_NE(file.errorString().indexOf("read-only"), -1) << qPrintable(file.errorString());
    EXPECT_FALSE(file.write("NEW"));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(get(path("T.DAT")), oldBytes);
    EXPECT_EQ(modeOf(path("T.DAT")), mode_t(0444));
    EXPECT_EQ(names(testsupport::caseFolder()), QStringList{"T.DAT"});
}

TEST_F(AtomicFileTest, SymbolicLinksAreFollowedAndKept)
{
    ASSERT_TRUE(QDir().mkpath(path("real")));
    const QString target = path("real/T.DAT");
    const struct {
        const char *what;
        QStringList links; // each link points at the next, the last at "link" text given below
        QString last;
        bool targetExists;
    } cases[] = {
        {"absolute link", {"a.lnk"}, target, true},
        {"relative link", {"a.lnk"}, "real/T.DAT", true},
        {"chain of links", {"a.lnk", "b.lnk"}, "real/T.DAT", true},
        {"link to a file still to come", {"a.lnk"}, "real/T.DAT", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(target);
        if (c.targetExists)
            put(target, oldBytes);
        for (qsizetype i = 0; i < c.links.size(); ++i) {
            QFile::remove(path(c.links[i]));
            const QString to = i + 1 < c.links.size() ? c.links[i + 1] : c.last;
            ASSERT_EQ(
                ::symlink(QFile::encodeName(to).constData(), QFile::encodeName(path(c.links[i])).constData()),
                0);
        }
        QString error;
        ASSERT_TRUE(platform::writeFileAtomically(path(c.links.front()), "NEW", &error)) << qPrintable(error);
        for (const QString &link : c.links)
            EXPECT_TRUE(QFileInfo(path(link)).isSymLink()) << qPrintable(link);
        EXPECT_EQ(get(target), QByteArray("NEW"));
        EXPECT_EQ(names(path("real")), QStringList{"T.DAT"});
        for (const QString &link : c.links)
            QFile::remove(path(link));
    }
}

TEST_F(AtomicFileTest, WhatIsNoPlainFileIsRefused)
{
    ASSERT_TRUE(QDir().mkpath(path("FOLDER.DAT")));
    ASSERT_EQ(::symlink("loop2", QFile::encodeName(path("loop1")).constData()), 0);
    ASSERT_EQ(::symlink("loop1", QFile::encodeName(path("loop2")).constData()), 0);
    for (const char *name : {"FOLDER.DAT", "loop1", "no/folder/T.DAT"}) {
        SCOPED_TRACE(name);
        AtomicFile file(path(name));
        EXPECT_FALSE(file.open());
        EXPECT_FALSE(file.errorString().isEmpty());
    }
    EXPECT_TRUE(QFileInfo(path("FOLDER.DAT")).isDir());
    EXPECT_TRUE(QFileInfo(path("loop1")).isSymLink());
}
