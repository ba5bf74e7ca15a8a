#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QDialog;
class QWidget;
class TAddInMainForm;

// Checks an add-in settings program's windows as an operator meets them, shared by the four
// programs' form tests.
namespace addintest {

// What the manager writes for a job without parameters on model: the program starts from its
// defaults, every box unticked.
void handOverNewJob(int model);

// Shows page through a click on its tree node, as the operator opens it.
void openPage(TAddInMainForm &form, int page);

// Shows the form, checks that it fits the screen, and runs expectControlsStay on each of its pages;
// the form keeps the size it opened with throughout.
void expectEveryPageStays(TAddInMainForm &form);

// On the page shown: ticks every check box and radio button that is shown, one after the other
// (so boxes inside a group that a tick shows are tried too), then puts each back in reverse
// order. Fails, naming the box, when it or a control above it moves: a page keeps its controls
// where they are whatever a box shows or hides. Every state must also keep each text whole.
void expectControlsStay(TAddInMainForm &form);

// The dialog that pressing opener shows is handed to close (which must end it); afterwards the
// focus must be back on opener. Enter pressed on the focused opener opens it, as the keyboard
// does. Fails when no dialog was shown.
void expectFocusReturns(QWidget &window, QAbstractButton *opener,
                        const std::function<void(QDialog &)> &close);

} // namespace addintest
