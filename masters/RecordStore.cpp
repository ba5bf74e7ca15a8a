#include "RecordStore.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace masters {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Closes a descriptor of a source file on every way out.
struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

RecordStore::~RecordStore()
{
    close();
}

bool RecordStore::fail(const QString &what, int error)
{
    error_ = what + QStringLiteral(": ") + qt_error_string(error);
    return false;
}

bool RecordStore::create(const QString &path, int recordLength)
{
    close();
    error_.clear();
    if (recordLength < 3)
        return fail(QStringLiteral("record length"), EINVAL);
    const int fd = ::open(native(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return fail(path, errno);
    fd_ = fd;
    path_ = path;
    recordLength_ = recordLength;
    count_ = 0;
    return true;
}

void RecordStore::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    count_ = 0;
}

bool RecordStore::readAll(qint64 offset, char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::pread(fd_, data, static_cast<size_t>(size), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(path_, errno);
        }
        if (n == 0)
            return fail(path_, EIO); // the file is shorter than its record count says
        data += n;
        offset += n;
        size -= n;
    }
    return true;
}

bool RecordStore::writeAll(qint64 offset, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, static_cast<size_t>(size), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(path_, errno);
        }
        data += n;
        offset += n;
        size -= n;
    }
    return true;
}

// Allocates the file up to size bytes, so that the writes that follow cannot run out of room
// half-way through a move.
bool RecordStore::reserve(qint64 size)
{
    const qint64 current = count_ * recordLength_;
    if (size <= current)
        return true;
    const int error = ::posix_fallocate(fd_, current, size - current);
    if (error != 0) {
        // posix_fallocate may have grown the file before it failed; the records stay as they were.
        if (::ftruncate(fd_, current) != 0) {
            // The length is what the record count is taken from: keep the count as it was.
        }
        return fail(path_, error);
    }
    return true;
}

bool RecordStore::readRecords(qint64 first, int n, QByteArray &records)
{
    records.clear();
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    if (first < 0 || n <= 0 || first >= count_)
        return true;
    const qint64 take = std::min<qint64>(n, count_ - first);
    records.resize(take * recordLength_);
    if (!readAll(first * recordLength_, records.data(), records.size())) {
        records.clear();
        return false;
    }
    return true;
}

bool RecordStore::writeRecord(qint64 index, const QByteArray &record)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    if (index < 0 || index > count_ || record.size() != recordLength_)
        return fail(QStringLiteral("record"), EINVAL);
    if (index == count_ && !reserve((count_ + 1) * recordLength_))
        return false;
    if (!writeAll(index * recordLength_, record.constData(), recordLength_))
        return false;
    if (index == count_)
        ++count_;
    return true;
}

bool RecordStore::insertRecord(qint64 index, const QByteArray &record)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    if (index < 0 || index > count_ || record.size() != recordLength_)
        return fail(QStringLiteral("record"), EINVAL);
    const qint64 length = recordLength_;
    const qint64 start = index * length;
    const qint64 end = count_ * length;
    if (!reserve(end + length))
        return false;
    // From the last block backwards, each moved one record towards the end.
    QByteArray buffer(static_cast<qsizetype>(std::min(RecordStoreBlock, std::max<qint64>(end - start, 1))),
                      Qt::Uninitialized);
    qint64 top = end;
    while (top > start) {
        const qint64 size = std::min<qint64>(buffer.size(), top - start);
        const qint64 from = top - size;
        if (!readAll(from, buffer.data(), size) || !writeAll(from + length, buffer.constData(), size))
            return false;
        top = from;
    }
    if (!writeAll(start, record.constData(), length))
        return false;
    ++count_;
    return true;
}

