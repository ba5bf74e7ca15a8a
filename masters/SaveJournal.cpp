#include "SaveJournal.h"

#include "masters/MasterFields.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace masters {

namespace {

const QByteArray Magic = "harbrook master save 1";
constexpr int SuffixLength = 6;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool isSuffix(QStringView text)
{
    if (text.size() != SuffixLength)
        return false;
    for (const QChar c : text) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

bool exists(const QString &path)
{
    struct stat info {};
    return ::lstat(native(path).constData(), &info) == 0;
}

bool failed(QString *error, const QString &what, const QString &path, int code)
{
    if (error != nullptr)
        *error = QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(code)));
    return false;
}

QByteArray entry(const char *name, const std::optional<QString> &suffix)
{
    return QByteArray(name) + ' ' + (suffix ? suffix->toLatin1() : QByteArray("-")) + '\n';
}

bool putBack(const QString &target, const std::optional<QString> &suffix, QString *error)
{
    if (!suffix) {
        // There was no file before the save: a new one is the save's.
        if (::unlink(native(target).constData()) != 0 && errno != ENOENT)
            return failed(error, QStringLiteral("cannot remove"), target, errno);
        return true;
    }
    const QString kept = keptPath(target, *suffix);
    // Gone: either the save had not kept it yet (the target is still the old file) or it was put
    // back before.
    if (!exists(kept))
        return true;
    if (::rename(native(kept).constData(), native(target).constData()) != 0)
        return failed(error, QStringLiteral("cannot put back"), target, errno);
    // A kept link of the very file that is still there stays after the rename.
    if (::unlink(native(kept).constData()) != 0 && errno != ENOENT)
        return failed(error, QStringLiteral("cannot remove"), kept, errno);
    return true;
}

// Whether the master's length is a whole number of records of the widths, and its first and last
// records end in CR LF.
bool fits(QFile &master, const WidthFileRead &widths)
{
    if (widths.status != WidthFileRead::Status::Ok)
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

// The kept files "<target>.old-XXXXXX" beside target.
QStringList keptFiles(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QStringLiteral(".old-");
    const QDir folder(info.path());
    QStringList kept;
    for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        struct stat kind {};
        const QString path = folder.filePath(entry);
        if (entry.startsWith(prefix) && isSuffix(QStringView(entry).mid(prefix.size())) &&
            ::lstat(native(path).constData(), &kind) == 0 && S_ISREG(kind.st_mode))
            kept << path;
    }
    return kept;
}

} // namespace

QByteArray SaveJournal::text() const
{
    return Magic + '\n' + entry("master", master) + entry("width", width);
}

std::optional<SaveJournal> SaveJournal::parse(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != 4 || lines[0] != Magic || !lines[3].isEmpty())
        return std::nullopt;
    SaveJournal journal;
    const std::pair<const char *, std::optional<QString> *> fields[] = {{"master ", &journal.master},
                                                                        {"width ", &journal.width}};
    for (int i = 0; i < 2; ++i) {
        const QByteArray &line = lines[i + 1];
        if (!line.startsWith(fields[i].first))
            return std::nullopt;
        const QString value = QString::fromLatin1(line.mid(qstrlen(fields[i].first)));
        if (value == QStringLiteral("-"))
            continue;
        if (!isSuffix(value))
            return std::nullopt;
        *fields[i].second = value;
    }
    return journal;
}

QString journalPath(const QString &masterTarget)
{
    return masterTarget + QStringLiteral(".saving");
}

QString keptPath(const QString &target, const QString &suffix)
{
    return target + QStringLiteral(".old-") + suffix;
}

QString freeKeptSuffix(const QString &target)
{
    for (;;) {
        const QString suffix = platform::randomNameSuffix();
        if (!exists(keptPath(target, suffix)))
            return suffix;
    }
}

bool rollBack(const SaveJournal &journal, const QString &masterTarget, const QString &widthTarget,
              QString *error)
{
    if (!putBack(masterTarget, journal.master, error) || !putBack(widthTarget, journal.width, error))
        return false;
    for (const QString &folder : {QFileInfo(masterTarget).path(), QFileInfo(widthTarget).path()}) {
        if (const int code = platform::syncFolder(folder); code != 0)
            return failed(error, QStringLiteral("cannot sync"), folder, code);
    }
    return true;
}

bool restoreFittingWidthFile(const QString &masterTarget, const QString &widthTarget)
{
    QFile master(masterTarget);
    if (!QFileInfo(widthTarget).isFile() || !master.open(QIODevice::ReadOnly) ||
        fits(master, readWidthFileAt(widthTarget)))
        return false;
    for (const QString &kept : keptFiles(widthTarget)) {
        if (fits(master, readWidthFileAt(kept)) &&
            ::rename(native(kept).constData(), native(widthTarget).constData()) == 0) {
            platform::syncFolder(QFileInfo(widthTarget).path());
            return true;
        }
    }
    return false;
}

void removeSaveLeftovers(const QString &target)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    const QStringList prefixes{platform::AtomicFile::temporaryPrefix(target), name + QStringLiteral(".old-")};
    const QDir folder(info.path());
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        for (const QString &prefix : prefixes) {
            if (!entry.startsWith(prefix) || !isSuffix(QStringView(entry).mid(prefix.size())))
                continue;
            const QString path = folder.filePath(entry);
            struct stat kind {};
            // Only plain files of ours: a link of that name is nobody's leftover.
            if (::lstat(native(path).constData(), &kind) == 0 && S_ISREG(kind.st_mode) &&
                ::unlink(native(path).constData()) != 0)
                qWarning("cannot remove %s: %s", qPrintable(path), std::strerror(errno));
        }
    }
}

} // namespace masters
