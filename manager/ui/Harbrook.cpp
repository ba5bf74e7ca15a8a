#include "Harbrook.h"

#include "comm/ui/CorlissL.h"
#include "common/ui/ProgramStart.h"
#include "manager/Startup.h"
#include "manager/ui/Main.h"
#include "manager/ui/MessageLog.h"
#include "platform/SingleInstance.h"
#include "platform/ui/WidgetUiService.h"

#include <QApplication>
#include <memory>

namespace {

int refuse(const manager::StartRefusal &refusal)
{
    platform::ui().messageBox(refusal.text, manager::AppTitle, refusal.style);
    return 1;
}

// Puts the previous UI service back however the program block ends.
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

int HarbrookMain(int argc, char **argv)
{
    QApplication application(argc, argv);
    programstart::prepareApplication(application, manager::ApplicationTitle);
    platform::WidgetUiService widgetUi;
    const QString messageLog = qEnvironmentVariable("HARBROOK_MESSAGE_LOG");
    manager::MessageLogUiService loggingUi(widgetUi, messageLog);
    const InstalledUi installed(messageLog.isEmpty() ? static_cast<platform::UiService &>(widgetUi)
                                                     : loggingUi);

    if (const auto refusal = manager::versionRefusal(platform::queryOsVersion()))
        return refuse(*refusal);

    // A lock that cannot be made at all does not keep the operator from working, as no window
    // search would have found a running instance either.
    platform::SingleInstanceLock lock;
    if (lock.acquire(manager::MainFormClass, manager::AppTitle) == platform::SingleInstanceLock::Result::Held)
        return refuse(manager::secondInstanceRefusal());

    AppPath = manager::appPathOf(QCoreApplication::applicationFilePath());
    YmInitialize();

    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    form->show();
    const int code = QApplication::exec();
    MainForm = nullptr;
    return code;
}
