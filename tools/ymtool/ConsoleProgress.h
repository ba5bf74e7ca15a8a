#pragma once

#include "comm/YmThread.h"
#include "platform/UiService.h"

#include <QString>
#include <cstdio>
#include <mutex>

// What the progress window would show, as lines on standard output: each change of the label,
// the gauge and the stop button, and every message box (answered with its default button).
class ConsoleProgress final : public TransferProgress, public platform::UiService {
public:
    explicit ConsoleProgress(FILE *out) : out_(out) {}

    void setLabel(const QString &text) override;
    void setGaugeMaximum(int maximum) override;
    void setGaugePosition(int position) override;
    void setStopCaption(const QString &caption) override;
    void hideWindow() override;
    void finished() override;

    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override;
    void beep() override {}

private:
    void line(const QString &text);

    FILE *out_;
    std::mutex mutex_; // the stop path may show a box from another thread
    QString label_;
    QString caption_;
    int maximum_ = -1;
    int position_ = -1;
};
