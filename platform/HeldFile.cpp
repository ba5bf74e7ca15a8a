#include "HeldFile.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A file is made under a name of its own and held before it takes its real name, so that no one
// who looks for unheld files ever sees it unheld under that name.
QString stagingPrefix(const QString &prefix)
{
    return QLatin1Char('.') + prefix;
}

bool lockNow(int fd)
{
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

HeldFile::~HeldFile()
{
    if (!path_.isEmpty())
        ::unlink(native(path_).constData());
    if (fd_ >= 0)
        ::close(fd_);
}

bool HeldFile::create(const QString &folder, const QString &prefix)
{
    const QDir dir(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString staging = dir.filePath(stagingPrefix(prefix) + randomNameSuffix());
        const int fd = ::open(native(staging).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error_ = QStringLiteral("cannot create %1: %2")
                         .arg(staging, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (!lockNow(fd)) {
            // Someone removing unheld files took it between the create and the lock.
            ::close(fd);
            ::unlink(native(staging).constData());
            continue;
        }
        const QString name = dir.filePath(prefix + randomNameSuffix());
        const bool named = ::link(native(staging).constData(), native(name).constData()) == 0;
        const int linkError = errno;
        ::unlink(native(staging).constData());
        if (!named) {
            ::close(fd);
            if (linkError == EEXIST || linkError == ENOENT)
                continue;
            error_ = QStringLiteral("cannot create %1: %2")
                         .arg(name, QString::fromLocal8Bit(std::strerror(linkError)));
            return false;
        }
        fd_ = fd;
        path_ = name;
        return true;
    }
    error_ = QStringLiteral("no free name for %1 in %2").arg(prefix, folder);
    return false;
}

int HeldFile::removeUnheld(const QString &folder, const QString &prefix)
{
    const QDir dir(folder);
    int removed = 0;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.startsWith(prefix) && !name.startsWith(stagingPrefix(prefix)))
            continue;
        const QByteArray path = native(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        // The file is removed while it is held here, so that no one takes it meanwhile.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && lockNow(fd) &&
            ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

} // namespace platform
