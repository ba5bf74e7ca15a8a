#include "StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void StopSignals::block()
{
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop))
{
    const sigset_t set = stopSet();
    fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return; // the signals stay blocked: a stop then ends nothing, which is what KILL is for
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::take);
}

StopSignals::~StopSignals()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

void StopSignals::take()
{
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        onStop_(++count_);
}
