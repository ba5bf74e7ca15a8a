#include "Process.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace platform {

Process::Process() = default;

Process::~Process() = default;

bool Process::start(const QString &programPath)
{
    if (process_ && isRunning())
        return false;
    process_ = std::make_unique<QProcess>();
    started_ = false;
    if (programPath.isEmpty())
        return false;
    process_->setProcessChannelMode(QProcess::ForwardedChannels);
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setProgram(QFileInfo(programPath).absoluteFilePath());
    process_->setArguments({});
    process_->start(QIODevice::ReadOnly);
    started_ = process_->waitForStarted(-1);
    return started_;
}

bool Process::isRunning() const
{
    return started_ && process_->state() != QProcess::NotRunning;
}

bool Process::waitStep(int stepMs)
{
    if (!isRunning())
        return true;
    if (QCoreApplication::instance() == nullptr) {
        process_->waitForFinished(stepMs);
        return !isRunning();
    }
    // The loop blocks in the event dispatcher until the program ends, the step runs out or an event
    // comes; the caller's windows keep painting and its timers keep firing.
    QEventLoop loop;
    QObject::connect(process_.get(), &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer step;
    step.setSingleShot(true);
    step.setTimerType(Qt::PreciseTimer);
    QObject::connect(&step, &QTimer::timeout, &loop, &QEventLoop::quit);
    step.start(stepMs);
    loop.exec();
    return !isRunning();
}

int Process::waitForEnd()
{
    while (!waitStep(WaitStepMs)) {
    }
    return exitCode();
}

int Process::exitCode() const
{
    if (!started_)
        return CrashedExitCode;
    if (process_->state() != QProcess::NotRunning)
        return StillActive;
    if (process_->exitStatus() == QProcess::CrashExit)
        return CrashedExitCode;
    return process_->exitCode();
}

} // namespace platform
