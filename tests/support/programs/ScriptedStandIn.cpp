#include "OperatorScript.h"

// The stand-in of the settings programs' test builds: HARBROOK_OPERATOR_SCRIPT names the script to
// play, HARBROOK_MESSAGE_LOG the file every box is logged to. With neither set the program runs as
// the shipped one does.
namespace programstart {

std::unique_ptr<OperatorStandIn> makeStandIn(platform::UiService &widgetUi)
{
    const QString scriptFile = qEnvironmentVariable("HARBROOK_OPERATOR_SCRIPT");
    const QString messageLog = qEnvironmentVariable("HARBROOK_MESSAGE_LOG");
    if (scriptFile.isEmpty() && messageLog.isEmpty())
        return nullptr;
    return std::make_unique<OperatorScript>(scriptFile, messageLog, widgetUi);
}

} // namespace programstart
