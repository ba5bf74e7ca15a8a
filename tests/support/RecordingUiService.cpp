#include "RecordingUiService.h"

#include <algorithm>
#include <iterator>

namespace testsupport {

platform::MsgResult RecordingUiService::messageBox(const QString &text, const QString &caption,
                                                   const platform::MsgStyle &style)
{
    platform::MsgResult answer = platform::defaultAnswer(style);
    if (!script_.empty()) {
        answer = script_.front();
        script_.pop_front();
    }
    events_.push_back({UiEvent::Kind::MessageBox, text, caption, style, answer});
    return answer;
}

void RecordingUiService::beep()
{
    UiEvent event;
    event.kind = UiEvent::Kind::Beep;
    events_.push_back(event);
}

void RecordingUiService::queueAnswer(platform::MsgResult answer)
{
    script_.push_back(answer);
}

void RecordingUiService::queueAnswers(std::initializer_list<platform::MsgResult> answers)
{
    script_.insert(script_.end(), answers.begin(), answers.end());
}

std::vector<UiEvent> RecordingUiService::messageBoxes() const
{
    std::vector<UiEvent> boxes;
    std::copy_if(events_.begin(), events_.end(), std::back_inserter(boxes),
                 [](const UiEvent &e) { return e.kind == UiEvent::Kind::MessageBox; });
    return boxes;
}

int RecordingUiService::messageBoxCount() const
{
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](const UiEvent &e) {
        return e.kind == UiEvent::Kind::MessageBox;
    }));
}

int RecordingUiService::beepCount() const
{
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [](const UiEvent &e) { return e.kind == UiEvent::Kind::Beep; }));
}

void RecordingUiService::clear()
{
    script_.clear();
    events_.clear();
}

} // namespace testsupport
