#pragma once

#include <QByteArray>
#include <QString>

namespace platform {
class AtomicFile;
}

namespace masters {

// A file of fixed-length records (a master's fields and CR LF each), worked on in place: the file
// is never held in memory. A page is one read at any position; inserting and deleting move the
// records behind the place in large blocks. Every operation reports failure, and errorString() says
// why; a failed insert leaves the file as it was when the space for the record could not be had.
class RecordStore {
public:
    RecordStore() = default;
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Opens the file at path empty (created when missing) for records of recordLength bytes.
    bool create(const QString &path, int recordLength);
    // Closes the file; it stays where it is.
    void close();
    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    int recordLength() const { return recordLength_; }
    qint64 count() const { return count_; }

    // Up to n records from index first (0-based), fewer at the end, in one read.
    bool readRecords(qint64 first, int n, QByteArray &records);
    // Writes one record of recordLength bytes at index; index count appends it.
    bool writeRecord(qint64 index, const QByteArray &record);
    // Puts record at index (0..count); the records from there on move one place towards the end.
    bool insertRecord(qint64 index, const QByteArray &record);
    // Removes the record at index; the records after it move one place towards the start.
    bool removeRecord(qint64 index);
    // Keeps the first n records.
    bool truncate(qint64 n);

    // Replaces the content with the bytes of source, which must be a whole number of records.
    bool copyIn(const QString &source);
    // The first record (0-based) whose last two bytes are not CR LF, in index; -1 when every record
    // ends so. False on a read error.
    bool findRecordWithoutLineEnd(qint64 &index);
    // Writes the whole content to target (not committed: the caller commits).
    bool copyOut(platform::AtomicFile &target);

    QString errorString() const { return error_; }

private:
    bool fail(const QString &what, int error);
    bool readAll(qint64 offset, char *data, qint64 size);
    bool writeAll(qint64 offset, const char *data, qint64 size);
    bool reserve(qint64 size);

    int fd_ = -1;
    QString path_;
    int recordLength_ = 0;
    qint64 count_ = 0;
    QString error_;
};

// Bytes moved at a time by the block operations.
inline constexpr qint64 RecordStoreBlock = 1 << 20;

} // namespace masters
