#pragma once

#include "addins/frame/Symbology.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Olvide's parameters: the GS1 application identifier whose date the terminal checks, the date it
// is compared with, the comparison and the symbologies read, in one 400-byte string Para0.
namespace olvide {

inline constexpr int ParaLength = 400;

// The settings as the page holds them. An index of -1 is a list left without a chosen item.
struct OlvideSettings {
    int AiIndex = 6; // AICB: AI - 11
    int CmpDate = 0; // CmpDateCB: 0 "システム日付", 1 "日付設定"
    QString Year = QStringLiteral("00");
    QString Month = QStringLiteral("1");
    QString Day = QStringLiteral("1");
    int CmpMode = 4;                     // CmpModeCB: 0 "<", 1 "<=", 2 "=", 3 ">=", 4 ">"
    addins::SymbologyChoice Symbologies; // R K Q X Y Z V G and the user-defined box
    QString UserBar;

    friend bool operator==(const OlvideSettings &, const OlvideSettings &) = default;
};

bool ModelSupported(int model);
// The boxes the page shows on the model: R, K and the user-defined box everywhere, Q X Y Z V on all
// but 900, G on 1300 only.
addins::SymbologyShown ShownOnModel(int model);

// The defaults of a job without parameters: AI 17, system date, year "00", day and month "1", ">",
// no symbology.
OlvideSettings DefaultSettings();
// Reads Para0 with each field's default and bounds.
OlvideSettings ReadPara(const QByteArray &para0);
// Para0 of the settings on the model: letters of boxes the model hides are not written.
QByteArray WritePara(const OlvideSettings &settings, int model);

// The controls CheckData focuses.
enum class Field { AICB, CmpDateCB, CmpYearSE, CmpMonthNE, CmpDayNE, CmpModeCB, Code128Chk, UserBarSE };

struct CheckError {
    Field field;
    QString message;
};

// The first rule the settings break on the model, if any.
std::optional<CheckError> CheckData(const OlvideSettings &settings, int model);

} // namespace olvide
