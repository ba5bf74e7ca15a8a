#pragma once

#include "jobs/DataType.h"
#include "jobs/LetterCodes.h"

#include <array>

// The mock-up of the terminal's screen beside the job page, as plain values: what each label of
// the panel shows and where. The panel's form only draws it. The screen is 20 half-width columns
// of 7 pixels and rows of 14 pixels (a 14-pixel Japanese gothic, whose full-width characters take two
// columns); positions are pixels inside the panel, and a label aligns its text within its width.

inline constexpr int PreviewColumnWidth = 7;
inline constexpr int PreviewRowHeight = 14;
inline constexpr int PreviewScreenColumns = 20;
inline constexpr int PreviewLeft = 2;
inline constexpr int PreviewScreenWidth = PreviewScreenColumns * PreviewColumnWidth; // 140
inline constexpr int PreviewNameLabels = 5;                                          // K1Label..K5Label
inline constexpr int PreviewDataRows = 11;                                           // D1Label..D11Label
inline constexpr int PreviewKeyLabels = 6;                                           // G1Label..G6Label
// Room the panel needs for the title, eleven rows and the function-key line.
inline constexpr int PreviewPanelWidth = PreviewLeft + PreviewScreenWidth + PreviewLeft;
inline constexpr int PreviewPanelHeight = 16 + (PreviewDataRows + 1) * PreviewRowHeight + 2;

enum class PreviewAlign { Left, Centre, Right };

struct PreviewLabel {
    bool Visible = false;
    QString Text;
    PreviewAlign Align = PreviewAlign::Left;
    ColourRgb FontColour = ColourValue(0);
    ColourRgb BackColour = ColourValue(1);
    int Left = PreviewLeft;
    int Top = 0;
    int Width = PreviewScreenWidth;
    int Height = PreviewRowHeight;
};

struct ScreenPreview {
    PreviewLabel TitleLabel;
    std::array<PreviewLabel, PreviewNameLabels> KLabel;
    std::array<PreviewLabel, PreviewDataRows> DLabel;
    PreviewLabel S1Label;    // count line
    PreviewLabel TotalLabel; // total line of a mode B job
    std::array<PreviewLabel, PreviewKeyLabels> GLabel;
};

// The panel for the job and its current item (TmpGrFlg, TmpGrNo, TmpDaNo). The receive protocol of
// modes R and r is the job's own RcvProto. The job is not changed: its screen lines are worked out
// on a copy. A current index outside its list counts as the nearest item; a current list without
// items shows no item.
ScreenPreview DspBhtPanel(const TGyData &job);
