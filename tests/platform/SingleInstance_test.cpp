#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <unistd.h>

#include "platform/SingleInstance.h"
#include "tests/support/TestIsolation.h"

using platform::SingleInstanceLock;
using Result = platform::SingleInstanceLock::Result;

namespace {

const QString mainClass = QStringLiteral("TMainForm");
const QString mainTitle = QStringLiteral("Ferrolin Pro BHT-800");

const char *resultName(Result result)
{
    switch (result) {
    case Result::Acquired:
        return "Acquired";
    case Result::Held:
        return "Held";
    case Result::Failed:
        return "Failed";
    }
    return "?";
}

class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QByteArray> &value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
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

// The lock helper, started with a class and title, and the first line it reported.
struct Holder {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray report;
};

Holder startHolder(const QStringList &arguments)
{
    Holder holder;
    holder.process->start(QStringLiteral(HARBROOK_TEST_LOCK_HELPER), arguments);
    if (!holder.process->waitForStarted(10000))
        return holder;
    while (!holder.process->canReadLine() && holder.process->waitForReadyRead(10000)) {
    }
    holder.report = holder.process->readLine().trimmed();
    return holder;
}

void finish(Holder &holder)
{
    holder.process->closeWriteChannel();
    holder.process->waitForFinished(10000);
}

class SingleInstance : public testing::Test {
protected:
    ScopedEnv lockDir{"HARBROOK_LOCK_DIR", testsupport::caseFolder().toLocal8Bit()};
};

} // namespace

TEST_F(SingleInstance, AHolderInAnotherProcessRefusesThisOneUntilItEnds)
{
    Holder holder = startHolder({mainClass, mainTitle});
    ASSERT_EQ("acquired", holder.report);

    SingleInstanceLock lock;
    EXPECT_STREQ("Held", resultName(lock.acquire(mainClass, mainTitle)));
    EXPECT_FALSE(lock.isHeld());

    finish(holder);
    EXPECT_EQ(0, holder.process->exitCode());
    EXPECT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)));
    EXPECT_TRUE(lock.isHeld());
}

TEST_F(SingleInstance, AHolderHereRefusesAnotherProcessUntilItIsDestroyed)
{
    {
        SingleInstanceLock lock;
        ASSERT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)));
        Holder second = startHolder({mainClass, mainTitle});
        EXPECT_EQ("held", second.report);
        finish(second);
        EXPECT_EQ(1, second.process->exitCode());
    }
    Holder next = startHolder({mainClass, mainTitle});
    EXPECT_EQ("acquired", next.report);
    finish(next);
}

TEST_F(SingleInstance, AKilledHolderDoesNotBlockTheNextStart)
{
    Holder holder = startHolder({mainClass, mainTitle});
    ASSERT_EQ("acquired", holder.report);
    holder.process->kill();
    ASSERT_TRUE(holder.process->waitForFinished(10000));

    SingleInstanceLock lock;
    EXPECT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)));
}

TEST_F(SingleInstance, AProgramTheHolderStartedDoesNotKeepTheLock)
{
    // The holder starts a program that outlives it by seconds, as an add-in settings program may.
    ScopedEnv sleep("HARBROOK_TEST_SLEEP_MS", "3000");
    Holder holder = startHolder({mainClass, mainTitle, QStringLiteral(HARBROOK_TEST_PROCESS_HELPER)});
    ASSERT_EQ("acquired", holder.report);
    holder.process->kill();
    ASSERT_TRUE(holder.process->waitForFinished(10000));

    SingleInstanceLock lock;
    EXPECT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)));
}

TEST_F(SingleInstance, OnlyTheSameClassAndTitleCollide)
{
    SingleInstanceLock main;
    ASSERT_STREQ("Acquired", resultName(main.acquire(mainClass, mainTitle)));

    struct Case {
        QString windowClass;
        QString title;
        Result expected;
    };
    const Case cases[] = {
        {mainClass, mainTitle, Result::Held},
        {mainClass, QStringLiteral("Ferrolin Pro BHT-801"), Result::Acquired},
        {QStringLiteral("TMainForm2"), mainTitle, Result::Acquired},
        {mainClass, QString(), Result::Acquired},
        // The readable part of the file name is reduced to safe characters; the digest still tells
        // these apart.
        {QStringLiteral("TMain.Form"), mainTitle, Result::Acquired},
        {QStringLiteral("TMain/Form"), mainTitle, Result::Acquired},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.windowClass + QLatin1Char('|') + c.title).toStdString());
        SingleInstanceLock other;
        EXPECT_STREQ(resultName(c.expected), resultName(other.acquire(c.windowClass, c.title)));
    }

    main.release();
    SingleInstanceLock after;
    EXPECT_STREQ("Acquired", resultName(after.acquire(mainClass, mainTitle)));
}

