#include "platform/FileLock.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

const QByteArray Marker = "harbrook lock file\n";
constexpr std::chrono::milliseconds LookEvery{20};

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// 0, or the system's error. The lock of the open file where the kernel has it, else the process's.
int setLock(int fd, short type)
{
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
#endif
    return ::fcntl(fd, F_SETLK, &range) == 0 ? 0 : errno;
}

bool writeMarker(int fd)
{
    return ::fchmod(fd, 0666) == 0 && ::write(fd, Marker.constData(), Marker.size()) == Marker.size();
}

// Makes the lock file, which appears with its line in it where the file system can give a file its
// name after it was written. An open descriptor; -1 with errno (EEXIST: someone else made it).
int createLockFile(const QString &path)
{
    const QByteArray name = native(path);
#ifdef O_TMPFILE
    const int unnamed =
        ::open(native(QFileInfo(path).path()).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(unnamed);
        if (writeMarker(unnamed) &&
            ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return unnamed;
        const int error = errno;
        ::close(unnamed);
        errno = error;
        if (error != ENOENT && error != EPERM && error != EOPNOTSUPP)
            return -1;
    }
#endif
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 && !writeMarker(fd)) {
        // Still a lock file, though without the line that lets it go with the release.
        (void)::ftruncate(fd, 0);
    }
    return fd;
}

} // namespace

FileLock::~FileLock()
{
    release();
}

FileLock::Result FileLock::tryOnce()
{
    const QByteArray name = native(path_);
    int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = createLockFile(path_);
        if (fd < 0 && errno == EEXIST)
            return Result::Busy;
    }
    if (fd < 0) {
        code_ = errno;
        error_ = QStringLiteral("cannot open the lock file %1: %2")
                     .arg(path_, QString::fromLocal8Bit(std::strerror(code_)));
        return Result::Failed;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        code_ = EINVAL;
        error_ = QStringLiteral("%1 is not a lock file").arg(path_);
        return Result::Failed;
    }
    if (const int code = setLock(fd, F_WRLCK); code != 0) {
        ::close(fd);
        if (code == EAGAIN || code == EACCES)
            return Result::Busy;
        code_ = code;
        error_ = QStringLiteral("cannot lock %1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(code)));
        return Result::Failed;
    }
    // The holder before us may have removed the file after we opened it: the lock is then on a file
    // nobody else looks at.
    struct stat now {};
    if (::lstat(name.constData(), &now) != 0 || !sameFile(now, opened)) {
        ::close(fd);
        return Result::Busy;
    }
    QByteArray content(Marker.size() + 1, '\0');
    ours_ = ::pread(fd, content.data(), content.size(), 0) == Marker.size() &&
            content.left(Marker.size()) == Marker;
    fd_ = fd;
    return Result::Held;
}

FileLock::Result FileLock::acquire(const QString &path, std::chrono::milliseconds limit,
                                   const std::function<void()> &whileWaiting)
{
    release();
    path_ = path;
    error_.clear();
    code_ = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const Result result = tryOnce();
        if (result != Result::Busy)
            return result;
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = QStringLiteral("%1 is held by another program").arg(path_);
            return Result::Busy;
        }
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(LookEvery);
    }
}

void FileLock::release()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that whoever waits for it finds it gone and makes a new one.
    struct stat held {};
    struct stat named {};
    if (ours_ && ::fstat(fd_, &held) == 0 && ::lstat(native(path_).constData(), &named) == 0 &&
        sameFile(held, named))
        ::unlink(native(path_).constData());
    setLock(fd_, F_UNLCK);
    ::close(fd_);
    fd_ = -1;
    ours_ = false;
}

} // namespace platform