bool RecordStore::removeRecord(qint64 index)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    if (index < 0 || index >= count_)
        return fail(QStringLiteral("record"), EINVAL);
    const qint64 length = recordLength_;
    const qint64 end = count_ * length;
    QByteArray buffer(static_cast<qsizetype>(std::min(RecordStoreBlock, std::max<qint64>(end - length, 1))),
                      Qt::Uninitialized);
    // From the first block after the record onwards, each moved one record towards the start.
    for (qint64 from = (index + 1) * length; from < end;) {
        const qint64 size = std::min<qint64>(buffer.size(), end - from);
        if (!readAll(from, buffer.data(), size) || !writeAll(from - length, buffer.constData(), size))
            return false;
        from += size;
    }
    return truncate(count_ - 1);
}

bool RecordStore::truncate(qint64 n)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    if (n < 0 || n > count_)
        return fail(QStringLiteral("record count"), EINVAL);
    if (::ftruncate(fd_, n * recordLength_) != 0)
        return fail(path_, errno);
    count_ = n;
    return true;
}

bool RecordStore::copyIn(const QString &source)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    FdCloser in{::open(native(source).constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return fail(source, errno);
    struct stat info {};
    if (::fstat(in.fd, &info) != 0)
        return fail(source, errno);
    if (!S_ISREG(info.st_mode))
        return fail(source, EINVAL);
    const qint64 size = info.st_size;
    // A last record cut short is a damaged file, not one record fewer.
    if (size % recordLength_ != 0)
        return fail(source + QStringLiteral(" (length is not a whole number of records)"), EINVAL);
    if (!truncate(0) || !reserve(size))
        return false;
    qint64 done = 0;
    bool kernelCopy = true;
    QByteArray buffer;
    while (done < size) {
        ssize_t n = -1;
        if (kernelCopy) {
            loff_t inOffset = done;
            loff_t outOffset = done;
            n = ::copy_file_range(in.fd, &inOffset, fd_, &outOffset, static_cast<size_t>(size - done), 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else {
            if (buffer.isEmpty())
                buffer.resize(RecordStoreBlock);
            n = ::pread(in.fd, buffer.data(),
                        static_cast<size_t>(std::min<qint64>(buffer.size(), size - done)), done);
            if (n > 0 && !writeAll(done, buffer.constData(), n)) {
                if (::ftruncate(fd_, 0) != 0) {
                    // The count says the copy is empty whatever its length.
                }
                return false;
            }
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO; // a source that shrank while it was read
            if (::ftruncate(fd_, 0) != 0) {
                // Nothing more to keep: the count below says the copy is empty.
            }
            count_ = 0;
            return fail(source, error);
        }
        done += n;
    }
    count_ = size / recordLength_;
    return true;
}

bool RecordStore::findRecordWithoutLineEnd(qint64 &index)
{
    index = -1;
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    const qint64 length = recordLength_;
    const qint64 perBlock = std::max<qint64>(1, RecordStoreBlock / length);
    QByteArray buffer;
    for (qint64 first = 0; first < count_; first += perBlock) {
        const qint64 n = std::min(perBlock, count_ - first);
        buffer.resize(static_cast<qsizetype>(n * length));
        if (!readAll(first * length, buffer.data(), buffer.size()))
            return false;
        for (qint64 r = 0; r < n; ++r) {
            const char *end = buffer.constData() + (r + 1) * length - 2;
            if (end[0] != '\r' || end[1] != '\n') {
                index = first + r;
                return true;
            }
        }
    }
    return true;
}

bool RecordStore::copyOut(platform::AtomicFile &target)
{
    if (!isOpen())
        return fail(QStringLiteral("working copy"), EBADF);
    const qint64 end = count_ * recordLength_;
    QByteArray buffer(static_cast<qsizetype>(std::min(RecordStoreBlock, std::max<qint64>(end, 1))),
                      Qt::Uninitialized);
    for (qint64 from = 0; from < end;) {
        const qint64 size = std::min<qint64>(buffer.size(), end - from);
        if (!readAll(from, buffer.data(), size))
            return false;
        if (!target.write(buffer.constData(), size)) {
            error_ = target.errorString();
            return false;
        }
        from += size;
    }
    return true;
}

} // namespace masters
