#pragma once

#include <QString>
#include <deque>
#include <initializer_list>
#include <vector>

#include "platform/UiService.h"

namespace testsupport {

// One thing the program showed the operator: a message box, a beep, a file dialog or an opened document.
struct UiEvent {
    enum class Kind { MessageBox, Beep, FileDialog, OpenDocument };
    Kind kind = Kind::Beep;
    QString text;                                         // message boxes; file dialog: the folder;
                                                          // document: the path
    QString caption;                                      // message boxes; file dialog: the title
    platform::MsgStyle style;                             // message boxes only
    platform::MsgResult answer = platform::MsgResult::Ok; // what the box returned
    QString filter;                                       // file dialog only
    QString chosen;                                       // file dialog: the name returned
};

// Records every message box, beep, file dialog and opened document in order and answers boxes and file
// dialogs from scripts; once a script is used up, a box is answered with its default button and a file
// dialog is cancelled. Opening a document succeeds unless setOpenDocumentResult(false).
class RecordingUiService : public platform::UiService {
public:
    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    bool openDocument(const QString &path) override;

    // Appends answers for the next boxes, in order.
    void queueAnswer(platform::MsgResult answer);
    void queueAnswers(std::initializer_list<platform::MsgResult> answers);
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    // Appends the name the next file dialog returns; an empty name cancels it.
    void queueFileName(const QString &name);
    int pendingFileNames() const { return static_cast<int>(fileNames_.size()); }
    void setOpenDocumentResult(bool result) { openDocumentResult_ = result; }

    const std::vector<UiEvent> &events() const { return events_; }
    std::vector<UiEvent> messageBoxes() const;
    int messageBoxCount() const;
    int beepCount() const;
    std::vector<UiEvent> fileDialogs() const;
    std::vector<UiEvent> openedDocuments() const;
    // Forgets what was recorded and what was scripted.
    void clear();

private:
    std::vector<UiEvent> eventsOf(UiEvent::Kind kind) const;

    std::deque<platform::MsgResult> script_;
    std::deque<QString> fileNames_;
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
