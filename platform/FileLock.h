#pragma once

#include <QString>
#include <chrono>
#include <functional>

// An exclusive hold on a lock file shared by several programs, possibly on several machines: an
// fcntl record lock over the whole file, which network file systems pass on to the server. The lock
// belongs to the open file itself (not to the process), so two holds in one process exclude each
// other too, and the kernel drops it when the holder dies, however it dies.
//
// The lock file is made when missing, holding a line that says it is ours, and the holder removes it
// again on release; a program that got the lock on a file that was removed meanwhile notices and
// takes the new one. A file of that name that is not a lock file of ours is locked but never removed.
namespace platform {

class FileLock {
public:
    FileLock() = default;
    ~FileLock(); // releases
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    enum class Result {
        Held,
        Busy,   // another holder kept it for the whole wait
        Failed, // the lock file cannot be made or locked; errorString() says why
    };
    // Takes the lock on the file at path, waiting up to limit for another holder; whileWaiting runs
    // between the looks (every 20 ms or so), for a program that must keep its windows painted.
    Result acquire(const QString &path, std::chrono::milliseconds limit,
                   const std::function<void()> &whileWaiting = {});
    bool held() const { return fd_ >= 0; }
    void release();

    QString errorString() const { return error_; }
    // The system's error of a failure: EROFS, EACCES or EPERM when the folder takes no lock file.
    int errorCode() const { return code_; }

private:
    Result tryOnce();

    QString path_;
    QString error_;
    int fd_ = -1;
    int code_ = 0;
    bool ours_ = false; // the file holds our line, so that it may go with the release
};

} // namespace platform
