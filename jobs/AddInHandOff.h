#pragma once

#include "jobs/DataType.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The manager's side of the add-in settings hand-off: the job's parameter strings go into one
// registry key, the add-in's settings program runs as a separate process, and the strings come back
// only when that program reports a confirmed edit.
namespace jobs {

inline const QString AddInHandOffKey = QStringLiteral("Software\\Vestrane\\FerrolinAddInPrg");
inline constexpr int AddInBhtType = 800;

using AddInStrings = std::array<QByteArray, AddInBlockCount>;

// A job's (or the add-job record's) parameters.
struct AddInBlocks {
    int AddInCount = 0;
    AddInStrings AddInData{};
    friend bool operator==(const AddInBlocks &, const AddInBlocks &) = default;
};

// The program-name check of both buttons: empty, or (upper-cased) shorter than 5 bytes or without
// ".PD4".
enum class AddInNameCheck { Ok, Empty, Malformed };
AddInNameCheck CheckAddInName(const QString &name);
// ASCII letters upper-cased, as the name is looked up.
QString UpperAddInName(const QString &name);

// Fills the key for a start in one store update: GyName, BhtType 800, SetCount = count (bounded to
// 0..5), Para0 and Para1 when count > 0 and Para k when count > k - 1, Result false, and removes
// the Para values it does not write, so no string of an earlier hand-off can be taken for this
// job's. False (with error) when the store cannot be written: nothing may then be started.
bool WriteAddInHandOff(const QString &gyName, int count, const AddInStrings &data, QString *error = nullptr);

// What the key holds after the program ended; strings as code page 932 bytes.
struct AddInAnswer {
    bool keyOpened = false;
    bool Result = false; // true only when Result exists and is not 0
    std::optional<int> SetCount;
    std::array<std::optional<QByteArray>, AddInBlockCount> Para{};
};
AddInAnswer ReadAddInAnswer();

// The editor's clamps: count from SetCount bounded to 0..5, reduced where a Para value is missing;
// a missing Para1 reads as empty when the count is 1 or more (a program that answers Para0 only).
// Nothing (job untouched) without Result, or when the count ends at 0.
std::optional<AddInBlocks> EditorAnswer(const AddInAnswer &answer);

// The add-job dialog's clamps, applied to target (AddGyDat's count and strings): count from SetCount
// bounded to 1..5, 1 when missing; missing strings reduce it; never below 1; entries above the count
// that were not visited keep their contents. False (target untouched) without Result.
bool AddJobAnswer(const AddInAnswer &answer, AddInBlocks &target);

// Starts the settings program with an empty command line and waits for its end in 100 ms steps,
// the caller's events running (its window disabled by the caller). False when it could not be
// started.
bool RunSettingsProgram(const QString &path);

// TAdGyForm.AddInSetPrg: the add-job dialog's hand-off for the upper-cased program name, with the
// dialog's job name. 0: nothing taken back (not confirmed, or the key could not be written), 1:
// taken into target, 2: no settings program (the error box "設定プログラムを実行できません。" is shown
// first when the listed file is missing). The caller disables its dialog around the call.
int AddInSetPrg(const QString &appPath, const QString &programName, const QString &gyName,
                AddInBlocks &target);

} // namespace jobs
