#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/HeldFile.h"
#include "platform/PrivateFolder.h"
#include "tests/support/StoppedChild.h"
#include "tests/support/TestIsolation.h"

namespace {

QString casePath(const QString &name)
{
    return testsupport::caseFolder() + QLatin1Char('/') + name;
}

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// What may stand at a folder's name, and whether it is taken as the user's private folder.
struct Planting {
    const char *what;
    std::function<bool(const QString &)> plant; // false: cannot be set up here
    bool isPrivate;
};

const Planting plantings[] = {
    {"nothing (made)", [](const QString &) { return true; }, true},
    {"a folder 0700", [](const QString &at) { return QDir().mkpath(at) && setMode(at, 0700); }, true},
    // Others could only read it: it is ours, and closed.
    {"a folder 0755", [](const QString &at) { return QDir().mkpath(at) && setMode(at, 0755); }, true},
    {"a folder 0777", [](const QString &at) { return QDir().mkpath(at) && setMode(at, 0777); }, false},
    {"a folder 0720", [](const QString &at) { return QDir().mkpath(at) && setMode(at, 0720); }, false},
    {"a link to a private folder",
     [](const QString &at) {
         return QDir().mkpath(casePath("target")) && setMode(casePath("target"), 0700) &&
                QFile::link(casePath("target"), at);
     },
     false},
    {"a plain file", [](const QString &at) { return QFile(at).open(QIODevice::WriteOnly); }, false},
    // Needs root, as the suite runs in CI: nobody else can give a folder away.
    {"a folder of another user",
     [](const QString &at) {
         return QDir().mkpath(at) && ::chown(QFile::encodeName(at).constData(), 4242, 4242) == 0;
     },
     false},
};

} // namespace

TEST(PrivateFolder, OnlyAFolderOfTheUserThatOthersCannotChangeIsTaken)
{
    int n = 0;
    for (const Planting &p : plantings) {
        SCOPED_TRACE(p.what);
        const QString at = casePath(QStringLiteral("f%1").arg(++n));
        ASSERT_TRUE(p.plant(at)) << "cannot plant " << p.what << " (not root?)";
        const mode_t before = modeOf(at);
        QString error;
        EXPECT_EQ(platform::makePrivateFolder(at, &error), p.isPrivate) << error.toStdString();
        if (p.isPrivate) {
            EXPECT_EQ(modeOf(at), S_IFDIR | 0700);
            EXPECT_TRUE(error.isEmpty());
        } else {
            EXPECT_EQ(modeOf(at), before) << "what is not ours stays as it was";
            EXPECT_NE(error.indexOf(at), -1) << error.toStdString();
        }
    }
    // Checking makes nothing.
    EXPECT_FALSE(platform::checkPrivateFolder(casePath("missing")));
    EXPECT_FALSE(QFileInfo::exists(casePath("missing")));
}

TEST(PrivateFolder, ATemporaryFolderTakenBySomeoneElseIsReplacedByANewUniqueOne)
{
    int n = 0;
    for (const Planting &p : plantings) {
        SCOPED_TRACE(p.what);
        const QString name = QStringLiteral("Folder%1").arg(++n);
        const QString fixed = casePath(name);
        ASSERT_TRUE(p.plant(fixed)) << "cannot plant " << p.what << " (not root?)";
        const mode_t before = modeOf(fixed);
        const QString folder = platform::privateTempFolder(name);
        ASSERT_FALSE(folder.isEmpty());
        EXPECT_TRUE(platform::checkPrivateFolder(folder));
        EXPECT_EQ(modeOf(folder), S_IFDIR | 0700);
        if (p.isPrivate) {
            EXPECT_EQ(folder, fixed);
        } else {
            EXPECT_TRUE(folder.startsWith(fixed + QLatin1Char('-'))) << folder.toStdString();
            EXPECT_EQ(modeOf(fixed), before);
        }
        // The same folder for the rest of the process, while it stays private.
        EXPECT_EQ(platform::privateTempFolder(name), folder);
        ASSERT_TRUE(setMode(folder, 0777));
        const QString again = platform::privateTempFolder(name);
        EXPECT_NE(again, folder);
        EXPECT_TRUE(platform::checkPrivateFolder(again));
    }
    // No temporary folder to be had at all.
    qputenv("TMPDIR", QFile::encodeName(casePath("f-plain/below")));
    ASSERT_TRUE(QFile(casePath("f-plain")).open(QIODevice::WriteOnly));
    QString error;
    EXPECT_EQ(platform::privateTempFolder(QStringLiteral("x"), &error), QString());
    EXPECT_FALSE(error.isEmpty());
    qputenv("TMPDIR", QFile::encodeName(testsupport::caseFolder()));
}

