#include "AddInProgram.h"

#include "AddInMainForm.h"
#include "common/ui/ProgramStart.h"
#include "common/ui/StandIn.h"
#include "platform/ui/WidgetUiService.h"

#include <QApplication>

int RunAddInProgram(int argc, char **argv, const QString &applicationTitle,
                    const std::function<std::unique_ptr<TAddInMainForm>()> &makeForm)
{
    QApplication application(argc, argv);
    programstart::prepareApplication(application, applicationTitle);
    platform::WidgetUiService widgetUi;
    const std::unique_ptr<programstart::OperatorStandIn> standIn = programstart::makeStandIn(widgetUi);
    if (standIn && !standIn->ready())
        return 3;
    const programstart::InstalledUi installed(standIn ? standIn->ui() : widgetUi);

    const std::unique_ptr<TAddInMainForm> form = makeForm();
    if (!form->FormCreate())
        return 0;
    if (standIn)
        standIn->formShown(*form);
    form->exec();
    return 0;
}
