#pragma once

#include "Settings.h"

#include <QList>
#include <QString>
#include <optional>

// The mock-up of the terminal's processing screen on the screen page: which lines the model's
// panel shows, in order from the top, and what each reads.
namespace marrent {

struct PreviewLine {
    QString name; // stable name of the line: Title, DpName, DpData, SCCaption, SCData, Quantity,
                  // SNameCaption, SName1, SName2, then CountCaption, Remain, Count, M1Label,
                  // M2Label, M2Caption
    QString text;
    friend bool operator==(const PreviewLine &, const PreviewLine &) = default;
};

struct PreviewScreen {
    int panel = 600;                         // 500, 600 or 900: the panel of the model
    QList<PreviewLine> lines;                // the shown lines, top to bottom; hidden lines take no room
    QString text(const QString &name) const; // empty when the line is hidden
    bool shows(const QString &name) const;
};

// DspBhtGamen. gyName: the job name of the hand-off, if any.
PreviewScreen BuildPreview(const MarrentSettings &s, const ModelLimits &limits,
                           const std::optional<QString> &gyName);

} // namespace marrent
