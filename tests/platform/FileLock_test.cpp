#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "platform/FileLock.h"
#include "tests/support/TestIsolation.h"

using platform::FileLock;
using namespace std::chrono_literals;

namespace {

QString casePath(const QString &name)
{
    return testsupport::caseFolder() + QLatin1Char('/') + name;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(FileLock, OneHolderAtATimeAndTheLockFileGoesWithTheLastRelease)
{
    const QString path = casePath(".m.lock");
    FileLock first;
    ASSERT_EQ(first.acquire(path, 0ms), FileLock::Result::Held) << first.errorString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));

    // Another hold, in this process too, waits; the wait runs the callback between its looks.
    FileLock second;
    int looks = 0;
    EXPECT_EQ(second.acquire(path, 200ms, [&] { ++looks; }), FileLock::Result::Busy);
    EXPECT_GE(looks, 3);
    EXPECT_FALSE(second.held());

    first.release();
    EXPECT_FALSE(QFileInfo::exists(path));
    ASSERT_EQ(second.acquire(path, 0ms), FileLock::Result::Held);
    // A holder that comes after the file was removed and made again takes turns on the new one.
    EXPECT_EQ(first.acquire(path, 0ms), FileLock::Result::Busy);
    second.release();
    EXPECT_EQ(first.acquire(path, 0ms), FileLock::Result::Held);
    first.release();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(FileLock, AFileOfTheLockNameThatIsNotOursStays)
{
    // Someone's file is locked all the same, but neither changed nor removed.
    const QString path = casePath(".m.lock");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("notes\n");
    }
    FileLock lock;
    ASSERT_EQ(lock.acquire(path, 0ms), FileLock::Result::Held);
    lock.release();
    EXPECT_EQ(readAll(path), QByteArray("notes\n"));

    // A link of that name is no lock file: refused, and what it points to stays as it was.
    const QString target = casePath("target.txt");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("target\n");
    }
    const QString linked = casePath(".l.lock");
    ASSERT_TRUE(QFile::link(target, linked));
    EXPECT_EQ(lock.acquire(linked, 0ms), FileLock::Result::Failed);
    EXPECT_FALSE(lock.errorString().isEmpty());
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(readAll(target), QByteArray("target\n"));
}

} // namespace
