#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// As the kernel's own limit on links followed in one lookup.
constexpr int MaxLinks = 40;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString randomNameSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return suffix;
}

int syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        error = errno;
    ::close(fd);
    return error;
}

// A write-only device over the temporary file's descriptor. Its own rather than a QFile on the
// descriptor, so that a failing write keeps the system's reason and nothing else flushes behind
// our back.
class AtomicFile::Device : public QIODevice {
public:
    static constexpr qsizetype BufferBytes = 64 * 1024;

    // Open only for a descriptor: before open() and after the end, writes to it fail.
    explicit Device(int fd) : fd_(fd)
    {
        if (fd >= 0)
            open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    // The system's error of the first write that failed; 0 while all went well.
    int failure() const { return failure_; }

    // Writes out what is buffered; false once any write failed.
    bool flushBuffer()
    {
        const char *data = buffer_.constData();
        qsizetype left = buffer_.size();
        while (left > 0 && failure_ == 0) {
            const ssize_t count = ::write(fd_, data, static_cast<size_t>(left));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0) {
                failure_ = count < 0 ? errno : ENOSPC;
                setErrorString(systemText(failure_));
                break;
            }
            data += count;
            left -= count;
        }
        buffer_.clear();
        return failure_ == 0;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (failure_ != 0)
            return -1;
        buffer_.append(data, size);
        if (buffer_.size() >= BufferBytes && !flushBuffer())
            return -1;
        return size;
    }

private:
    int fd_;
    int failure_ = 0;
    QByteArray buffer_;
};

AtomicFile::AtomicFile(const QString &path) : path_(path), device_(std::make_unique<Device>(-1)) {}

AtomicFile::~AtomicFile()
{
    discard();
}

std::optional<QString> AtomicFile::followLinks(const QString &path)
{
    QString current = path;
    for (int depth = 0; depth <= MaxLinks; ++depth) {
        struct stat info {};
        if (::lstat(native(current).constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(native(current).constData(), link.data(), link.size());
        if (size < 0 || size >= link.size())
            return current; // opening it reports the trouble
        link.truncate(size);
        const QString next = QFile::decodeName(link);
        current = QFileInfo(next).isAbsolute() ? next : QFileInfo(current).path() + QLatin1Char('/') + next;
    }
    return std::nullopt;
}

QString AtomicFile::temporaryPrefix(const QString &target)
{
    return QFileInfo(target).fileName() + QStringLiteral(".tmp-");
}

bool AtomicFile::fail(const QString &what, const QString &path, int error)
{
    error_ = QStringLiteral("%1 %2: %3").arg(what, path, systemText(error));
    discard();
    return false;
}

QIODevice &AtomicFile::device()
{
    return *device_;
}

void AtomicFile::discard()
{
    finished_ = false;
    device_ = std::make_unique<Device>(-1);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(native(temporary_).constData());
        temporary_.clear();
    }
}

bool AtomicFile::open()
{
    discard();
    error_.clear();
    const std::optional<QString> target = followLinks(path_);
    if (!target)
        return fail(QStringLiteral("too many symbolic links in"), path_, ELOOP);
    target_ = *target;

    struct stat old {};
    const bool exists = ::stat(native(target_).constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(QStringLiteral("cannot look at"), target_, errno);
    if (exists && !S_ISREG(old.st_mode)) {
        error_ = QStringLiteral("%1 is not a plain file").arg(target_);
        return false;
    }
    if (exists && (::access(native(target_).constData(), W_OK) != 0 || (old.st_mode & 0222) == 0)) {
        error_ = QStringLiteral("%1 is read-only").arg(target_);
        return false;
    }

    const QString stem = QFileInfo(target_).path() + QLatin1Char('/') + temporaryPrefix(target_);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QString name = stem + randomNameSuffix();
        fd_ = ::open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            temporary_ = name;
        else if (errno != EEXIST)
            return fail(QStringLiteral("cannot create a temporary file for"), target_, errno);
    }
    if (fd_ < 0)
        return fail(QStringLiteral("cannot create a temporary file for"), target_, EEXIST);

    if (exists) {
        if (::fchmod(fd_, old.st_mode & 07777) != 0)
            return fail(QStringLiteral("cannot give the permissions of"), target_, errno);
        // Only root may give a file away; anyone else's replacement is then their own.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd_, old.st_uid, old.st_gid) != 0 && errno != EPERM)
            return fail(QStringLiteral("cannot give the owner of"), target_, errno);
    }
    device_ = std::make_unique<Device>(fd_);
    return true;
}

bool AtomicFile::write(const char *data, qint64 size)
{
    if (!isOpen()) {
        // Keeps the reason of the failure that closed it.
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 is not open for writing").arg(path_);
        return false;
    }
    if (device_->write(data, size) != size)
        return fail(QStringLiteral("cannot write"), target_, device_->failure());
    return true;
}

bool AtomicFile::commit()
{
    if (!finish() || !replaceTarget())
        return false;
    // The new content is already in place, so a folder that cannot be synced is only warned about:
    // reporting a failure now would tell the caller the old file is still there.
    if (const int error = syncFolder(QFileInfo(target_).path()); error != 0)
        qWarning("cannot sync the folder of %s: %s", qPrintable(target_), std::strerror(error));
    return true;
}

bool AtomicFile::finish()
{
    if (!isOpen()) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 is not open for writing").arg(path_);
        return false;
    }
    // A write that failed earlier, through device(), left its mark; then the final flush, which is
    // where a full disk shows for content that fitted the buffer.
    if (!device_->flushBuffer())
        return fail(QStringLiteral("cannot write"), target_, device_->failure());
    if (::fsync(fd_) != 0)
        return fail(QStringLiteral("cannot sync"), target_, errno);
    device_ = std::make_unique<Device>(-1);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail(QStringLiteral("cannot close"), target_, errno);
    finished_ = true;
    return true;
}

bool AtomicFile::replaceTarget()
{
    if (!finished_) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 is not finished").arg(path_);
        return false;
    }
    if (::rename(native(temporary_).constData(), native(target_).constData()) != 0)
        return fail(QStringLiteral("cannot put the new file in place of"), target_, errno);
    temporary_.clear();
    finished_ = false;
    return true;
}

void AtomicFile::cancel()
{
    discard();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace platform