TEST(PrivateFolder, RunsAfterOneAnotherShareOneFallbackFolder)
{
    // The fixed name belongs to another user (needs root, as the suite runs in CI).
    const QString name = QStringLiteral("Taken");
    ASSERT_TRUE(QDir().mkpath(casePath(name)));
    ASSERT_EQ(::chown(QFile::encodeName(casePath(name)).constData(), 4242, 4242), 0) << "not root?";
    // Each run is a process of its own, as the program started again.
    QStringList folders;
    for (int run = 0; run < 5; ++run) {
        testsupport::StoppedChild child([&] { return platform::privateTempFolder(name); });
        ASSERT_TRUE(child.started());
        folders << child.report();
    }
    folders.removeDuplicates();
    ASSERT_EQ(folders.size(), 1) << folders.join(u' ').toStdString();
    EXPECT_TRUE(folders[0].startsWith(casePath(name) + QLatin1Char('-')));
    EXPECT_EQ(QDir(testsupport::caseFolder()).entryList({name + QStringLiteral("-*")}, QDir::Dirs).size(), 1);
    // One that is not private (any more) is not taken again.
    ASSERT_TRUE(setMode(folders[0], 0777));
    testsupport::StoppedChild child([&] { return platform::privateTempFolder(name); });
    ASSERT_TRUE(child.started());
    EXPECT_NE(child.report(), folders[0]);
    EXPECT_TRUE(platform::checkPrivateFolder(child.report()));
}

TEST(HeldFile, TheFilesOfProcessesThatAreGoneAreRemovedAndNoOthers)
{
    const QString folder = testsupport::caseFolder();
    // A child that makes its file and waits, until it is killed.
    testsupport::StoppedChild child([&] {
        static platform::HeldFile file;
        return file.create(folder, QStringLiteral("Mst")) ? file.path() : QString();
    });
    ASSERT_TRUE(child.started());
    const QString childFile = child.report();

    auto mine = std::make_unique<platform::HeldFile>();
    ASSERT_TRUE(mine->create(folder, QStringLiteral("Mst"))) << mine->errorString().toStdString();
    const QString minePath = mine->path();
    EXPECT_TRUE(QFileInfo(minePath).fileName().startsWith(QStringLiteral("Mst")));
    EXPECT_EQ(modeOf(minePath), S_IFREG | 0600);
    // An abandoned file, one under another prefix, and a link of the prefix's name.
    ASSERT_TRUE(QFile(folder + QStringLiteral("/MstOld123")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(folder + QStringLiteral("/Other1")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(folder + QStringLiteral("/keep")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("/keep"), folder + QStringLiteral("/MstLink")));

    EXPECT_EQ(platform::HeldFile::removeUnheld(folder, QStringLiteral("Mst")), 1);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/MstOld123")));
    EXPECT_TRUE(QFileInfo::exists(childFile)) << "its process still runs";
    EXPECT_TRUE(QFileInfo::exists(minePath));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/Other1")));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/MstLink")).isSymLink());

    child.kill();
    ASSERT_TRUE(QFileInfo::exists(childFile)) << "a killed process leaves its file";
    EXPECT_EQ(platform::HeldFile::removeUnheld(folder, QStringLiteral("Mst")), 1);
    EXPECT_FALSE(QFileInfo::exists(childFile));
    EXPECT_TRUE(QFileInfo::exists(minePath));
    mine.reset();
    EXPECT_FALSE(QFileInfo::exists(minePath)) << "removed with its object";
}
