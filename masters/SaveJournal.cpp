#include "SaveJournal.h"

#include "platform/AtomicFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace masters {

namespace {

const QByteArray Magic = "harbrook master save 2";
const QByteArray FirstMagic = "harbrook master save 1";
const QString Marker = QStringLiteral(".harbrook-");
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

// ".<name>.harbrook-<kind>" beside target.
QString markedPath(const QString &target, const QString &kind)
{
    const QFileInfo info(target);
    return info.path() + QStringLiteral("/.") + info.fileName() + Marker + kind;
}

std::optional<FileIdentity> identityFrom(const struct stat &info)
{
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return identity;
}

QByteArray digestOf(const QByteArray &content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
}

QByteArray identityText(const std::optional<FileIdentity> &identity)
{
    if (!identity)
        return "-";
    return QByteArray::number(identity->device) + ' ' + QByteArray::number(identity->inode) + ' ' +
           QByteArray::number(identity->size) + ' ' + QByteArray::number(identity->modified) + ' ' +
           (identity->digest.isEmpty() ? QByteArray("-") : identity->digest);
}

bool isNumber(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 20)
        return false;
    for (int i = 0; i < text.size(); ++i) {
        if (!(text[i] >= '0' && text[i] <= '9') && !(i == 0 && text[i] == '-' && text.size() > 1))
            return false;
    }
    return true;
}

std::optional<quint64> unsignedFrom(const QByteArray &text)
{
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    return ok && isNumber(text) && text[0] != '-' ? std::optional(value) : std::nullopt;
}

std::optional<qint64> signedFrom(const QByteArray &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok && isNumber(text) ? std::optional(value) : std::nullopt;
}

bool isDigest(const QByteArray &text)
{
    if (text.size() != 64)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// "<device> <inode> <size> <modified> <digest|->", or "-" where allowed.
bool parseIdentity(const QByteArray &text, bool mayBeNone, std::optional<FileIdentity> &into)
{
    if (text == "-") {
        into.reset();
        return mayBeNone;
    }
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 5)
        return false;
    const auto device = unsignedFrom(parts[0]);
    const auto inode = unsignedFrom(parts[1]);
    const auto size = signedFrom(parts[2]);
    const auto modified = signedFrom(parts[3]);
    if (!device || !inode || !size || *size < 0 || !modified || (parts[4] != "-" && !isDigest(parts[4])))
        return false;
    into = FileIdentity{*device, *inode, *size, *modified, parts[4] == "-" ? QByteArray() : parts[4]};
    return true;
}

bool parseFolder(const QByteArray &text, quint64 &device, quint64 &inode)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 2)
        return false;
    const auto d = unsignedFrom(parts[0]);
    const auto i = unsignedFrom(parts[1]);
    if (!d || !i)
        return false;
    device = *d;
    inode = *i;
    return true;
}

