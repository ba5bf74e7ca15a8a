#include "CheckData.h"

namespace quillon {
namespace {

bool empty(const QString &text)
{
    return !NumberOf(text).has_value();
}

qint64 value(const QString &text, qint64 notNumber)
{
    return NumberOf(text).value_or(notNumber);
}

bool startOutside(int top, const ModelLimits &limits)
{
    return top <= 0 || (top > limits.BarMaxLen && top != limits.SpTopPos);
}

const QString NameMissing = QStringLiteral("項目名を入力してください。");
const QString MaxMissing = QStringLiteral("入力最大桁数を入力してください。");
const QString MinMissing = QStringLiteral("入力最小桁数を入力してください。");
const QString MaxAgain = QStringLiteral("入力最大桁数を再入力してください。");
const QString MinAgain = QStringLiteral("入力最小桁数を再入力してください。");
const QString MaxMinAgain = QStringLiteral("入力最大/最小桁数を再入力してください。");
const QString MasterMissing = QStringLiteral("マスターファイル名を入力してください。");

struct DigitFields {
    int maxCode, minCode;
    QString maxName, minName;
};

// The maximum and minimum digit rules shared by the data kind and the search key.
CheckFailure checkDigits(const QString &max, const QString &min, int limit, int page, const DigitFields &f)
{
    if (empty(max))
        return {f.maxCode, MaxMissing, page, f.maxName};
    if (empty(min))
        return {f.minCode, MinMissing, page, f.minName};
    if (value(max, 0) > limit)
        return {f.maxCode, MaxAgain, page, f.maxName};
    if (value(min, 0) > limit)
        return {f.minCode, MinAgain, page, f.minName};
    if (value(max, 1) < value(min, 1))
        return {f.minCode, MaxMinAgain, page, f.minName};
    return {};
}

} // namespace

QString CheckBarDat(const TBarDat &bar, const ModelLimits &limits)
{
    if (bar.BarType.isEmpty() && bar.BarUser.isEmpty())
        return QStringLiteral("読取バーコードを設定してください。");
    if (bar.BFmt == FmtSeparator && bar.SVChar.isNull())
        return QStringLiteral("区切り文字を入力してください。");
    if (bar.BChkMode > 0 && (startOutside(bar.BChkTop, limits) || bar.BChkStr.isEmpty()))
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。");
    if (bar.BFmt == FmtFixed && (startOutside(bar.DTop, limits) || bar.Dlen > limits.BarMaxLen))
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。");
    if (bar.BFmt > FmtFixed && (bar.DTop <= 0 || bar.DTop >= 100))
        return QStringLiteral("データNoを再設定してください。");
    return {};
}

int CheckSaveFld(char code, const SaveRowEdits &edits)
{
    if (QByteArrayView("%*1234567890").contains(code)) {
        if (empty(edits.top))
            return 51;
        if (value(edits.top, 0) == 0)
            return 52;
    }
    if (QByteArrayView("#%*1234567890").contains(code)) {
        if (empty(edits.len))
            return 53;
        if (value(edits.len, 0) == 0)
            return 54;
    }
    return 0;
}

CheckFailure CheckData(const QuillonSettings &s, const ModelLimits &limits)
{
    if (s.DKubunChk) {
        if (s.DKNameSE.isEmpty())
            return {10, NameMissing, 1, QStringLiteral("DKNameSE")};
        const int fixed = FixedDigits(s);
        const QString max = fixed > 0 ? QString::number(fixed) : s.DKMaxNE;
        const QString min = fixed > 0 ? QString::number(fixed) : s.DKMinNE;
        const CheckFailure digits =
            checkDigits(max, min, DisplayLimit(s, limits), 1,
                        {11, 12, QStringLiteral("DKMaxNE"), QStringLiteral("DKMinNE")});
        if (!digits.passed())
            return digits;
        // A date or time kind hides the barcode and master boxes but keeps their ticks, and a ticked
        // box is written: it is checked all the same, and the focus goes to the data type that hides
        // it, the control the operator has to change.
        const auto focusFor = [fixed](const char *control) {
            return fixed > 0 ? QStringLiteral("DKTypeCB") : QString::fromLatin1(control);
        };
        if (s.DKBarChk) {
            const QString bar = CheckBarDat(s.DKBarDat, limits);
            if (!bar.isEmpty())
                return {13, bar, 1, focusFor("DKBarBtn")};
        }
        if (s.DKMstUseChk && s.DKMstFileSE.isEmpty())
            return {14, MasterMissing, 1, focusFor("DKMstFileSE")};
    }

    if (s.KKNameSE.isEmpty())
        return {20, NameMissing, 2, QStringLiteral("KKNameSE")};
    if (const QString bar = CheckBarDat(s.KKBarDat, limits); !bar.isEmpty())
        return {21, bar, 2, QStringLiteral("KKBarBtn")};
    const CheckFailure key = checkDigits(s.KKMaxNE, s.KKMinNE, limits.DKMaxStd, 2,
                                         {22, 23, QStringLiteral("KKMaxNE"), QStringLiteral("KKMinNE")});
    if (!key.passed())
        return key;
    if (s.KKMstFileSE.isEmpty())
        return {24, MasterMissing, 2, QStringLiteral("KKMstFileSE")};

    if (s.SKNameSE.isEmpty())
        return {30, NameMissing, 2, QStringLiteral("SKNameSE")};
    if (const QString bar = CheckBarDat(s.SKBarDat, limits); !bar.isEmpty())
        return {31, bar, 2, QStringLiteral("SKBarBtn")};
    if (s.SKMstUseChk && s.SKMstFileSE.isEmpty())
        return {32, MasterMissing, 2, QStringLiteral("SKMstFileSE")};

    if (empty(s.OkDspTimeNE))
        return {40, QStringLiteral("OK表示時間を入力してください。"), 2, QStringLiteral("OkDspTimeNE")};
    if (empty(s.NgDspTimeNE))
        return {41, QStringLiteral("NG表示時間を入力してください。"), 2, QStringLiteral("NgDspTimeNE")};

    if (!s.DSaveChk)
        return {};
    if (s.SaveFileSE.isEmpty())
        return {50, QStringLiteral("保存ファイル名を入力してください。"), 3, QStringLiteral("SaveFileSE")};
    SaveRows rows = s.SaveDat;
    CheckSaveDat(rows, GetSaveDef(s.DKubunChk), limits);
    const int count = std::clamp(s.saveCount(), 1, SaveRowCount);
    for (int k = 1; k <= count; ++k) {
        const int code = CheckSaveFld(rows[std::size_t(k - 1)].code, s.SaveEdits[std::size_t(k - 1)]);
        if (code == 0)
            continue;
        const QString message = (code == 51 || code == 53)
                                    ? QStringLiteral("フィールド情報を入力してください。")
                                    : QStringLiteral("フィールド情報を再設定してください。");
        const QString focus = (code == 51 || code == 52) ? QStringLiteral("F%1TopNE").arg(k)
                                                         : QStringLiteral("F%1LenNE").arg(k);
        return {code, message, 3, focus};
    }
    qint64 total = 0;
    for (int k = 0; k < count; ++k)
        total += s.SaveDat[std::size_t(k)].len;
    if (total > 65535)
        return {55, QStringLiteral("フィールド合計桁数を小さくしてください。"), 3,
                QStringLiteral("SField1CB")};
    return {};
}

} // namespace quillon
