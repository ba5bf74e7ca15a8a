#pragma once

#include <QString>

// Stands in for the search for a running main window: the window class and title name a per-user
// lock file, and a running program holds an exclusive flock on it for as long as it lives. The kernel
// drops the lock when the holder dies, however it dies, so a crashed instance never blocks the next
// start.
//
// The lock files live in $HARBROOK_LOCK_DIR when set (tests), else in $XDG_RUNTIME_DIR when it is a
// private folder of the user, else in a folder "harbrook-<uid>" of the temporary folder that must be
// one (the lock fails when it is not).
namespace platform {

class SingleInstanceLock {
public:
    enum class Result {
        Acquired, // this object now holds the lock
        Held,     // another instance holds it
        Failed,   // the lock file could not be made or locked; errorString() says why
    };

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // Gives up a lock this object held before, then tries the one of windowClass and title without
    // waiting.
    Result acquire(const QString &windowClass, const QString &title);
    bool isHeld() const { return fd_ >= 0; }
    void release();
    QString errorString() const { return error_; }

private:
    int fd_ = -1;
    QString error_;
};

} // namespace platform
