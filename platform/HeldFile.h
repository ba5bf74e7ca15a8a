#pragma once

#include <QString>

// A file of a unique name "<prefix>XXXXXX" in a folder that this process holds (an exclusive flock
// on it) for as long as the object lives, and removes with it. The kernel drops the hold when the
// process dies, however it dies, so the files of programs that are gone can be told from those of
// programs still running, and removed.
namespace platform {

class HeldFile {
public:
    HeldFile() = default;
    ~HeldFile();
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    // Creates the file empty (mode 0600). False (errorString() says why) when it cannot be made.
    bool create(const QString &folder, const QString &prefix);
    QString path() const { return path_; }
    QString errorString() const { return error_; }

    // Removes the plain files "<prefix>..." of folder that no process holds; the count removed.
    static int removeUnheld(const QString &folder, const QString &prefix);

private:
    int fd_ = -1;
    QString path_;
    QString error_;
};

} // namespace platform
