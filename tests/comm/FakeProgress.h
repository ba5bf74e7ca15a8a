#pragma once

#include "comm/YmThread.h"
#include "platform/UiService.h"

#include <QString>
#include <QStringList>
#include <vector>

// Records what the engine shows: progress updates and message boxes.
namespace commtest {

class FakeProgress final : public TransferProgress {
public:
    void setLabel(const QString &text) override
    {
        Label = text;
        Labels << text;
    }
    void setGaugeMaximum(int maximum) override
    {
        GaugeMaximum = maximum;
        GaugeMaximums.push_back(maximum);
    }
    void setGaugePosition(int position) override
    {
        GaugePosition = position;
        GaugePositions.push_back(position);
    }
    void setStopCaption(const QString &caption) override
    {
        StopCaption = caption;
        StopCaptions << caption;
    }
    void hideWindow() override { ++Hides; }
    void finished() override { ++Finishes; }

    QString Label;
    QStringList Labels;
    int GaugeMaximum = -1;
    std::vector<int> GaugeMaximums;
    int GaugePosition = -1;
    std::vector<int> GaugePositions;
    QString StopCaption;
    QStringList StopCaptions;
    int Hides = 0;
    int Finishes = 0;
};

// Installs itself as the UI service for its lifetime and records every message box.
class RecordingUi final : public platform::UiService {
public:
    struct Box {
        QString text;
        QString caption;
        platform::MsgStyle style;
    };
    RecordingUi() : Previous(platform::setUi(this)) {}
    ~RecordingUi() override { platform::setUi(Previous); }
    RecordingUi(const RecordingUi &) = delete;
    RecordingUi &operator=(const RecordingUi &) = delete;

    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override
    {
        Boxes.push_back(Box{text, caption, style});
        return platform::MsgResult::Ok;
    }
    void beep() override {}

    std::vector<Box> Boxes;

private:
    platform::UiService *Previous;
};

} // namespace commtest