bool isHex(const QByteArray &text)
{
    if (text.isEmpty() || text.size() % 2 != 0)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

std::optional<FileIdentity> identityAt(const QString &path)
{
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return identityFrom(info)->size > DigestLimit ? identityFrom(info) : std::nullopt;
    std::optional<FileIdentity> identity = identityOf(fd);
    ::close(fd);
    // Another file took the name while it was looked at.
    if (identity && (identity->device != info.st_dev || identity->inode != info.st_ino))
        return std::nullopt;
    return identity;
}

std::optional<FileIdentity> identityOf(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    std::optional<FileIdentity> identity = identityFrom(info);
    if (identity && identity->size <= DigestLimit) {
        QByteArray content(identity->size + 1, '\0');
        const ssize_t got = ::pread(fd, content.data(), content.size(), 0);
        if (got != identity->size)
            return std::nullopt;
        content.truncate(got);
        identity->digest = digestOf(content);
    }
    return identity;
}

bool isFile(const QString &path, const FileIdentity &identity)
{
    const std::optional<FileIdentity> there = identityAt(path);
    return there && *there == identity;
}

QByteArray SaveJournal::text() const
{
    QByteArray text = Magic + '\n';
    text += "suffix " + suffix.toLatin1() + '\n';
    text += "folder " + QByteArray::number(folderDevice) + ' ' + QByteArray::number(folderInode) + '\n';
    text += "master " + masterName.toHex() + '\n';
    text += "width " + widthPath.toHex() + '\n';
    text += "width-folder " + QByteArray::number(widthFolderDevice) + ' ' +
            QByteArray::number(widthFolderInode) + '\n';
    text += "master-old " + identityText(oldMaster) + '\n';
    text += "master-new " + identityText(newMaster) + '\n';
    text += "width-old " + identityText(oldWidth) + '\n';
    text += "width-new " + identityText(newWidth) + '\n';
    text += "check " + digestOf(text) + '\n';
    return text;
}

std::optional<SaveJournal> SaveJournal::parse(const QByteArray &text)
{
    if (text.size() > JournalLimit || !text.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    const char *const keys[] = {"suffix ",     "folder ",     "master ",    "width ",     "width-folder ",
                                "master-old ", "master-new ", "width-old ", "width-new ", "check "};
    constexpr int Keys = sizeof keys / sizeof keys[0];
    if (lines.size() != Keys + 1 || lines[0] != Magic)
        return std::nullopt;
    QList<QByteArray> values;
    for (int i = 0; i < Keys; ++i) {
        if (!lines[i + 1].startsWith(keys[i]))
            return std::nullopt;
        values << lines[i + 1].mid(qstrlen(keys[i]));
    }
    SaveJournal journal;
    journal.suffix = QString::fromLatin1(values[0]);
    std::optional<FileIdentity> newMaster;
    std::optional<FileIdentity> newWidth;
    if (!isSuffix(journal.suffix) || !parseFolder(values[1], journal.folderDevice, journal.folderInode) ||
        !isHex(values[2]) || !isHex(values[3]) ||
        !parseFolder(values[4], journal.widthFolderDevice, journal.widthFolderInode) ||
        !parseIdentity(values[5], true, journal.oldMaster) || !parseIdentity(values[6], false, newMaster) ||
        !parseIdentity(values[7], true, journal.oldWidth) || !parseIdentity(values[8], false, newWidth))
        return std::nullopt;
    journal.masterName = QByteArray::fromHex(values[2]);
    journal.widthPath = QByteArray::fromHex(values[3]);
    journal.newMaster = *newMaster;
    journal.newWidth = *newWidth;
    // Anything but what this journal writes, a torn or edited one too, is no journal.
    if (journal.masterName.contains('/') || journal.masterName.contains('\0') ||
        !journal.widthPath.startsWith('/') || journal.widthPath.contains('\0') || journal.text() != text)
        return std::nullopt;
    return journal;
}

QString journalPath(const QString &masterTarget, const QString &suffix, bool done)
{
    return markedPath(masterTarget, (done ? QStringLiteral("done-") : QStringLiteral("save-")) + suffix);
}

std::optional<JournalName> journalName(const QString &fileName, const QString &masterName)
{
    const QString stem = QLatin1Char('.') + masterName + Marker;
    if (!fileName.startsWith(stem))
        return std::nullopt;
    const QStringView rest = QStringView(fileName).mid(stem.size());
    for (const bool done : {false, true}) {
        const QString kind = done ? QStringLiteral("done-") : QStringLiteral("save-");
        if (rest.startsWith(kind) && isSuffix(rest.mid(kind.size())))
            return JournalName{rest.mid(kind.size()).toString(), done};
    }
    return std::nullopt;
}

QString keptPath(const QString &target, const QString &suffix)
{
    return markedPath(target, QStringLiteral("old-") + suffix);
}

QString madePath(const QString &target, const QString &suffix)
{
    return markedPath(target, QStringLiteral("new-") + suffix);
}

QString lockPath(const QString &masterTarget)
{
    return markedPath(masterTarget, QStringLiteral("lock"));
}

QString freeSuffix(const QString &masterTarget, const QString &widthTarget)
{
    // A folder that cannot be looked into makes the save fail when it creates its first file.
    QString suffix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        suffix = platform::randomNameSuffix();
        bool free = true;
        for (const QString &path :
             {journalPath(masterTarget, suffix, false), journalPath(masterTarget, suffix, true),
              keptPath(masterTarget, suffix), madePath(masterTarget, suffix), keptPath(widthTarget, suffix),
              madePath(widthTarget, suffix)}) {
            struct stat info {};
            free = free && ::lstat(native(path).constData(), &info) != 0 && errno == ENOENT;
        }
        if (free)
            break;
    }
    return suffix;
}

bool isFirstJournal(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    return lines.size() == 4 && lines[0] == FirstMagic && lines[1].startsWith("master ") &&
           lines[2].startsWith("width ") && lines[3].isEmpty();
}

QString firstJournalPath(const QString &masterTarget)
{
    return masterTarget + QStringLiteral(".saving");
}

} // namespace masters
