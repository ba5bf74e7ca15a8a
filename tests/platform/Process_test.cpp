#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

#include "platform/Process.h"
#include "tests/support/TestIsolation.h"

using platform::Process;

namespace {

const QString helperPath = QStringLiteral(HARBROOK_TEST_PROCESS_HELPER);

// Sets an environment variable for the programs a test starts, and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *name_;
    std::optional<QByteArray> old_;
};

class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const QString &folder) : old_(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~ScopedCurrentFolder() { QDir::setCurrent(old_); }
    ScopedCurrentFolder(const ScopedCurrentFolder &) = delete;
    ScopedCurrentFolder &operator=(const ScopedCurrentFolder &) = delete;

private:
    QString old_;
};

} // namespace

TEST(Process, ReturnsTheExitCodeOfAProgramStartedWithoutArguments)
{
    // The helper exits with 99 when it gets any argument, and reads its code from the environment.
    for (const int code : {0, 3, 255}) {
        SCOPED_TRACE(code);
        ScopedEnv exitCode("HARBROOK_TEST_EXIT_CODE", QByteArray::number(code));
        Process process;
        ASSERT_TRUE(process.start(helperPath));
        EXPECT_EQ(code, process.waitForEnd());
        EXPECT_FALSE(process.isRunning());
        EXPECT_EQ(code, process.exitCode());
    }
}

TEST(Process, AProgramKilledByASignalIsNotTakenForACleanExit)
{
    ScopedEnv crash("HARBROOK_TEST_CRASH", "1");
    Process process;
    ASSERT_TRUE(process.start(helperPath));
    EXPECT_EQ(Process::CrashedExitCode, process.waitForEnd());
}

TEST(Process, ReportsAProgramThatCannotBeStarted)
{
    const QString folder = testsupport::caseFolder();
    QFile plain(folder + QStringLiteral("/not-a-program"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    ASSERT_EQ(2, plain.write("x\n"));
    plain.close();
    // A bare name is taken from the current folder: it must not find the shell on PATH.
    ScopedCurrentFolder inCase(folder);
    for (const QString &path :
         {folder + QStringLiteral("/missing"), plain.fileName(), folder, QStringLiteral("sh"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        Process process;
        EXPECT_FALSE(process.start(path));
        EXPECT_FALSE(process.isRunning());
        EXPECT_TRUE(process.waitStep());
        EXPECT_EQ(Process::CrashedExitCode, process.exitCode());
    }
}

TEST(Process, IsStillActiveWhileTheProgramRunsAndWaitsInBoundedSteps)
{
    ScopedEnv sleep("HARBROOK_TEST_SLEEP_MS", "1000");
    ScopedEnv exitCode("HARBROOK_TEST_EXIT_CODE", "7");
    Process process;
    ASSERT_TRUE(process.start(helperPath));
    EXPECT_TRUE(process.isRunning());
    EXPECT_EQ(Process::StillActive, process.exitCode());
    EXPECT_FALSE(process.start(helperPath)) << "a second start while the first program runs";

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(process.waitStep(100));
    const qint64 stepMs = clock.elapsed();
    EXPECT_GE(stepMs, 95);
    EXPECT_LT(stepMs, 900);
    EXPECT_EQ(Process::StillActive, process.exitCode());

    EXPECT_EQ(7, process.waitForEnd());
    EXPECT_GE(clock.elapsed(), 900);
}

TEST(Process, TheCallersEventsRunWhileItWaits)
{
    ScopedEnv sleep("HARBROOK_TEST_SLEEP_MS", "500");
    Process process;
    ASSERT_TRUE(process.start(helperPath));

    bool singleShotFired = false;
    QTimer::singleShot(50, [&singleShotFired] { singleShotFired = true; });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(20);

    EXPECT_EQ(0, process.waitForEnd());
    EXPECT_TRUE(singleShotFired);
    // Ticks all through the wait, not one burst when it ends.
    EXPECT_GE(ticks, 3);
}
