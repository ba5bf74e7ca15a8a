#include "FileSystemFaults.h"

#include "TestIsolation.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace testsupport {

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0)
        return;
    struct rlimit limit = saved_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!active_)
        std::signal(SIGXFSZ, savedHandler_);
}

FileSizeLimit::~FileSizeLimit()
{
    if (!active_)
        return;
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
}

SmallFileSystem::SmallFileSystem(qint64 bytes)
{
    path_ = caseFolder() + QStringLiteral("/small-fs");
    if (!QDir().mkpath(path_)) {
        why_ = QStringLiteral("cannot make the mount point %1").arg(path_);
        return;
    }
    if (::geteuid() != 0) {
        why_ = QStringLiteral("mounting a tmpfs needs root; this runs as uid %1").arg(::geteuid());
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        why_ = QStringLiteral("mounting a tmpfs is not permitted here: %1").arg(std::strerror(errno));
        return;
    }
    mounted_ = true;
}

SmallFileSystem::~SmallFileSystem()
{
    if (mounted_ && ::umount2(QFile::encodeName(path_).constData(), 0) != 0)
        ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
}

QByteArray numberedBytes(qsizetype size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed) % 251);
    return bytes;
}

} // namespace testsupport
