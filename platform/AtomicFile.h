#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

// Replaces a file as a whole, so that a reader, a crash or a full disk never leaves half of it.
//
// The new content goes to a temporary file "<name>.tmp-XXXXXX" beside the target. commit() flushes
// it, checks every write that went before, syncs and closes it, and only then renames it over the
// target. Until commit() succeeds the target is untouched; after any failure it is byte for byte as
// it was, the temporary file is gone, and errorString() says why. Every atomic write of the programs
// goes through here: QSaveFile of the Qt in use reports its commit as successful after its final
// flush failed (a full disk), and a caller cannot see that failure from outside.
//
// A target that is a symbolic link is followed: the file it finally points at is replaced and the
// link stays a link. An existing target must be a plain file that is not read-only; read-only means
// no write permission for us or no write bit at all, so that root, too, leaves a file marked
// read-only alone. A replaced file keeps its permission bits (and its owner, where we may set it);
// a new file gets what a plain create gives (0666 less the umask).
namespace platform {

class AtomicFile {
public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile(); // an uncommitted file is discarded
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Resolves the target and creates the temporary file. False when the target is read-only or not
    // a plain file, or its folder takes no new file.
    bool open();
    bool isOpen() const { return fd_ >= 0; }
    // The temporary file, for writers that take a device. Writes are buffered (64 KiB): a failing
    // one may show only in commit(), which checks.
    QIODevice &device();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // False on any failure, the target then as before. The file is closed either way.
    bool commit();
    // The two halves of commit(), for a set of files that replace their targets together: finish()
    // checks, syncs and closes the temporary file, which stays beside the target; replaceTarget()
    // then renames it over the target and leaves syncing the folder to the caller.
    bool finish();
    bool replaceTarget();
    // Discards what was written; the target stays as it was.
    void cancel();

    QString errorString() const { return error_; }
    // The file commit() replaces: the given path with its symbolic links followed.
    QString targetPath() const { return target_; }
    // The temporary file while there is one.
    QString temporaryPath() const { return temporary_; }

    // The path with symbolic links followed to a file that is no link (which need not exist).
    // Nothing when the links go round or nest too deep.
    static std::optional<QString> followLinks(const QString &path);
    // The start of the names of the temporary files for target.
    static QString temporaryPrefix(const QString &target);

private:
    bool fail(const QString &what, const QString &path, int error);
    void discard();
    class Device;

    QString path_;
    QString target_;
    QString temporary_;
    std::unique_ptr<Device> device_;
    int fd_ = -1;
    bool finished_ = false;
    QString error_;
};

// Six random letters and digits, as the names of temporary files end.
QString randomNameSuffix();

// Makes the renames in folder durable. 0, or the system's error; a file system that cannot sync a
// folder counts as done.
int syncFolder(const QString &folder);

// Writes bytes as the whole new content of path through an AtomicFile.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace platform
