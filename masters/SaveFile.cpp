#include "SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace masters {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

SaveFile::~SaveFile()
{
    if (!handedOver_)
        discard();
    else if (fd_ >= 0)
        ::close(fd_); // an unnamed file goes with it; a named one is the journal's
}

bool SaveFile::fail(const QString &what, int code)
{
    error_ = QStringLiteral("%1 %2: %3").arg(what, name_, QString::fromLocal8Bit(std::strerror(code)));
    discard();
    return false;
}

bool SaveFile::create(const struct stat *like)
{
    discard();
    error_.clear();
#ifdef O_TMPFILE
    fd_ = ::open(native(QFileInfo(name_).path()).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
#endif
    if (fd_ < 0) {
        // No unnamed files here (a network file system, say): the name is taken now.
        fd_ = ::open(native(name_).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0)
            return fail(QStringLiteral("cannot create"), errno);
        named_ = true;
    }
    if (like != nullptr) {
        if (::fchmod(fd_, like->st_mode & 07777) != 0)
            return fail(QStringLiteral("cannot set the permissions of"), errno);
        // Only root may give a file away; anyone else's replacement is then their own.
        if ((like->st_uid != ::geteuid() || like->st_gid != ::getegid()) &&
            ::fchown(fd_, like->st_uid, like->st_gid) != 0 && errno != EPERM)
            return fail(QStringLiteral("cannot set the owner of"), errno);
    }
    return true;
}

bool SaveFile::write(const char *data, qint64 size)
{
    if (fd_ < 0)
        return fail(QStringLiteral("cannot write"), EBADF);
    while (size > 0) {
        const ssize_t count = ::write(fd_, data, static_cast<size_t>(size));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return fail(QStringLiteral("cannot write"), count < 0 ? errno : ENOSPC);
        data += count;
        size -= count;
    }
    return true;
}

bool SaveFile::finish()
{
    if (fd_ < 0)
        return fail(QStringLiteral("cannot sync"), EBADF);
    if (::fsync(fd_) != 0)
        return fail(QStringLiteral("cannot sync"), errno);
    identity_ = identityOf(fd_);
    if (!identity_)
        return fail(QStringLiteral("cannot look at"), errno != 0 ? errno : EIO);
    return true;
}

bool SaveFile::link()
{
    if (fd_ < 0 || !identity_)
        return fail(QStringLiteral("cannot name"), EBADF);
    if (!named_) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(name_).constData(), AT_SYMLINK_FOLLOW) != 0)
            return fail(QStringLiteral("cannot name"), errno);
        named_ = true;
    }
    // Closed only now: the new file's bytes reached the disk with its sync, and a failing close of a
    // file on a network file system is seen here, before the file is put anywhere.
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        error_ =
            QStringLiteral("cannot close %1: %2").arg(name_, QString::fromLocal8Bit(std::strerror(errno)));
        discard();
        return false;
    }
    return true;
}

void SaveFile::discard()
{
    if (fd_ >= 0) {
        struct stat held {};
        struct stat there {};
        // A name of ours goes only while it is still the file made here.
        if (named_ && ::fstat(fd_, &held) == 0 && ::lstat(native(name_).constData(), &there) == 0 &&
            held.st_dev == there.st_dev && held.st_ino == there.st_ino)
            ::unlink(native(name_).constData());
        ::close(fd_);
        fd_ = -1;
    } else if (named_ && identity_ && isFile(name_, *identity_)) {
        ::unlink(native(name_).constData());
    }
    named_ = false;
    identity_.reset();
}

bool mayReplace(const QString &target, struct stat &info, bool &exists, QString &why)
{
    exists = ::stat(native(target).constData(), &info) == 0;
    if (!exists && errno != ENOENT) {
        why =
            QStringLiteral("cannot look at %1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        why = QStringLiteral("%1 is not a plain file").arg(target);
        return false;
    }
    if (exists && (::access(native(target).constData(), W_OK) != 0 || (info.st_mode & 0222) == 0)) {
        why = QStringLiteral("%1 is read-only").arg(target);
        return false;
    }
    return true;
}

} // namespace masters
