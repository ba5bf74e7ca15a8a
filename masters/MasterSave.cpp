#include "MasterSave.h"

#include "masters/MasterLock.h"
#include "masters/RecordStore.h"
#include "masters/SaveFile.h"
#include "masters/SaveJournal.h"
#include "masters/SaveRecovery.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace masters {

namespace {

SaveStepHook stepHook = nullptr;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool failed(QString *error, const QString &why)
{
    if (error != nullptr)
        *error = why;
    return false;
}

QString systemFailure(const QString &what, const QString &path, int code)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(code)));
}

bool reached(SaveStep step, QString &why)
{
    if (stepHook == nullptr || stepHook(step))
        return true;
    why = systemFailure(QStringLiteral("save stopped at step"), QString::number(static_cast<int>(step)), EIO);
    return false;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).path();
}

// A rename that takes no name somebody else has; where the file system cannot tell, the name was
// seen free when the suffix was chosen.
bool renameExclusively(const QString &from, const QString &to)
{
    if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return ::rename(native(from).constData(), native(to).constData()) == 0;
}

// Gives the old file a second name, so that it can be put back with one rename (which needs no room
// on a full disk). Without hard links the file moves to that name: the journal puts it back.
bool keep(const QString &target, bool exists, const QString &suffix, QString &why)
{
    if (!exists)
        return true;
    const QString kept = keptPath(target, suffix);
    if (::link(native(target).constData(), native(kept).constData()) == 0)
        return true;
    const int linkError = errno;
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != EMLINK && linkError != EXDEV &&
        linkError != ENOSYS) {
        why = systemFailure(QStringLiteral("cannot keep"), target, linkError);
        return false;
    }
    if (!renameExclusively(target, kept)) {
        why = systemFailure(QStringLiteral("cannot keep"), target, errno);
        return false;
    }
    return true;
}

bool putInPlace(SaveFile &file, const QString &target, QString &why)
{
    if (!file.link()) {
        why = file.errorString();
        return false;
    }
    if (::rename(native(file.path()).constData(), native(target).constData()) != 0) {
        why = systemFailure(QStringLiteral("cannot put the new file in place of"), target, errno);
        return false;
    }
    return true;
}

bool syncFolders(const QString &a, const QString &b, QString &why)
{
    for (const QString &folder : {folderOf(a), folderOf(b)}) {
        if (const int code = platform::syncFolder(folder); code != 0) {
            why = systemFailure(QStringLiteral("cannot sync"), folder, code);
            return false;
        }
    }
    return true;
}

bool folderIdentity(const QString &path, quint64 &device, quint64 &inode, QString &why)
{
    struct stat info {};
    if (::stat(native(folderOf(path)).constData(), &info) != 0) {
        why = systemFailure(QStringLiteral("cannot look at"), folderOf(path), errno);
        return false;
    }
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

bool copyRecords(RecordStore &store, SaveFile &file, QString &why)
{
    const qint64 perBlock = std::max<qint64>(1, RecordStoreBlock / std::max(store.recordLength(), 1));
    QByteArray block;
    for (qint64 first = 0; first < store.count(); first += perBlock) {
        if (!store.readRecords(first, static_cast<int>(perBlock), block)) {
            why = store.errorString();
            return false;
        }
        if (!file.write(block)) {
            why = file.errorString();
            return false;
        }
    }
    return true;
}

// Puts the old pair back after a failure once the journal exists; what cannot be put back now is
// left with the journal for the next open or save.
void undo(const QString &journalFile, const FileIdentity &journalIdentity, const SaveJournal &journal,
          const QString &masterTarget, const QString &widthTarget)
{
    QString why;
    if (settleJournal(journalFile, journalIdentity, journal, false, masterTarget, widthTarget, &why) !=
        Settled::Done)
        qWarning("cannot put back the old pair of %s: %s", qPrintable(masterTarget), qPrintable(why));
}

} // namespace

void setSaveStepHook(SaveStepHook hook)
{
    stepHook = hook;
}

