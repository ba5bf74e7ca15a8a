#pragma once

#include <QString>
#include <memory>

class QProcess;

// A program started as a separate process with an empty command line, and the wait for its end that
// keeps the caller's user interface running. The child inherits the environment (the registry store
// among it), the current folder and the standard output and error; its input is empty.
namespace platform {

class Process {
public:
    // The exit code read while the program still runs.
    static constexpr int StillActive = 259;
    // The exit code of a program that was killed by a signal or crashed, so that is never taken for
    // a clean exit.
    static constexpr int CrashedExitCode = -1;
    // The step of waitForEnd.
    static constexpr int WaitStepMs = 100;

    Process();
    // Ends a program that still runs; callers wait for the end first.
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    // Starts the program at programPath with no arguments. A relative path is taken from the current
    // folder, never searched for on PATH. False when the program could not be started, or when the
    // program this object started before still runs.
    bool start(const QString &programPath);

    // Runs the caller's events for at most stepMs and returns as soon as the program has ended;
    // true when it has ended (or was never started).
    bool waitStep(int stepMs = WaitStepMs);

    // Waits in steps of WaitStepMs, the caller's events running, until the program ends; returns
    // exitCode(). The end of the program is what ends the wait, not the value of its exit code.
    int waitForEnd();

    bool isRunning() const;
    // StillActive while the program runs, CrashedExitCode after a crash, else its exit status;
    // CrashedExitCode also when it was never started.
    int exitCode() const;

private:
    std::unique_ptr<QProcess> process_;
    bool started_ = false;
};

} // namespace platform
