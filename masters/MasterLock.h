#pragma once

#include "platform/FileLock.h"

#include <QString>
#include <chrono>
#include <functional>

namespace masters {

// The turn one program has on a master: a save, and every open with its recovery of an interrupted
// save, hold it from start to end, so that no program undoes or reads a save another one is still
// making. Every program finds the lock from the master's path alone (the lock file beside the
// master a link leads to). A program that finds it held waits for it, a bounded time, while its
// windows go on painting.
class MasterLock {
public:
    enum class Status {
        Held,
        Busy,       // another program kept it for the whole wait
        NoLockFile, // the folder takes no file (read-only): nobody can save there, an open may go on
        Failed,
    };
    // Takes the lock of the master at masterTarget (its links followed).
    explicit MasterLock(const QString &masterTarget);
    MasterLock(const MasterLock &) = delete;
    MasterLock &operator=(const MasterLock &) = delete;

    // Takes it again after release().
    Status acquire();
    void release() { lock_.release(); }
    Status status() const { return status_; }
    QString target() const { return target_; }
    QString errorString() const { return lock_.errorString(); }

private:
    QString target_;
    platform::FileLock lock_;
    Status status_ = Status::Failed;
};

// How long a program waits for another one's turn, and what it does meanwhile: by default half a
// minute, painting its windows. For tests.
void setMasterLockWait(std::chrono::milliseconds limit, std::function<void()> whileWaiting);
void resetMasterLockWait();

} // namespace masters
