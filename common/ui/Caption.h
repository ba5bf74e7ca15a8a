#pragma once

#include <QString>

class QLabel;
class QWidget;

// Captions a screen reader announces: a control's caption label becomes its buddy and its accessible
// name, so that assistive technology (and the desktop tests) find the control by the words the
// operator reads beside it, not by where it sits.
namespace caption {

// Links an existing label as the caption of control. An edit beside its label reads the label's
// current text; a list, a combo box or a control in another panel keeps the text the label has now,
// so link again after changing it.
void link(QLabel *label, QWidget *control);

// A new label reading text, with parent, linked as the caption of control.
QLabel *label(const QString &text, QWidget *control, QWidget *parent);

// Names a control whose caption is not a label of its own (a group's title, a column header, or
// a caption that reads across a unit between two fields).
void name(QWidget *control, const QString &caption);

// Lets assistive technology press a tool button that opens a modal dialog. Qt's own press of a tool
// button clicks it inside the accessibility call, so the dialog's event loop holds the call (and
// the screen reader with it) until the dialog closes; this press clicks once the call has
// returned, as a push button's press does. A mouse or key click is unchanged, and a tool button
// with a menu or a checked state keeps Qt's own handling. Call before the first tool button is
// shown; calls after the first do nothing.
void pressToolButtonsAfterTheCall();

} // namespace caption
