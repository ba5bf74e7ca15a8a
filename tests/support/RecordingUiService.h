#pragma once

#include <QString>

class QDialog;
#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/UiService.h"

namespace testsupport {

// One thing the program showed the operator: a message box, a beep, a file dialog, an opened document
// or one of its modal forms.
struct UiEvent {
    enum class Kind { MessageBox, Beep, FileDialog, SaveDialog, OpenDocument, Form };
    Kind kind = Kind::Beep;
    QString text;                                         // message boxes; file dialog: the folder;
                                                          // document: the path; form: its objectName
    QString caption;                                      // message boxes; file dialog: the title;
                                                          // form: its window title when shown
    platform::MsgStyle style;                             // message boxes only
    platform::MsgResult answer = platform::MsgResult::Ok; // what the box returned
    QString filter;                                       // file dialog only
    QString chosen;                                       // file dialog: the name returned
    int formResult = 0;                                   // form: what showModal returned
    bool formLeftOpen = false; // form: the script ended with the form still open (closed for it)
};

// Plays the operator at a modal form: runs inside the form's own modal loop, and is expected to
// end it (a confirm or cancel button, close()).
using FormScript = std::function<void(QDialog &form)>;

// Records every message box, beep, file dialog and opened document in order and answers boxes and file
// dialogs from scripts; once a script is used up, a box is answered with its default button and a file
// dialog is cancelled. Opening a document succeeds unless setOpenDocumentResult(false). A modal form
// runs its real modal loop with the next queued form script; with none queued it is not shown and
// returns 0, as if cancelled.
class RecordingUiService : public platform::UiService {
public:
    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &start, const QString &filter) override;
    bool openDocument(const QString &path) override;
    int showModal(QDialog &dialog) override;

    // Appends answers for the next boxes, in order.
    void queueAnswer(platform::MsgResult answer);
    void queueAnswers(std::initializer_list<platform::MsgResult> answers);
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    // Appends the name the next file dialog returns; an empty name cancels it.
    void queueFileName(const QString &name);
    int pendingFileNames() const { return static_cast<int>(fileNames_.size()); }
    void setOpenDocumentResult(bool result) { openDocumentResult_ = result; }
    // Appends the script of the next modal form shown (forms nested in it take the ones after).
    void queueForm(FormScript script);
    int pendingForms() const { return static_cast<int>(formScripts_.size()); }

    const std::vector<UiEvent> &events() const { return events_; }
    std::vector<UiEvent> messageBoxes() const;
    int messageBoxCount() const;
    int beepCount() const;
    std::vector<UiEvent> fileDialogs() const;
    std::vector<UiEvent> openedDocuments() const;
    std::vector<UiEvent> forms() const;
    // Forgets what was recorded and what was scripted.
    void clear();

private:
    std::vector<UiEvent> eventsOf(UiEvent::Kind kind) const;

    std::deque<platform::MsgResult> script_;
    std::deque<QString> fileNames_;
    std::deque<FormScript> formScripts_;
    bool openDocumentResult_ = true;
    std::vector<UiEvent> events_;
};

// Installs a service for its lifetime and puts the previous one back.
class ScopedUiService {
public:
    explicit ScopedUiService(platform::UiService &service) : previous_(platform::setUi(&service)) {}
    ~ScopedUiService() { platform::setUi(previous_); }
    ScopedUiService(const ScopedUiService &) = delete;
    ScopedUiService &operator=(const ScopedUiService &) = delete;

private:
    platform::UiService *previous_;
};

// A recorder that is installed while it lives: `RecordingUi ui; ... ui.events()`.
class RecordingUi final : public RecordingUiService {
public:
    RecordingUi() : scope_(*this) {}

private:
    ScopedUiService scope_;
};

} // namespace testsupport
