#include "HandOff.h"

#include "addins/frame/HandOffClient.h"

namespace marrent {

std::optional<MarrentLoad> LoadMarrent()
{
    // The marker stands at 367 on model 500 and 467 on the others; which applies is known only once
    // the model is read, so the key is read with the marker check left to this function.
    addins::HandOffReadRules rules;
    rules.paraCount = 2;
    const addins::HandOffRequest request = addins::ReadHandOff(rules);
    const auto limits = LimitsOf(request.BhtType);
    if (!request.keyOpened || !limits)
        return std::nullopt;

    MarrentLoad load;
    load.limits = *limits;
    load.GyName = request.GyName;
    load.caption = request.GyName ? *request.GyName + QStringLiteral(" 設定")
                                  : QStringLiteral("ピッキング検品プログラム設定");
    load.caption += QStringLiteral(" (BHT-%1)").arg(limits->BhtType);

    int count = request.SetCount;
    if (count == 1) {
        const QByteArray marker = request.Para0.mid(MarkerPosition(*limits) - 1, 2);
        if (marker != "P0" && marker != "  ")
            count = 0;
    }
    if (count == 1 && !request.hasPara1)
        count = 0;
    load.SetCount = count;
    load.settings =
        count == 1 ? DecodeParas({request.Para0, request.Para1}, *limits) : DefaultSettings(*limits);
    return load;
}

bool SaveMarrent(const MarrentSettings &s, const ModelLimits &limits, QString *error)
{
    const ParaStrings paras = EncodeParas(s, limits);
    return addins::WriteHandOffAnswer({paras.Para0, paras.Para1}, error);
}

} // namespace marrent
