#include "RegistryFile.h"

#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::registry {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

QString systemError(const QString &what, const QString &path, int error)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error)));
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool readAll(int fd, QByteArray &bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0)
            return true;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(buffer, count);
    }
}

// Only a writer holding the lock has a temporary file open, so under the lock any left are from a
// writer that died.
void removeStaleTemporaries(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QString prefix = AtomicFile::temporaryPrefix(path);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString stale = folder.filePath(name);
        if (::unlink(QFile::encodeName(stale).constData()) != 0 && errno != ENOENT)
            qWarning("registry: %s", qPrintable(systemError(QStringLiteral("cannot remove"), stale, errno)));
    }
}

// Keeps the invalid store under a name of its own. A second link to it, not a rename: the store's
// name keeps its old content until the new store is in place, whatever happens in between.
bool setAside(const QString &path, QString *error)
{
    const QString base = path + QStringLiteral(".corrupt-") +
                         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'hhmmss.zzz'Z'"));
    QString backup = base;
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = base + QLatin1Char('-') + QString::number(n);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(backup).constData()) != 0) {
        // A file system without hard links gets a copy.
        QFile store(path);
        QString copyError;
        if (!store.open(QIODevice::ReadOnly) || !writeFileAtomically(backup, store.readAll(), &copyError))
            return fail(error, QStringLiteral("cannot set aside the invalid store %1: %2")
                                   .arg(path, copyError.isEmpty() ? store.errorString() : copyError));
    }
    qWarning("registry: the store %s was not valid; kept as %s, starting empty", qPrintable(path),
             qPrintable(backup));
    return true;
}

} // namespace

QString storePath()
{
    const QString configured = qEnvironmentVariable("HARBROOK_REGISTRY");
    if (!configured.isEmpty())
        return QFileInfo(configured).absoluteFilePath();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/harbrook/registry.json");
}

LoadResult loadStore(const QString &path)
{
    LoadResult result;
    if (path.isEmpty()) {
        result.status = LoadResult::Status::Unreadable;
        result.error = QStringLiteral("no folder for the registry store");
        return result;
    }
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = errno == ENOENT ? LoadResult::Status::Missing : LoadResult::Status::Unreadable;
        result.error = systemError(QStringLiteral("cannot open"), path, errno);
        return result;
    }
    QByteArray bytes;
    if (!readAll(fd.get(), bytes)) {
        result.status = LoadResult::Status::Unreadable;
        result.error = systemError(QStringLiteral("cannot read"), path, errno);
        return result;
    }
    std::optional<Store> store = parse(bytes, &result.error);
    if (!store) {
        result.status = LoadResult::Status::Invalid;
        return result;
    }
    result.status = LoadResult::Status::Loaded;
    result.store = std::move(*store);
    return result;
}

bool updateStore(const QString &path, const Change &change, Store *result, QString *error)
{
    if (path.isEmpty())
        return fail(error, QStringLiteral("no folder for the registry store"));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(folder));

    const QString lockPath = path + QStringLiteral(".lock");
    Descriptor lock(::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0)
        return fail(error, systemError(QStringLiteral("cannot open"), lockPath, errno));
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return fail(error, systemError(QStringLiteral("cannot lock"), lockPath, errno));
    }
    // The lock is released when `lock` closes.

    // A store that is a link stays one: the file it points at is the store.
    const QString target = AtomicFile::followLinks(path).value_or(path);
    removeStaleTemporaries(target);
    LoadResult current = loadStore(path);
    if (current.status == LoadResult::Status::Unreadable)
        return fail(error, current.error);
    Store store = std::move(current.store);
    if (change(store)) {
        // Opened first: a read-only store is refused before anything is set aside.
        AtomicFile file(path);
        if (!file.open())
            return fail(error, file.errorString());
        if (current.status == LoadResult::Status::Invalid && !setAside(target, error))
            return false;
        if (!file.write(serialize(store)) || !file.commit())
            return fail(error, file.errorString());
    }
    if (result)
        *result = std::move(store);
    return true;
}

} // namespace platform::registry
