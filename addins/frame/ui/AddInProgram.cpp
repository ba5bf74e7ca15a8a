#include "AddInProgram.h"

#include "AddInMainForm.h"
#include "OperatorScript.h"
#include "common/ui/ProgramStart.h"
#include "platform/ui/WidgetUiService.h"

#include <QApplication>

namespace {

class InstalledUi {
public:
    explicit InstalledUi(platform::UiService &service) : previous_(platform::setUi(&service)) {}
    ~InstalledUi() { platform::setUi(previous_); }
    InstalledUi(const InstalledUi &) = delete;
    InstalledUi &operator=(const InstalledUi &) = delete;

private:
    platform::UiService *previous_;
};

} // namespace

int RunAddInProgram(int argc, char **argv, const QString &applicationTitle,
                    const std::function<std::unique_ptr<TAddInMainForm>()> &makeForm)
{
    QApplication application(argc, argv);
    programstart::prepareApplication(application, applicationTitle);
    platform::WidgetUiService widgetUi;
    const QString scriptFile = qEnvironmentVariable("HARBROOK_OPERATOR_SCRIPT");
    const QString messageLog = qEnvironmentVariable("HARBROOK_MESSAGE_LOG");
    OperatorScript script(scriptFile, messageLog, widgetUi);
    const bool scripted = !scriptFile.isEmpty() || !messageLog.isEmpty();
    if (!scriptFile.isEmpty() && !script.loaded())
        return 3;
    const InstalledUi installed(scripted ? static_cast<platform::UiService &>(script) : widgetUi);

    const std::unique_ptr<TAddInMainForm> form = makeForm();
    if (!form->FormCreate())
        return 0;
    if (scripted)
        script.play(*form);
    form->exec();
    return 0;
}
