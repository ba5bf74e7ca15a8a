#pragma once

#include "platform/UiService.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

// What every form of the programs builds its controls and boxes with, so that each form holds only
// its own controls and handlers.
namespace formkit {

// Gives a control the system's name as its object name, so tests find it with findChild.
template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A push button that Return in another control never presses; Return or Enter pressed while the
// button itself has the focus presses it, as Space does.
QPushButton *button(const char *name, const QString &caption, QWidget *parent);

// A text-only tool button added to bar. It takes the focus when clicked, as a push button does, so
// that the focus comes back to it once the dialog it opened has closed; then Return or Enter presses
// it, as Space does.
QToolButton *toolButton(QToolBar *bar, const char *name, const QString &caption);

// A control that another shows and hides keeps its room while hidden, so that the controls around it
// stay where the operator saw them.
void keepPlaceWhenHidden(QWidget *control);

// Drops Return and Enter typed in control, so that they neither reach it nor a default button of
// its window.
void dropEnter(QWidget *control);

// The message box styles of the programs.
// An input error: OK, exclamation, task-modal, in the foreground.
platform::MsgStyle inputErrorStyle();
// A question answered Yes or No, where only No cancels.
platform::MsgStyle questionStyle();
// An error that ends what was asked: OK, stop icon.
platform::MsgStyle stopStyle();
// A notice: OK, information icon.
platform::MsgStyle informationStyle();

// The caption of every input error box.
inline const QString InputErrorCaption = QStringLiteral("入力エラー");

// Shows text as an input error under "入力エラー".
void showInputError(const QString &text);
// Asks text under caption; true when the operator answered Yes.
bool askYes(const QString &text, const QString &caption);

// Sets a form's loading flag for its lifetime and puts back the value it had, so a fill called from
// within another fill never unmutes the outer one.
class LoadingGuard {
public:
    explicit LoadingGuard(bool &flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~LoadingGuard() { flag_ = previous_; }
    LoadingGuard(const LoadingGuard &) = delete;
    LoadingGuard &operator=(const LoadingGuard &) = delete;

private:
    bool &flag_;
    bool previous_;
};

// Moves the focus to target. A hidden or disabled target (a control of another page or mode) passes
// the focus to the next control after it in the tab order that can take it, within the same
// window; when there is none, the focus stays where it is. True when target itself got the focus.
bool requestFocus(QWidget *target);

// Disables a window for the length of a transfer or of a program it waits for, and refuses every
// close of it meanwhile (its close box included): the caller waits with events running, and a
// window that vanished under it would leave the operator without a way back. Then the focus goes
// back to the control that had it.
class WindowLock {
public:
    explicit WindowLock(QWidget *window);
    ~WindowLock();
    WindowLock(const WindowLock &) = delete;
    WindowLock &operator=(const WindowLock &) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
    QObject *closeRefusal_;
    bool wasEnabled_;
};

} // namespace formkit
