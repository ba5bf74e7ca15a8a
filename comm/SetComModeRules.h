#pragma once

// The rules of the communication mode dialog, apart from its widgets: what its controls show for the
// library's settings, which entries it refuses, what it applies and what it stores.

#include "comm/CorlissRules.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace platform {
class TRegistry;
}

namespace comm {

// The values of the dialog's controls; the folders are the edit texts as typed.
struct TComModeControls {
    int DspIndex = 0; // 0 "表示する", 1 "表示しない"
    bool CsvCheck = false;
    bool DblQuotedChk = false;
    bool LastSpaceCheck = false;
    bool AddZeroChk = false;
    bool LogCheck = false;
    int LogFileIndex = 1; // 0 per day, 1 per month, 2 per year
    QString LogFileFolder;
    QString RxFolder;
    QString TxFolder;
};

// What the controls show when the dialog opens. A log file mode outside the list shows the monthly
// item, which is how such a mode names its files.
TComModeControls controlsFromSettings(const TComModeSettings &settings);

// Settings the library cannot work with (log on without a folder, no receive or no send folder): the
// dialog can then only be left by storing complete ones.
bool modeSettingsIncomplete(const TComModeSettings &settings);

// The edit a refused entry is about.
enum class ModeEdit { LogFileFolder, RxFolder, TxFolder };
struct ModeEntryError {
    ModeEdit edit;
    QString message;
};
// The first refused entry, or the settings the controls stand for (folders ending in "/"). A folder
// edit holding nothing but one separator counts as empty; whether the folders exist is not checked.
std::variant<ModeEntryError, TComModeSettings> settingsFromControls(const TComModeControls &controls);

// The first folder the library would drop at its next start, so that the dialog refuses it while it
// is being typed: a log folder (when logging is on), receive or send folder that is no existing
// folder, or a receive or send folder on another machine (named so, or on a network mount of the
// table mounts). Nothing when all can be used. Call it on controls settingsFromControls accepted.
std::optional<ModeEntryError> unusableFolder(const TComModeControls &controls, const QByteArray &mounts);

// Caption and text of the box shown when the settings could not be stored.
QString storeFailureCaption();
QString storeFailureMessage();

// Stores the controls in the settings key (created when missing), the folders as typed. Stops at the
// first failure: false, and why in *error when given.
bool storeModeControls(platform::TRegistry &registry, const TComModeControls &controls,
                       QString *error = nullptr);

} // namespace comm
