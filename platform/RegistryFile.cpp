#include "RegistryFile.h"

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
#include <sys/stat.h>
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
    // Closes now and reports the result, which a plain destructor would have to drop.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

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

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t count = ::write(fd, data, static_cast<size_t>(left));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += count;
        left -= count;
    }
    return true;
}

// Makes a rename in the folder durable.
bool syncFolder(const QString &folder, QString *error)
{
    Descriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(error, systemError(QStringLiteral("cannot open folder"), folder, errno));
    // Some file systems cannot sync a folder; the rename is then as durable as they make it.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return fail(error, systemError(QStringLiteral("cannot sync folder"), folder, errno));
    return true;
}

QString temporaryPrefix(const QString &path)
{
    return QFileInfo(path).fileName() + QStringLiteral(".tmp-");
}

// Only a writer holding the lock has a temporary file open, so under the lock any left are from a
// writer that died.
void removeStaleTemporaries(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QString prefix = temporaryPrefix(path);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString stale = folder.filePath(name);
        if (::unlink(QFile::encodeName(stale).constData()) != 0 && errno != ENOENT)
            qWarning("registry: %s", qPrintable(systemError(QStringLiteral("cannot remove"), stale, errno)));
    }
}

bool setAside(const QString &path, QString *error)
{
    const QString base = path + QStringLiteral(".corrupt-") +
                         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'hhmmss.zzz'Z'"));
    QString backup = base;
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = base + QLatin1Char('-') + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(backup).constData()) != 0)
        return fail(error, systemError(QStringLiteral("cannot set aside the invalid store"), path, errno));
    qWarning("registry: the store %s was not valid; kept as %s, starting empty", qPrintable(path),
             qPrintable(backup));
    return syncFolder(QFileInfo(path).absolutePath(), error);
}

bool replaceAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(path);
    QByteArray name =
        QFile::encodeName(info.absoluteDir().filePath(temporaryPrefix(path) + QStringLiteral("XXXXXX")));
    Descriptor fd(::mkstemp(name.data()));
    if (fd.get() < 0)
        return fail(error, systemError(QStringLiteral("cannot create a temporary file for"), path, errno));
    const QString temporary = QFile::decodeName(name);
    const auto discard = [&](const QString &what) {
        const QString text = systemError(what, temporary, errno);
        ::unlink(name.constData());
        return fail(error, text);
    };
    if (!writeAll(fd.get(), bytes))
        return discard(QStringLiteral("cannot write"));
    if (::fsync(fd.get()) != 0)
        return discard(QStringLiteral("cannot sync"));
    if (fd.close() != 0)
        return discard(QStringLiteral("cannot close"));
    if (::rename(name.constData(), QFile::encodeName(path).constData()) != 0)
        return discard(QStringLiteral("cannot rename over the store"));
    return syncFolder(info.absolutePath(), error);
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

    removeStaleTemporaries(path);
    LoadResult current = loadStore(path);
    switch (current.status) {
    case LoadResult::Status::Loaded:
    case LoadResult::Status::Missing:
        break;
    case LoadResult::Status::Invalid:
        if (!setAside(path, error))
            return false;
        break;
    case LoadResult::Status::Unreadable:
        return fail(error, current.error);
    }
    Store store = std::move(current.store);
    if (change(store) && !replaceAtomically(path, serialize(store), error))
        return false;
    if (result)
        *result = std::move(store);
    return true;
}

} // namespace platform::registry
