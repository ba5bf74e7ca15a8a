#include "StoppedChild.h"

#include <QByteArray>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

StoppedChild::StoppedChild(const std::function<QString()> &work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(channel[0]);
        const QByteArray line = work().toUtf8() + '\n';
        if (::write(channel[1], line.constData(), static_cast<size_t>(line.size())) < 0)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(channel[1]);
    QByteArray line;
    char c = 0;
    while (pid_ > 0 && ::read(channel[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(channel[0]);
    report_ = QString::fromUtf8(line);
}

StoppedChild::~StoppedChild()
{
    kill();
}

void StoppedChild::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

} // namespace testsupport
