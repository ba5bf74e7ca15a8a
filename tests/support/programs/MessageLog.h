#pragma once

#include "platform/UiService.h"

#include <QString>

// Stands in for the operator at the message boxes when a test build of the manager runs unattended
// (a test that starts it as a process): each box's caption and text is appended to a log file and the box is
// answered with its default button without being shown; a modal form is logged by its caption and
// cancelled without being shown. Everything else goes to the inner service.
namespace testsupport {

class MessageLogUiService final : public platform::UiService {
public:
    MessageLogUiService(platform::UiService &inner, const QString &logFile);

    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &start, const QString &filter) override;
    bool openDocument(const QString &path) override;
    int showModal(QDialog &dialog) override;

private:
    void append(const QString &caption, const QString &text);

    platform::UiService &inner_;
    QString logFile_;
};

} // namespace testsupport
