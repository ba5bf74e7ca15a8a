#include "ManagerTestSupport.h"

#include "tests/support/TestIsolation.h"
#include "tests/support/programs/TestPrograms.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

using managertest::casePath;

namespace {

QProcessEnvironment harbrookEnvironment(const QString &messageLog)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HARBROOK_LOCK_DIR"), casePath(QStringLiteral("locks")));
    env.insert(QStringLiteral("HARBROOK_MESSAGE_LOG"), messageLog);
    return env;
}

void startHarbrook(QProcess &process, const QString &messageLog)
{
    process.setProgram(testsupport::testProgramFolder() + QStringLiteral("harbrook-logged"));
    process.setProcessEnvironment(harbrookEnvironment(messageLog));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
}

// Whether some process holds a flock on the one lock file of the folder, seen in /proc/locks so that
// looking does not take the lock away from the program that is starting.
bool lockHeld(const QString &folder)
{
    const QStringList files = QDir(folder).entryList(QDir::Files);
    if (files.size() != 1)
        return false;
    struct stat info {};
    if (::stat(QFile::encodeName(QDir(folder).filePath(files[0])).constData(), &info) != 0)
        return false;
    const QByteArray inode = ':' + QByteArray::number(static_cast<qulonglong>(info.st_ino)) + ' ';
    const QByteArray locks = managertest::readFile(QStringLiteral("/proc/locks"));
    for (const QByteArray &line : locks.split('\n')) {
        if (line.contains("FLOCK") && line.contains(inode))
            return true;
    }
    return false;
}

} // namespace

TEST(SecondStartTest, SecondProcessIsRefusedWithExitCodeOne)
{
    ASSERT_TRUE(QDir().mkpath(casePath(QStringLiteral("locks"))));
    ASSERT_TRUE(QFile::setPermissions(casePath(QStringLiteral("locks")), QFileDevice::ReadOwner |
                                                                             QFileDevice::WriteOwner |
                                                                             QFileDevice::ExeOwner));
    // Complete settings, so the first instance comes up without a box.
    managertest::storeModeSettings(false);

    QProcess first;
    startHarbrook(first, casePath(QStringLiteral("first.log")));
    ASSERT_TRUE(first.waitForStarted(10000));
    const QDeadlineTimer deadline(20000);
    while (!lockHeld(casePath(QStringLiteral("locks"))) && !deadline.hasExpired() &&
           first.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_EQ(first.state(), QProcess::Running) << "the first instance ended with " << first.exitCode();
    ASSERT_TRUE(lockHeld(casePath(QStringLiteral("locks"))));

    QProcess second;
    startHarbrook(second, casePath(QStringLiteral("second.log")));
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(managertest::readFile(casePath(QStringLiteral("second.log")))),
              QStringLiteral("Ferrolin Pro BHT-800\t既にこのプログラムは起動しています。\n"));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(managertest::readFile(casePath(QStringLiteral("first.log"))), QByteArray());

    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished(10000);
    }
}
