#pragma once

#include <QString>

class QDialog;

// The message boxes, the beep, the dialogs and the program's own modal forms go through this
// service, so that tests can script the operator's answers and record what was shown.
namespace platform {

enum class MsgIcon { None, Information, Exclamation, Question, Stop };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
// Values as the message box returns them (IDOK 1 ... IDNO 7).
enum class MsgResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
enum class MsgModality { Application, Task, System };

struct MsgStyle {
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgModality modality = MsgModality::Application;
    bool foreground = false; // brought to the foreground (MB_SETFOREGROUND)
    int defaultButton = 1;   // 1-based
};

// What a box returns when the operator presses its n-th button (1-based); a number past the last
// button, or below 1, means the first, as the message box itself falls back to it.
MsgResult buttonResult(MsgButtons buttons, int button);
// The answer of a box closed with its default button.
MsgResult defaultAnswer(const MsgStyle &style);

class UiService {
public:
    virtual ~UiService() = default;
    virtual MsgResult messageBox(const QString &text, const QString &caption, const MsgStyle &style) = 0;
    // The simple system beep (MessageBeep with -1).
    virtual void beep() = 0;
    // A file open dialog starting in folder; filter as QFileDialog takes it ("Text (*.txt);;All (*)").
    // The chosen file's full path, empty when cancelled. A service without dialogs cancels.
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter);
    // A file save dialog starting at start (a folder, or a folder and a proposed name) that asks
    // before an existing file is overwritten. The chosen path, empty when cancelled (and always for a
    // service without dialogs).
    virtual QString saveFileName(const QString &title, const QString &start, const QString &filter);
    // Opens a document or page in the desktop's default viewer (the shell's "open"); false on failure.
    // A service without a desktop opens nothing.
    virtual bool openDocument(const QString &path);
    // Shows one of the program's forms modally (GUI thread only) and returns its result, as
    // QDialog::exec does (Accepted 1, Rejected 0). A service without windows shows nothing: 0.
    virtual int showModal(QDialog &dialog);
};

// The service in force: the widget implementation in the programs, a recording double in tests.
UiService &ui();
// Installs a service (not owned) and returns the previous one; nullptr restores the default,
// which answers every box with its default button and does nothing on a beep.
UiService *setUi(UiService *service);

} // namespace platform
