#pragma once

#include <QString>
#include <functional>
#include <memory>

class TAddInMainForm;

// The program block of an add-in settings program: the application with its title, the widget UI
// service, the main form made by makeForm, FormCreate, and the form's modal loop. An unsupported
// model (FormCreate false) ends the program before any window shows. Returns the exit code, 0.
// The program links the operator stand-in it runs with (common/ui/StandIn.h).
int RunAddInProgram(int argc, char **argv, const QString &applicationTitle,
                    const std::function<std::unique_ptr<TAddInMainForm>()> &makeForm);
