#include "SaveRecovery.h"

#include "masters/MasterFields.h"
#include "masters/MasterLock.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace masters {

namespace {

RecoveryStepHook stepHook = nullptr;

void stepDone()
{
    if (stepHook != nullptr)
        stepHook();
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool failed(QString *error, const QString &what, const QString &path, int code)
{
    if (error != nullptr)
        *error = QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(code)));
    return false;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).path();
}

bool isFolder(const QString &path, quint64 device, quint64 inode)
{
    struct stat info {};
    return ::stat(native(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_dev == device &&
           info.st_ino == inode;
}

// What stands at a name the journal gives, against what the journal says may stand there.
enum class State { Absent, Old, New, Other };

State stateOf(const QString &path, const std::optional<FileIdentity> &old, const FileIdentity *made)
{
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0)
        return errno == ENOENT ? State::Absent : State::Other;
    const std::optional<FileIdentity> there = identityAt(path);
    if (there && old && *there == *old)
        return State::Old;
    if (there && made != nullptr && *there == *made)
        return State::New;
    return State::Other;
}

struct Step {
    enum class Kind { PutBack, Remove } kind;
    QString from; // what is renamed or removed
    QString to;   // where it is put back
    FileIdentity is;
};

// The steps that settle one of the two files, or false when what is on disk is not what the
// journal describes.
bool plan(const QString &target, const QString &suffix, const std::optional<FileIdentity> &old,
          const FileIdentity &made, bool done, std::vector<Step> &steps)
{
    const QString kept = keptPath(target, suffix);
    const QString fresh = madePath(target, suffix);
    const State atTarget = stateOf(target, old, &made);
    const State atKept = stateOf(kept, old, nullptr);
    const State atFresh = stateOf(fresh, std::nullopt, &made);
    if (atKept == State::Other || atFresh == State::Other)
        return false;
    if (done) {
        // The new pair holds: only the save's own second names go, whatever became of the targets.
        if (atKept == State::Old)
            steps.push_back({Step::Kind::Remove, kept, {}, *old});
    } else if (atTarget == State::Other) {
        return false;
    } else if (atTarget == State::New || (atTarget == State::Absent && old)) {
        if (old) {
            if (atKept != State::Old)
                return false; // the old file is not where the journal says it was kept
            steps.push_back({Step::Kind::PutBack, kept, target, *old});
        } else {
            steps.push_back({Step::Kind::Remove, target, {}, made});
        }
    } else if (atKept == State::Old) {
        steps.push_back({Step::Kind::Remove, kept, {}, *old}); // a second link of the file in place
    }
    if (atFresh == State::New)
        steps.push_back({Step::Kind::Remove, fresh, {}, made});
    return true;
}

struct JournalFile {
    QByteArray text;
    FileIdentity identity;
};

// The content of a plain file of at most JournalLimit bytes at path; a link, a device, a pipe or a
// larger file gives nothing.
std::optional<JournalFile> readJournal(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<JournalFile> read;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= JournalLimit) {
        QByteArray text(info.st_size + 1, '\0');
        const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
        if (got == info.st_size) {
            text.truncate(got);
            if (const std::optional<FileIdentity> identity = identityOf(fd))
                read = JournalFile{text, *identity};
        }
    }
    ::close(fd);
    return read;
}

} // namespace

void setRecoveryStepHook(RecoveryStepHook hook)
{
    stepHook = hook;
}

QString Recovery::refusalText(bool saving) const
{
    switch (status) {
    case Status::Busy:
        return path + (saving ? QStringLiteral("\r\nは他のプログラムが使用中のため、保存できません。")
                              : QStringLiteral("\r\nは他のプログラムが使用中のため、開けません。"));
    case Status::Refused:
        return path + QStringLiteral("\r\nの保存記録がファイルと一致しないため、開けません。");
    case Status::Done:
    case Status::Failed:
        break;
    }
    return {};
}

