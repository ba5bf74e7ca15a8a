#include "Startup.h"

#include "MainRules.h"

namespace manager {
namespace {

platform::MsgStyle stopStyle(bool foreground)
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    style.foreground = foreground;
    return style;
}

} // namespace

std::optional<StartRefusal> versionRefusal(const platform::OsVersion &version)
{
    switch (platform::checkOsVersion(version)) {
    case platform::OsVersionCheck::Accepted:
        return std::nullopt;
    case platform::OsVersionCheck::QueryFailed:
        return StartRefusal{QStringLiteral("Windowsﾊﾞｰｼﾞｮﾝ情報を取得できません！！"), stopStyle(false)};
    case platform::OsVersionCheck::Unsupported:
        break;
    }
    return StartRefusal{QStringLiteral("お使いのOSでは本ソフトウェアはご利用できません。"), stopStyle(true)};
}

StartRefusal secondInstanceRefusal()
{
    return {QStringLiteral("既にこのプログラムは起動しています。"), stopStyle(true)};
}

QString appPathOf(const QString &programFile)
{
    return folderOf(programFile);
}

} // namespace manager
