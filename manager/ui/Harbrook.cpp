#include "Harbrook.h"

#include "comm/ui/CorlissL.h"
#include "common/ui/ProgramStart.h"
#include "common/ui/StandIn.h"
#include "manager/Startup.h"
#include "manager/ui/Main.h"
#include "masters/tables/ChildTableSource.h"
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

} // namespace

int HarbrookMain(int argc, char **argv)
{
    QApplication application(argc, argv);
    programstart::prepareApplication(application, manager::ApplicationTitle);
    platform::WidgetUiService widgetUi;
    const std::unique_ptr<programstart::OperatorStandIn> standIn = programstart::makeStandIn(widgetUi);
    if (standIn && !standIn->ready())
        return 3;
    const programstart::InstalledUi installed(standIn ? standIn->ui() : widgetUi);

    if (const auto refusal = manager::versionRefusal(platform::queryOsVersion()))
        return refuse(*refusal);

    // A lock that cannot be made at all does not keep the operator from working, as no window
    // search would have found a running instance either.
    platform::SingleInstanceLock lock;
    if (lock.acquire(manager::MainFormClass, manager::AppTitle) == platform::SingleInstanceLock::Result::Held)
        return refuse(manager::secondInstanceRefusal());

    AppPath = manager::appPathOf(QCoreApplication::applicationFilePath());
    masters::tables::setReaderFolder(AppPath);
    YmInitialize();

    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    if (standIn)
        standIn->formShown(*form);
    form->show();
    const int code = QApplication::exec();
    MainForm = nullptr;
    return code;
}