bool saveMasterFiles(RecordStore &store, const QString &masterPath, const std::vector<int> &widths,
                     QString *error, bool *busy)
{
    if (busy != nullptr)
        *busy = false;
    const std::optional<QString> followed = platform::AtomicFile::followLinks(masterPath);
    if (!followed)
        return failed(error, systemFailure(QStringLiteral("too many symbolic links in"), masterPath, ELOOP));
    const QString masterTarget = *followed;
    const MasterLock lock(masterTarget);
    if (lock.status() != MasterLock::Status::Held) {
        if (busy != nullptr)
            *busy = lock.status() == MasterLock::Status::Busy;
        return failed(error, lock.errorString());
    }
    // A pair beside a journal that proves nothing is replaced all the same: the journal stays.
    if (const Recovery recovery = recoverInterruptedSaves(lock); recovery.status == Recovery::Status::Failed)
        return failed(error, recovery.error);
    const QString widthTarget =
        platform::AtomicFile::followLinks(widthFilePath(masterTarget)).value_or(widthFilePath(masterTarget));

    QString why;
    struct stat oldMasterInfo {};
    struct stat oldWidthInfo {};
    bool masterExists = false;
    bool widthExists = false;
    if (!mayReplace(masterTarget, oldMasterInfo, masterExists, why) ||
        !mayReplace(widthTarget, oldWidthInfo, widthExists, why))
        return failed(error, why);
    const QString suffix = freeSuffix(masterTarget, widthTarget);

    SaveFile master(madePath(masterTarget, suffix));
    if (!master.create(masterExists ? &oldMasterInfo : nullptr) || !copyRecords(store, master, why))
        return failed(error, why.isEmpty() ? master.errorString() : why);
    if (!reached(SaveStep::MasterWritten, why))
        return failed(error, why);
    if (!master.finish())
        return failed(error, master.errorString());
    if (!reached(SaveStep::MasterSynced, why))
        return failed(error, why);
    const QByteArray widthText = widthFileText(widths);
    SaveFile width(madePath(widthTarget, suffix));
    if (!width.create(widthExists ? &oldWidthInfo : nullptr) || !width.write(widthText) || !width.finish())
        return failed(error, width.errorString());
    if (!reached(SaveStep::WidthSynced, why))
        return failed(error, why);

    SaveJournal journal;
    journal.suffix = suffix;
    journal.masterName = native(QFileInfo(masterTarget).fileName());
    journal.widthPath = native(widthTarget);
    if (!folderIdentity(masterTarget, journal.folderDevice, journal.folderInode, why) ||
        !folderIdentity(widthTarget, journal.widthFolderDevice, journal.widthFolderInode, why))
        return failed(error, why);
    // The files the save keeps, as they are now; the lock keeps other programs' saves from them.
    journal.oldMaster = masterExists ? identityAt(masterTarget) : std::nullopt;
    journal.oldWidth = widthExists ? identityAt(widthTarget) : std::nullopt;
    if (masterExists != journal.oldMaster.has_value() || widthExists != journal.oldWidth.has_value())
        return failed(error, systemFailure(QStringLiteral("cannot look at"), masterTarget, EAGAIN));
    journal.newMaster = *master.identity();
    journal.newWidth = *width.identity();
    const QString journalFile = journalPath(masterTarget, suffix, false);
    SaveFile journalWriter(journalFile);
    const QByteArray journalText = journal.text();
    if (!journalWriter.create() || !journalWriter.write(journalText) || !journalWriter.finish() ||
        !journalWriter.link())
        return failed(error, journalWriter.errorString());
    journalWriter.handOver();
    master.handOver();
    width.handOver();
    const FileIdentity journalIdentity = *journalWriter.identity();
    if (const int code = platform::syncFolder(folderOf(journalFile)); code != 0) {
        undo(journalFile, journalIdentity, journal, masterTarget, widthTarget);
        return failed(error, systemFailure(QStringLiteral("cannot sync"), journalFile, code));
    }

    const bool replaced =
        reached(SaveStep::JournalWritten, why) && keep(masterTarget, masterExists, suffix, why) &&
        reached(SaveStep::MasterKept, why) && keep(widthTarget, widthExists, suffix, why) &&
        reached(SaveStep::WidthKept, why) && putInPlace(master, masterTarget, why) &&
        reached(SaveStep::MasterReplaced, why) && putInPlace(width, widthTarget, why) &&
        reached(SaveStep::WidthReplaced, why) && syncFolders(masterTarget, widthTarget, why) &&
        reached(SaveStep::FoldersSynced, why);
    if (!replaced) {
        undo(journalFile, journalIdentity, journal, masterTarget, widthTarget);
        return failed(error, why);
    }
    // The one rename after which the new pair holds.
    const QString doneFile = journalPath(masterTarget, suffix, true);
    if (!renameExclusively(journalFile, doneFile)) {
        why = systemFailure(QStringLiteral("cannot finish the save journal"), journalFile, errno);
        undo(journalFile, journalIdentity, journal, masterTarget, widthTarget);
        return failed(error, why);
    }
    if (platform::syncFolder(folderOf(doneFile)) != 0 || !reached(SaveStep::JournalRemoved, why)) {
        // The new pair is in place and stays: what is left goes with the next open or save.
        return true;
    }
    if (settleJournal(doneFile, journalIdentity, journal, true, masterTarget, widthTarget, &why) !=
        Settled::Done)
        qWarning("%s", qPrintable(why));
    reached(SaveStep::KeptRemoved, why);
    return true;
}

} // namespace masters
