#include "SingleInstance.h"

#include "platform/PrivateFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString systemError(const QString &what, const QString &path, int error)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error)));
}

bool lockFolder(QString &folder, QString &error)
{
    folder = qEnvironmentVariable("HARBROOK_LOCK_DIR");
    if (!folder.isEmpty())
        return true;
    folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!folder.isEmpty() && checkPrivateFolder(folder))
        return true;
    // The lock must have one name for every instance: a folder someone else made is no place for it,
    // and a new unique one would be found by no other instance.
    folder = QDir(QDir::tempPath()).filePath(QStringLiteral("harbrook-%1").arg(::geteuid()));
    return makePrivateFolder(folder, &error);
}

// The class and title may hold anything, path separators included; only a digest of them reaches
// the file name, behind a readable part reduced to safe characters.
QString lockFileName(const QString &windowClass, const QString &title)
{
    QString readable;
    for (const QChar c : windowClass.left(64)) {
        const bool safe = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                          c == u'_' || c == u'-';
        readable += safe ? c : u'_';
    }
    const QByteArray identity = windowClass.toUtf8() + '\0' + title.toUtf8();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(32);
    return QStringLiteral("harbrook-%1-%2.lock").arg(readable, QString::fromLatin1(digest));
}

} // namespace

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

void SingleInstanceLock::release()
{
    // The file stays: removing it would let a starter that already opened it lock a file nobody
    // else can see, and two instances would run.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

SingleInstanceLock::Result SingleInstanceLock::acquire(const QString &windowClass, const QString &title)
{
    release();
    error_.clear();

    QString folder;
    if (!lockFolder(folder, error_))
        return Result::Failed;
    const QString path = QDir(folder).filePath(lockFileName(windowClass, title));
    const QByteArray native = QFile::encodeName(path);

    // Close-on-exec: a program this instance starts must not keep the lock alive after it ends.
    int fd;
    do {
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error_ = systemError(QStringLiteral("Cannot open the lock file"), path, errno);
        return Result::Failed;
    }

    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::Held;
        error_ = systemError(QStringLiteral("Cannot lock"), path, error);
        return Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

} // namespace platform
