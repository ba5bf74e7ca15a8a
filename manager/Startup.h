#pragma once

#include "platform/OsVersion.h"
#include "platform/UiService.h"

#include <QString>
#include <optional>

// The start-up decisions of the manager, apart from the process and its windows.
namespace manager {

// Caption of the main window and of the start-up boxes, and the title the single-instance lock is
// taken for.
inline const QString AppTitle = QStringLiteral("Ferrolin Pro BHT-800");
inline const QString ApplicationTitle = QStringLiteral("FerrolinBHT-800ﾏﾈｰｼﾞｬｰ");
// The window class the single-instance lock is taken for.
inline const QString MainFormClass = QStringLiteral("TMainForm");

// A refused start: the box to show before the process ends with exit code 1.
struct StartRefusal {
    QString text;
    platform::MsgStyle style;
};

// Nothing when the platform is accepted.
std::optional<StartRefusal> versionRefusal(const platform::OsVersion &version);
StartRefusal secondInstanceRefusal();

// The program's folder with a trailing "/", from the program file's path.
QString appPathOf(const QString &programFile);

} // namespace manager
