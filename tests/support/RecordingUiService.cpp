#include "RecordingUiService.h"

#include <QDialog>
#include <QTimer>

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
    UiEvent event;
    event.kind = UiEvent::Kind::MessageBox;
    event.text = text;
    event.caption = caption;
    event.style = style;
    event.answer = answer;
    events_.push_back(event);
    return answer;
}

void RecordingUiService::beep()
{
    UiEvent event;
    event.kind = UiEvent::Kind::Beep;
    events_.push_back(event);
}

QString RecordingUiService::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    UiEvent event;
    event.kind = UiEvent::Kind::FileDialog;
    event.text = folder;
    event.caption = title;
    event.filter = filter;
    if (!fileNames_.empty()) {
        event.chosen = fileNames_.front();
        fileNames_.pop_front();
    }
    events_.push_back(event);
    return event.chosen;
}

QString RecordingUiService::saveFileName(const QString &title, const QString &start, const QString &filter)
{
    const QString chosen = openFileName(title, start, filter);
    events_.back().kind = UiEvent::Kind::SaveDialog;
    return chosen;
}

bool RecordingUiService::openDocument(const QString &path)
{
    UiEvent event;
    event.kind = UiEvent::Kind::OpenDocument;
    event.text = path;
    events_.push_back(event);
    return openDocumentResult_;
}

int RecordingUiService::showModal(QDialog &dialog)
{
    UiEvent event;
    event.kind = UiEvent::Kind::Form;
    event.text = dialog.objectName();
    event.caption = dialog.windowTitle();
    const std::size_t index = events_.size();
    events_.push_back(event);
    if (formScripts_.empty())
        return 0;
    FormScript script = std::move(formScripts_.front());
    formScripts_.pop_front();
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&dialog, &leftOpen, script = std::move(script)] {
        script(dialog);
        // A script that forgot to end the form must not hang the test.
        if (dialog.isVisible()) {
            leftOpen = true;
            dialog.done(QDialog::Rejected);
        }
    });
    const int result = dialog.exec();
    events_[index].formResult = result;
    events_[index].formLeftOpen = leftOpen;
    return result;
}

void RecordingUiService::queueForm(FormScript script)
{
    formScripts_.push_back(std::move(script));
}

void RecordingUiService::queueFileName(const QString &name)
{
    fileNames_.push_back(name);
}

void RecordingUiService::queueAnswer(platform::MsgResult answer)
{
    script_.push_back(answer);
}

void RecordingUiService::queueAnswers(std::initializer_list<platform::MsgResult> answers)
{
    script_.insert(script_.end(), answers.begin(), answers.end());
}

std::vector<UiEvent> RecordingUiService::eventsOf(UiEvent::Kind kind) const
{
    std::vector<UiEvent> found;
    std::copy_if(events_.begin(), events_.end(), std::back_inserter(found),
                 [kind](const UiEvent &e) { return e.kind == kind; });
    return found;
}

std::vector<UiEvent> RecordingUiService::messageBoxes() const
{
    return eventsOf(UiEvent::Kind::MessageBox);
}

std::vector<UiEvent> RecordingUiService::fileDialogs() const
{
    return eventsOf(UiEvent::Kind::FileDialog);
}

std::vector<UiEvent> RecordingUiService::openedDocuments() const
{
    return eventsOf(UiEvent::Kind::OpenDocument);
}

std::vector<UiEvent> RecordingUiService::forms() const
{
    return eventsOf(UiEvent::Kind::Form);
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
    fileNames_.clear();
    formScripts_.clear();
    openDocumentResult_ = true;
    events_.clear();
}

} // namespace testsupport
