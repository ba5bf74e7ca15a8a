#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

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

// In area of window (a page of a form, or a whole dialog): ticks every check box and radio button
// that is shown and enabled, one after the other (so boxes inside a group that a tick shows are
// tried too), then puts each check box back in reverse order. Fails, naming the control, when the
// box or a control above it moves: controls stay where they are whatever a box shows or hides. In
// every state each text of the window must be whole and the window must fit the screen.
void expectControlsStay(QWidget &window, QWidget &area);

// The dialog that pressing opener shows is handed to close (which must end it); afterwards the
// focus must be back on opener. Enter pressed on the focused opener opens it, as the keyboard
// does. Fails when no dialog was shown.
void expectFocusReturns(QWidget &window, QAbstractButton *opener,
                        const std::function<void(QDialog &)> &close);

// Opens the dialog of each button in turn (with a click, as the mouse does) and runs
// expectControlsStay on the whole dialog before it is cancelled with its "キャンセル" button.
void expectDialogsStay(std::initializer_list<QAbstractButton *> openers);

} // namespace addintest
