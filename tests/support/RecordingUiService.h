#pragma once

#include <QString>
#include <deque>
#include <initializer_list>
#include <vector>

#include "platform/UiService.h"

namespace testsupport {

// One thing the program showed the operator: a message box or a beep.
struct UiEvent {
    enum class Kind { MessageBox, Beep };
    Kind kind = Kind::Beep;
    QString text;                                         // message boxes only
    QString caption;                                      // message boxes only
    platform::MsgStyle style;                             // message boxes only
    platform::MsgResult answer = platform::MsgResult::Ok; // what the box returned
};

// Records every message box and beep in order and answers boxes from a script; once the script is
// used up, a box is answered with its default button.
class RecordingUiService : public platform::UiService {
public:
    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override;

    // Appends answers for the next boxes, in order.
    void queueAnswer(platform::MsgResult answer);
    void queueAnswers(std::initializer_list<platform::MsgResult> answers);
    int pendingAnswers() const { return static_cast<int>(script_.size()); }

    const std::vector<UiEvent> &events() const { return events_; }
    std::vector<UiEvent> messageBoxes() const;
    int messageBoxCount() const;
    int beepCount() const;
    // Forgets what was recorded and what was scripted.
    void clear();

private:
    std::deque<platform::MsgResult> script_;
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
