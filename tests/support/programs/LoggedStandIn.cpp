#include "MessageLog.h"
#include "common/ui/StandIn.h"

// The stand-in of the manager's test build: with HARBROOK_MESSAGE_LOG set, every box is logged to
// that file and answered with its default button; without it the program runs as the shipped one.
namespace programstart {
namespace {

class LoggedRun final : public OperatorStandIn {
public:
    LoggedRun(platform::UiService &widgetUi, const QString &logFile) : log_(widgetUi, logFile) {}
    platform::UiService &ui() override { return log_; }
    void formShown(QWidget &) override {}
    bool ready() const override { return true; }

private:
    testsupport::MessageLogUiService log_;
};

} // namespace

std::unique_ptr<OperatorStandIn> makeStandIn(platform::UiService &widgetUi)
{
    const QString messageLog = qEnvironmentVariable("HARBROOK_MESSAGE_LOG");
    if (messageLog.isEmpty())
        return nullptr;
    return std::make_unique<LoggedRun>(widgetUi, messageLog);
}

} // namespace programstart
