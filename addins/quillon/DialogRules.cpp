#include "DialogRules.h"

#include "platform/Cp932.h"

namespace quillon {
namespace {

bool empty(const QString &text)
{
    return !NumberOf(text).has_value();
}

QString extensionOf(const QString &text)
{
    const qsizetype dot = text.lastIndexOf(u'.');
    return dot < 0 ? QString() : text.mid(dot);
}

} // namespace

DialogFailure CheckBarDialog(const BarDialogInput &in, const ModelLimits &limits)
{
    const bool fixed = in.format == FmtFixed;
    if (in.letters.isEmpty())
        return {QStringLiteral("BarCodeGroup"), QStringLiteral("読取バーコードを入力してください。")};
    if (in.format == FmtSeparator && in.separatorShown && in.separator.isEmpty())
        return {QStringLiteral("SVChrSE"), QStringLiteral("区切り文字を入力してください。")};
    if (in.dataCheck) {
        if (!fixed && empty(in.chkFldNo))
            return {QStringLiteral("ChkFldNoNE"),
                    QStringLiteral("データチェックのデータＮｏを入力してください。")};
        if (empty(in.chkTop))
            return {QStringLiteral("ChkTopNE"),
                    QStringLiteral("データチェックのチェックデータ位置を入力してください。")};
        if (in.chkData.isEmpty())
            return {QStringLiteral("ChkDataSE"), QStringLiteral("チェックデータを入力してください。")};
    }
    if (empty(in.datTop))
        return {QStringLiteral("DatTopNE"), fixed ? QStringLiteral("データ選択位置を入力してください。")
                                                  : QStringLiteral("データNoを入力してください。")};
    const qint64 top = NumberOf(in.datTop).value_or(10000);
    if (fixed && top > limits.BarMaxLen && top != limits.SpTopPos)
        return {QStringLiteral("DatTopNE"), QStringLiteral("データ選択位置を再入力してください。")};
    if (!fixed && top >= 100)
        return {QStringLiteral("DatTopNE"), QStringLiteral("データNoを再入力してください。")};
    if (fixed && empty(in.datLen))
        return {QStringLiteral("DatLenNE"), QStringLiteral("データ選択桁数を入力してください。")};
    if (fixed && NumberOf(in.datLen).value_or(limits.BarMaxLen) > limits.BarMaxLen)
        return {QStringLiteral("DatLenNE"), QStringLiteral("データ選択桁数を再入力してください。")};
    if (in.delChar && in.delText.isEmpty())
        return {QStringLiteral("DelCharSE"), QStringLiteral("削除文字を入力してください。")};
    return {};
}

bool SeparatorKey(QChar key)
{
    static const QString allowed = QStringLiteral(",.:;<>()[]+-*/|･!?\"#$\\%&^~_@");
    return allowed.contains(key);
}

addins::KeyOutcome DelCharKey(const QString &, int, QChar key)
{
    if (key == addins::EnterKey)
        return addins::KeyOutcome::swallow();
    if (key.isNull() || key == addins::BackspaceKey)
        return addins::KeyOutcome::type(key);
    // A character code page 932 cannot hold encodes as "?" too.
    const QByteArray bytes = platform::cp932::encode(QString(key));
    const bool singleByte = bytes.size() == 1 && (bytes != "?" || key == u'?');
    if (!singleByte || key.isSurrogate())
        return addins::KeyOutcome::refuse();
    return addins::KeyOutcome::type(key);
}

DialogFailure CheckBzDialog(const BzDialogInput &in)
{
    if (!in.wav.isEmpty() && (extensionOf(in.wav) != QStringLiteral(".WAV") || in.wav.size() < 5))
        return {QStringLiteral("WavFileSE"), QStringLiteral("WAVファイルを再入力してください。")};
    if (empty(in.hz))
        return {QStringLiteral("BzHzNE"), QStringLiteral("周波数を再入力してください。")};
    if (empty(in.count))
        return {QStringLiteral("BzCountNE"), QStringLiteral("鳴動回数を再入力してください。")};
    if (empty(in.onTime) || NumberOf(in.onTime) == 0)
        return {QStringLiteral("BzOnTimeNE"), QStringLiteral("鳴動時間を再入力してください。")};
    if (empty(in.offTime) || NumberOf(in.offTime) == 0)
        return {QStringLiteral("BzOffTimeNE"), QStringLiteral("休止時間を再入力してください。")};
    return {};
}

bool WavFileValid(const QString &text)
{
    const QString e = extensionOf(text);
    if (e.isEmpty())
        return text.size() <= 8;
    return e.size() < 4 || e == QStringLiteral(".WAV");
}

addins::ChangeCheck WavFileChange(const QString &text, const QString &lastGood, int caret)
{
    if (WavFileValid(text))
        return {true, text, caret};
    return {false, lastGood, std::min<int>(caret, int(lastGood.size()))};
}

} // namespace quillon
