#pragma once

#include "common/ui/StandIn.h"
#include "platform/UiService.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

// Plays an operator at a test build of a settings program started as a separate process, where no
// test can reach its widgets. The script is a UTF-8 text file, one step a line, run in order once
// the main form is shown, each as the mouse or keyboard input a person would give:
//
//   click NAME         a left click in the middle of the control NAME
//   node N             a left click on node N of TreeView1
//   type NAME TEXT     focuses NAME and types TEXT key by key
//   key NAME KEY       focuses NAME and presses one named key (Return, Backspace, Escape)
//   answer Yes|No|Ok   the answer to the next message box
//
// Every message box is appended to the log file (caption TAB text, one line each) and answered
// with the next queued answer or else its default button, without being shown. A step naming a
// control that does not exist ends the program with exit code 3, so a broken script is no pass.
// An empty script file name plays nothing and only logs; a script that cannot be read is not ready.
class OperatorScript final : public QObject,
                             public platform::UiService,
                             public programstart::OperatorStandIn {
public:
    OperatorScript(const QString &scriptFile, const QString &logFile, platform::UiService &inner);

    platform::UiService &ui() override { return *this; }
    bool ready() const override { return ready_; }
    // Starts the steps on form once its modal loop runs.
    void formShown(QWidget &form) override;

    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override;
    int showModal(QDialog &dialog) override;

private:
    void next();
    bool runStep(const QString &step);
    void log(const QString &caption, const QString &text);

    platform::UiService &inner_;
    QString logFile_;
    QStringList steps_;
    std::deque<platform::MsgResult> answers_;
    QWidget *form_ = nullptr;
    bool ready_ = true;
};
