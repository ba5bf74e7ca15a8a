#pragma once

#include "platform/UiService.h"

#include <QString>
#include <cstdio>
#include <mutex>

class TComForm;

// What the progress window shows, as lines on standard output: each change of its label, gauge and
// stop button, its hiding by the transfer, and every message box (answered with its default button)
// and file dialog (cancelled).
class ConsoleProgress final : public platform::UiService {
public:
    explicit ConsoleProgress(FILE *out) : out_(out) {}

    // Follows the window's changes from now on, on the window's thread.
    void watch(TComForm &form);

    void setLabel(const QString &text);
    void setGauge(int position, int maximum);
    void setStopCaption(const QString &caption);
    void hidden();
    void note(const QString &text);

    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override {}
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;

private:
    void line(const QString &text);

    FILE *out_;
    std::mutex mutex_; // the transfer worker may show a box from its own thread
    QString label_;
    QString caption_;
    int maximum_ = -1;
    int position_ = -1;
};
