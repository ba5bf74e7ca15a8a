#pragma once

#include <QString>
#include <functional>
#include <sys/types.h>

namespace testsupport {

// A child process that does some work, reports a line of text (a file it made, say) and then waits
// until it is killed: for tests of what a program that died leaves behind.
class StoppedChild {
public:
    // Runs work in a forked child; report() is then what it returned.
    explicit StoppedChild(const std::function<QString()> &work);
    ~StoppedChild(); // kills it when still running
    StoppedChild(const StoppedChild &) = delete;
    StoppedChild &operator=(const StoppedChild &) = delete;

    bool started() const { return pid_ > 0 && !report_.isEmpty(); }
    QString report() const { return report_; }
    // Kills it with SIGKILL and waits for its end.
    void kill();

private:
    pid_t pid_ = -1;
    QString report_;
};

} // namespace testsupport
