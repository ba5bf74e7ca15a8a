#include "MasterSave.h"

#include "masters/RecordStore.h"
#include "masters/SaveJournal.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
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

bool isThere(const QString &path)
{
    struct stat info {};
    return ::lstat(native(path).constData(), &info) == 0;
}

// Gives the old file a second name, so that it can be put back with one rename (which needs no room
// on a full disk). Without hard links the file moves to that name: the journal puts it back.
bool keep(const QString &target, const std::optional<QString> &suffix, QString &why)
{
    if (!suffix)
        return true;
    const QByteArray from = native(target);
    const QByteArray to = native(keptPath(target, *suffix));
    if (::link(from.constData(), to.constData()) == 0)
        return true;
    const int linkError = errno;
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != EMLINK && linkError != EXDEV &&
        linkError != ENOSYS) {
        why = systemFailure(QStringLiteral("cannot keep"), target, linkError);
        return false;
    }
    if (::rename(from.constData(), to.constData()) != 0) {
        why = systemFailure(QStringLiteral("cannot keep"), target, errno);
        return false;
    }
    return true;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).path();
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

// From the journal on: the old pair back and the journal gone, or the journal left for the next open
// or save, which tries again.
void undo(const SaveJournal &journal, const QString &masterTarget, const QString &widthTarget)
{
    QString why;
    if (!rollBack(journal, masterTarget, widthTarget, &why)) {
        qWarning("%s", qPrintable(why));
        return;
    }
    if (::unlink(native(journalPath(masterTarget)).constData()) != 0 && errno != ENOENT)
        qWarning("cannot remove the save journal of %s: %s", qPrintable(masterTarget), std::strerror(errno));
}

} // namespace

void setSaveStepHook(SaveStepHook hook)
{
    stepHook = hook;
}

bool recoverInterruptedSave(const QString &masterPath, QString *error)
{
    const std::optional<QString> masterTarget = platform::AtomicFile::followLinks(masterPath);
    if (!masterTarget)
        return true; // nothing was saved there: the links go round
    const QString widthTarget = platform::AtomicFile::followLinks(widthFilePath(*masterTarget))
                                    .value_or(widthFilePath(*masterTarget));
    const QString journalFile = journalPath(*masterTarget);
    QFile file(journalFile);
    // A file of that name that is no journal of ours is left alone.
    const std::optional<SaveJournal> journal =
        file.open(QIODevice::ReadOnly) ? SaveJournal::parse(file.read(4096)) : std::nullopt;
    if (journal) {
        if (!rollBack(*journal, *masterTarget, widthTarget, error))
            return false;
        if (::unlink(native(journalFile).constData()) != 0 && errno != ENOENT)
            return failed(error, systemFailure(QStringLiteral("cannot remove"), journalFile, errno));
        if (const int code = platform::syncFolder(folderOf(journalFile)); code != 0)
            return failed(error, systemFailure(QStringLiteral("cannot sync"), journalFile, code));
    } else {
        restoreFittingWidthFile(*masterTarget, widthTarget);
    }
    removeSaveLeftovers(*masterTarget);
    removeSaveLeftovers(widthTarget);
    removeSaveLeftovers(journalFile);
    return true;
}

bool saveMasterFiles(RecordStore &store, const QString &masterPath, const std::vector<int> &widths,
                     QString *error)
{
    QString why;
    if (!recoverInterruptedSave(masterPath, &why))
        return failed(error, why);
    platform::AtomicFile master(masterPath);
    if (!master.open())
        return failed(error, master.errorString());
    if (!store.copyOut(master)) {
        master.cancel();
        return failed(error, store.errorString());
    }
    if (!reached(SaveStep::MasterWritten, why))
        return failed(error, why);
    if (!master.finish())
        return failed(error, master.errorString());
    if (!reached(SaveStep::MasterSynced, why))
        return failed(error, why);
    const QString masterTarget = master.targetPath();
    platform::AtomicFile width(widthFilePath(masterTarget));
    if (!width.open() || !width.write(widthFileText(widths)) || !width.finish())
        return failed(error, width.errorString());
    if (!reached(SaveStep::WidthSynced, why))
        return failed(error, why);
    const QString widthTarget = width.targetPath();

    SaveJournal journal;
    if (isThere(masterTarget))
        journal.master = freeKeptSuffix(masterTarget);
    if (isThere(widthTarget))
        journal.width = freeKeptSuffix(widthTarget);
    const QString journalFile = journalPath(masterTarget);
    if (!platform::writeFileAtomically(journalFile, journal.text(), &why))
        return failed(error, why);

    const bool replaced =
        reached(SaveStep::JournalWritten, why) && keep(masterTarget, journal.master, why) &&
        reached(SaveStep::MasterKept, why) && keep(widthTarget, journal.width, why) &&
        reached(SaveStep::WidthKept, why) && (master.replaceTarget() || failed(&why, master.errorString())) &&
        reached(SaveStep::MasterReplaced, why) &&
        (width.replaceTarget() || failed(&why, width.errorString())) &&
        reached(SaveStep::WidthReplaced, why) && syncFolders(masterTarget, widthTarget, why) &&
        reached(SaveStep::FoldersSynced, why);
    if (!replaced) {
        undo(journal, masterTarget, widthTarget);
        return failed(error, why);
    }
    // Once the journal is gone the new pair holds; the folder is synced before the kept files go, so
    // that no crash finds the journal without them.
    if (::unlink(native(journalFile).constData()) != 0) {
        why = systemFailure(QStringLiteral("cannot remove"), journalFile, errno);
        undo(journal, masterTarget, widthTarget);
        return failed(error, why);
    }
    if (platform::syncFolder(folderOf(journalFile)) != 0 || !reached(SaveStep::JournalRemoved, why)) {
        // The new pair is in place and stays: only a crash could still bring the journal back.
        return true;
    }
    for (const auto &[target, suffix] :
         {std::pair{masterTarget, journal.master}, std::pair{widthTarget, journal.width}}) {
        if (suffix && ::unlink(native(keptPath(target, *suffix)).constData()) != 0 && errno != ENOENT)
            qWarning("cannot remove %s: %s", qPrintable(keptPath(target, *suffix)), std::strerror(errno));
    }
    reached(SaveStep::KeptRemoved, why);
    return true;
}

} // namespace masters
