#pragma once

#include <QByteArray>
#include <QString>
#include <sys/resource.h>

// Ways to make file writes fail as a full disk does, for tests of the paths that must then keep the
// old file.
namespace testsupport {

// While it lives, no file of this process grows beyond `bytes`: a write past that fails with EFBIG
// (SIGXFSZ is ignored meanwhile). Works for root too, and needs no privilege.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return active_; }

private:
    struct rlimit saved_ {};
    void (*savedHandler_)(int) = nullptr;
    bool active_ = false;
};

// A tmpfs of `bytes` (rounded to pages) mounted on a new folder of the test case, unmounted when it
// goes. Mounting needs root (CI runs the suite as root); where it is not permitted, mounted() is
// false and why() says why, for GTEST_SKIP.
class SmallFileSystem {
public:
    explicit SmallFileSystem(qint64 bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;
    bool mounted() const { return mounted_; }
    QString why() const { return why_; }
    QString path() const { return path_; }
    QString filePath(const QString &name) const { return path_ + QLatin1Char('/') + name; }

private:
    QString path_;
    QString why_;
    bool mounted_ = false;
};

// Bytes 0, 1, 2... of the given size, so that a cut or shifted copy shows.
QByteArray numberedBytes(qsizetype size, int seed = 0);

} // namespace testsupport
