#include "MasterLock.h"

#include "masters/SaveJournal.h"

#include <QCoreApplication>
#include <QThread>
#include <cerrno>

namespace masters {

namespace {

// Long enough for a save of a large master to a network folder.
constexpr std::chrono::milliseconds DefaultWait{30000};

void paint()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (application != nullptr && QThread::currentThread() == application->thread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::chrono::milliseconds waitLimit = DefaultWait;
std::function<void()> whileWaiting = paint;

} // namespace

MasterLock::MasterLock(const QString &masterTarget) : target_(masterTarget)
{
    acquire();
}

MasterLock::Status MasterLock::acquire()
{
    switch (lock_.acquire(lockPath(target_), waitLimit, whileWaiting)) {
    case platform::FileLock::Result::Held:
        status_ = Status::Held;
        break;
    case platform::FileLock::Result::Busy:
        status_ = Status::Busy;
        break;
    case platform::FileLock::Result::Failed: {
        const int code = lock_.errorCode();
        status_ = code == EROFS || code == EACCES || code == EPERM ? Status::NoLockFile : Status::Failed;
        break;
    }
    }
    return status_;
}

void setMasterLockWait(std::chrono::milliseconds limit, std::function<void()> hook)
{
    waitLimit = limit;
    whileWaiting = std::move(hook);
}

void resetMasterLockWait()
{
    setMasterLockWait(DefaultWait, paint);
}

} // namespace masters
