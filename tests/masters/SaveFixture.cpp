#include "SaveFixture.h"

#include "masters/MasterLock.h"
#include "masters/RecordStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace masterstest;

namespace savetest {

namespace {

// The step a save stops at in the child, counted from 1.
int stopAt = 0;
bool stopAtStep(masters::SaveStep step)
{
    if (static_cast<int>(step) + 1 == stopAt)
        ::raise(SIGKILL);
    return true;
}

} // namespace

QByteArray newRecords(int n)
{
    QByteArray all;
    for (int i = 1; i <= n; ++i)
        all += rawRecord({"N" + QByteArray::number(i), "abc", "xyz"}, NewWidths);
    return all;
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    const QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        // The lock file a killed save left is the next holder's to take and remove.
        if (entry.fileName().endsWith(QStringLiteral(".harbrook-lock")) && !entry.isSymLink())
            continue;
        if (entry.isSymLink())
            entries.insert(entry.fileName(), "link:" + QFile::encodeName(entry.symLinkTarget()));
        else if (entry.isDir())
            entries.insert(entry.fileName(), "folder");
        else
            entries.insert(entry.fileName(), "file:" + readFile(entry.filePath()));
    }
    return entries;
}

QStringList entriesWith(const QString &folder, const QString &part)
{
    QStringList found;
    for (const QString &entry : QDir(folder).entryList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.contains(part))
            found << entry;
    }
    return found;
}

void SaveFixture::SetUp()
{
    master = casePath("m/master.dat");
    widthFile = casePath("m/master.fld");
    ASSERT_TRUE(writeFile(casePath("new.src"), newRecords(30)));
}

void SaveFixture::TearDown()
{
    masters::setSaveStepHook(nullptr);
    masters::resetMasterLockWait();
}

void SaveFixture::writeOldPair(bool withWidthFile)
{
    ASSERT_TRUE(writeFile(master, numberedRecords(40)));
    if (withWidthFile) {
        ASSERT_TRUE(writeFile(widthFile, "8,10\r\n"));
    }
}

bool SaveFixture::save(QString *error, bool *busy)
{
    masters::RecordStore store;
    return store.create(casePath("work.tmp"), 14) && store.copyIn(casePath("new.src")) &&
           masters::saveMasterFiles(store, master, NewWidths, error, busy);
}

bool SaveFixture::saveRecords(const QByteArray &records, const std::vector<int> &widths, QString *error,
                              bool *busy)
{
    int length = 2;
    for (const int width : widths)
        length += width;
    masters::RecordStore store;
    return writeFile(casePath("records.src"), records) && store.create(casePath("work2.tmp"), length) &&
           store.copyIn(casePath("records.src")) &&
           masters::saveMasterFiles(store, master, widths, error, busy);
}

bool SaveFixture::killedAt(int step)
{
    const pid_t child = ::fork();
    if (child == 0) {
        stopAt = step;
        masters::setSaveStepHook(stopAtStep);
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the save failed";
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

QStringList SaveFixture::files() const
{
    return QDir(casePath("m")).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void SaveFixture::expectOldPair(bool withWidthFile)
{
    EXPECT_EQ(readFile(master), numberedRecords(40));
    if (withWidthFile)
        EXPECT_EQ(readFile(widthFile), QByteArray("8,10\r\n"));
    else
        EXPECT_FALSE(QFileInfo::exists(widthFile));
}

void SaveFixture::expectNewPair()
{
    EXPECT_EQ(readFile(master), newRecords(30));
    EXPECT_EQ(readFile(widthFile), QByteArray("5,3,4\r\n"));
}

} // namespace savetest
