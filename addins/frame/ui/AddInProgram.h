#pragma once

#include <QString>
#include <functional>
#include <memory>

class TAddInMainForm;

// The program block of an add-in settings program: the application with its title, the widget UI
// service, the main form made by makeForm, FormCreate, and the form's modal loop. An unsupported
// model (FormCreate false) ends the program before any window shows. Returns the exit code, 0.
//
// Set HARBROOK_MESSAGE_LOG to run unattended, as the manager does: every box is logged to that
// file and answered with its default button; HARBROOK_OPERATOR_SCRIPT plays an operator from a
// script file (OperatorScript.h).
int RunAddInProgram(int argc, char **argv, const QString &applicationTitle,
                    const std::function<std::unique_ptr<TAddInMainForm>()> &makeForm);