TEST_F(SingleInstance, NamesWithPathSeparatorsStayInTheLockFolder)
{
    const QString folder = testsupport::caseFolder() + QStringLiteral("/locks");
    ASSERT_TRUE(QDir().mkpath(folder));
    ScopedEnv lockHere("HARBROOK_LOCK_DIR", folder.toLocal8Bit());

    SingleInstanceLock lock;
    ASSERT_STREQ("Acquired",
                 resultName(lock.acquire(QStringLiteral("../../x"), QStringLiteral("/etc/../y"))));
    const QStringList inFolder = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ASSERT_EQ(1, inFolder.size()) << inFolder.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(inFolder.first().endsWith(QStringLiteral(".lock"))) << inFolder.first().toStdString();
    EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + inFolder.first()).isFile());
    const QStringList inCase =
        QDir(testsupport::caseFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(QStringList{QStringLiteral("locks")}, inCase) << inCase.join(QLatin1Char(' ')).toStdString();
}

TEST_F(SingleInstance, TakesTheRuntimeFolderElseAPrivateTemporaryFolder)
{
    const QString caseFolder = testsupport::caseFolder();
    ScopedEnv noOverride("HARBROOK_LOCK_DIR", std::nullopt);
    {
        const QString runtime = caseFolder + QStringLiteral("/run");
        ASSERT_TRUE(QDir().mkpath(runtime));
        ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        SingleInstanceLock lock;
        ASSERT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)));
        EXPECT_EQ(1, QDir(runtime).entryList(QDir::Files).size());
    }
    {
        // TMPDIR is the case folder.
        ScopedEnv noRuntimeDir("XDG_RUNTIME_DIR", std::nullopt);
        SingleInstanceLock lock;
        ASSERT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)))
            << lock.errorString().toStdString();
        const QFileInfo folder(caseFolder + QStringLiteral("/harbrook-%1").arg(::geteuid()));
        ASSERT_TRUE(folder.isDir());
        EXPECT_EQ(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                      QFile::WriteUser | QFile::ExeUser,
                  folder.permissions());
        EXPECT_EQ(1, QDir(folder.filePath()).entryList(QDir::Files).size());
    }
}

TEST_F(SingleInstance, ARuntimeFolderOthersCouldChangeIsPassedOver)
{
    const QString caseFolder = testsupport::caseFolder();
    const QString elsewhere = caseFolder + QStringLiteral("/elsewhere");
    const QString open = caseFolder + QStringLiteral("/open");
    const QString link = caseFolder + QStringLiteral("/link");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QDir().mkpath(open));
    ASSERT_TRUE(QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::WriteOther | QFile::ExeOther));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    ScopedEnv noOverride("HARBROOK_LOCK_DIR", std::nullopt);
    for (const QString &runtime : {link, open}) {
        SCOPED_TRACE(runtime.toStdString());
        ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        SingleInstanceLock lock;
        ASSERT_STREQ("Acquired", resultName(lock.acquire(mainClass, mainTitle)))
            << lock.errorString().toStdString();
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
        EXPECT_TRUE(QDir(open).isEmpty());
        EXPECT_EQ(
            1,
            QDir(caseFolder + QStringLiteral("/harbrook-%1").arg(::geteuid())).entryList(QDir::Files).size());
    }
}

TEST_F(SingleInstance, RefusesATemporaryFolderOthersCouldHaveMade)
{
    const QString caseFolder = testsupport::caseFolder();
    const QString privateName = caseFolder + QStringLiteral("/harbrook-%1").arg(::geteuid());
    const QString elsewhere = caseFolder + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ScopedEnv noOverride("HARBROOK_LOCK_DIR", std::nullopt);
    ScopedEnv noRuntimeDir("XDG_RUNTIME_DIR", std::nullopt);

    ASSERT_TRUE(QFile::link(elsewhere, privateName));
    {
        SingleInstanceLock lock;
        EXPECT_STREQ("Failed", resultName(lock.acquire(mainClass, mainTitle)));
        EXPECT_FALSE(lock.errorString().isEmpty());
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
    }
    ASSERT_TRUE(QFile::remove(privateName));

    ASSERT_TRUE(QDir().mkpath(privateName));
    ASSERT_TRUE(QFile::setPermissions(privateName, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::WriteOther |
                                                       QFile::ExeOther));
    SingleInstanceLock lock;
    EXPECT_STREQ("Failed", resultName(lock.acquire(mainClass, mainTitle)));
    EXPECT_FALSE(lock.errorString().isEmpty());
}

TEST_F(SingleInstance, AMissingLockFolderIsAFailureWithAReason)
{
    ScopedEnv missing("HARBROOK_LOCK_DIR",
                      (testsupport::caseFolder() + QStringLiteral("/missing")).toLocal8Bit());
    SingleInstanceLock lock;
    EXPECT_STREQ("Failed", resultName(lock.acquire(mainClass, mainTitle)));
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(lock.errorString().contains(QStringLiteral("missing"))) << lock.errorString().toStdString();
}