Settled settleJournal(const QString &journalFile, const FileIdentity &journalIdentity,
                      const SaveJournal &journal, bool done, const QString &masterTarget,
                      const QString &widthTarget, QString *error)
{
    // The journal speaks of this master and this width file, in these folders, or of nothing.
    if (!isFolder(folderOf(masterTarget), journal.folderDevice, journal.folderInode) ||
        journal.masterName != native(QFileInfo(masterTarget).fileName()) ||
        journal.widthPath != native(widthTarget) ||
        !isFolder(folderOf(widthTarget), journal.widthFolderDevice, journal.widthFolderInode) ||
        folderOf(journalFile) != folderOf(masterTarget))
        return Settled::NotProved;
    std::vector<Step> steps;
    if (!plan(masterTarget, journal.suffix, journal.oldMaster, journal.newMaster, done, steps) ||
        !plan(widthTarget, journal.suffix, journal.oldWidth, journal.newWidth, done, steps))
        return Settled::NotProved;
    const auto fail = [&](const QString &what, const QString &path, int code) {
        failed(error, what, path, code);
        return Settled::Failed;
    };
    for (const Step &step : steps) {
        // Looked at again right before: nothing is renamed or removed that is not the journal's file.
        if (!isFile(step.from, step.is))
            return fail(QStringLiteral("changed while it was put back:"), step.from, EAGAIN);
        if (step.kind == Step::Kind::PutBack) {
            if (::rename(native(step.from).constData(), native(step.to).constData()) != 0)
                return fail(QStringLiteral("cannot put back"), step.to, errno);
        } else if (::unlink(native(step.from).constData()) != 0 && errno != ENOENT) {
            return fail(QStringLiteral("cannot remove"), step.from, errno);
        }
        stepDone();
    }
    for (const QString &folder : {folderOf(masterTarget), folderOf(widthTarget)}) {
        if (const int code = platform::syncFolder(folder); code != 0)
            return fail(QStringLiteral("cannot sync"), folder, code);
    }
    if (isFile(journalFile, journalIdentity) && ::unlink(native(journalFile).constData()) != 0 &&
        errno != ENOENT)
        return fail(QStringLiteral("cannot remove"), journalFile, errno);
    stepDone();
    if (const int code = platform::syncFolder(folderOf(journalFile)); code != 0)
        return fail(QStringLiteral("cannot sync"), journalFile, code);
    return Settled::Done;
}

bool pairFits(const QString &masterTarget, const QString &widthTarget)
{
    struct stat info {};
    if (::lstat(native(widthTarget).constData(), &info) != 0 && errno == ENOENT)
        return false;
    const WidthFileRead widths = readWidthFileAt(widthTarget);
    QFile master(masterTarget);
    if (widths.status != WidthFileRead::Status::Ok || !master.open(QIODevice::ReadOnly))
        return false;
    const qint64 length = recordLength(widths.widths) + 2;
    const qint64 size = master.size();
    if (size % length != 0)
        return false;
    for (const qint64 end : {length, size}) {
        if (size == 0)
            break;
        if (!master.seek(end - 2) || master.read(2) != "\r\n")
            return false;
    }
    return true;
}

Recovery recoverInterruptedSaves(const MasterLock &lock)
{
    Recovery recovery;
    const QString masterTarget = lock.target();
    switch (lock.status()) {
    case MasterLock::Status::Held:
    case MasterLock::Status::NoLockFile:
        break;
    case MasterLock::Status::Busy:
        return Recovery{Recovery::Status::Busy, masterTarget, lock.errorString()};
    case MasterLock::Status::Failed:
        return Recovery{Recovery::Status::Failed, masterTarget, lock.errorString()};
    }
    const QString widthTarget =
        platform::AtomicFile::followLinks(widthFilePath(masterTarget)).value_or(widthFilePath(masterTarget));
    const QFileInfo master(masterTarget);
    const QDir folder(master.path());
    QString unproved;
    for (const QString &entry : folder.entryList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const std::optional<JournalName> name = journalName(entry, master.fileName());
        if (!name)
            continue;
        const QString path = folder.filePath(entry);
        const std::optional<JournalFile> file = readJournal(path);
        const std::optional<SaveJournal> journal = file ? SaveJournal::parse(file->text) : std::nullopt;
        const Settled settled = journal && journal->suffix == name->suffix
                                    ? settleJournal(path, file->identity, *journal, name->done, masterTarget,
                                                    widthTarget, &recovery.error)
                                    : Settled::NotProved;
        if (settled == Settled::Failed) {
            recovery.status = Recovery::Status::Failed;
            recovery.path = path;
            return recovery;
        }
        if (settled == Settled::NotProved)
            unproved = path;
    }
    // What saves before these journals left proves nothing either.
    const QString first = firstJournalPath(masterTarget);
    if (const std::optional<JournalFile> file = readJournal(first); file && isFirstJournal(file->text))
        unproved = first;
    if (!unproved.isEmpty() && !pairFits(masterTarget, widthTarget)) {
        recovery.status = Recovery::Status::Refused;
        recovery.path = unproved;
    }
    return recovery;
}

Recovery recoverInterruptedSave(const QString &masterPath)
{
    const std::optional<QString> masterTarget = platform::AtomicFile::followLinks(masterPath);
    if (!masterTarget)
        return {}; // nothing was saved there: the links go round
    const MasterLock lock(*masterTarget);
    return recoverInterruptedSaves(lock);
}

} // namespace masters
