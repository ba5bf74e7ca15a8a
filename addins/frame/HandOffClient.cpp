#include "HandOffClient.h"

#include "platform/Cp932.h"
#include "platform/Registry.h"

namespace addins {

HandOffRequest ReadHandOff(const HandOffReadRules &rules)
{
    HandOffRequest request;
    platform::TRegistry reg;
    if (!reg.OpenKey(HandOffKey, true))
        return request;
    request.keyOpened = true;
    request.GyName = reg.ReadString(QStringLiteral("GyName"));
    request.BhtType = reg.ReadInteger(QStringLiteral("BhtType")).value_or(0);
    const int count = reg.ReadInteger(QStringLiteral("SetCount")).value_or(0);
    request.SetCount = count < 1 ? 0 : 1;
    if (const auto para0 = reg.ReadString(QStringLiteral("Para0")))
        request.Para0 = platform::cp932::encode(*para0);
    else
        request.SetCount = 0;
    if (rules.markerPosition > 0 && request.SetCount == 1) {
        const QByteArray marker = request.Para0.mid(rules.markerPosition - 1, 2);
        if (!rules.markers.contains(marker))
            request.SetCount = 0;
    }
    if (rules.paraCount > 1 && request.SetCount == 1) {
        if (const auto para1 = reg.ReadString(QStringLiteral("Para1"))) {
            request.Para1 = platform::cp932::encode(*para1);
            request.hasPara1 = true;
        }
    }
    reg.CloseKey();
    return request;
}

bool WriteHandOffAnswer(const HandOffAnswer &answer, QString *error)
{
    platform::TRegistry reg;
    const auto fail = [&] {
        if (error)
            *error = reg.errorString();
        reg.CloseKey();
        return false;
    };
    if (!reg.OpenKey(HandOffKey, true))
        return fail();
    if (!reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(answer.Para0)))
        return fail();
    if (answer.Para1 && !reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(*answer.Para1)))
        return fail();
    if (!reg.WriteInteger(QStringLiteral("SetCount"), 1))
        return fail();
    if (!reg.WriteBool(QStringLiteral("Result"), true))
        return fail();
    reg.CloseKey();
    return true;
}

} // namespace addins
