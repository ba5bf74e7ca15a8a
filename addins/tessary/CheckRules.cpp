#include "CheckRules.h"

#include "SaveLayout.h"

#include "addins/frame/ByteText.h"

#include <algorithm>

namespace tessary {

namespace {

bool Blank(const QString &text)
{
    return addins::TrimBlanks(text).isEmpty();
}

CheckFailure Fail(int code, const QString &message, int page, const QString &control)
{
    return {code, message, page, control};
}

QString RowName(const char *pattern, int row)
{
    return QString::fromLatin1(pattern).arg(row);
}

} // namespace

QString CheckBarDat(const TBarDat &bar, BarRole role, int dousa, const TModel &model)
{
    if (bar.BarType.isEmpty() && bar.BarUser.isEmpty())
        return QStringLiteral("読取バーコードを設定してください。");
    if (bar.BMax < 1 || bar.BMax < bar.BMin)
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。");
    const auto beyond = [&](int top) { return top > bar.BMax && top != model.SpTopPos; };
    if (bar.BChkMode > 0 && (bar.BChkTop < 1 || beyond(bar.BChkTop) || bar.BChkStr.isEmpty()))
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。");
    const bool pieceInvalid = bar.DTop[0] < 1 || beyond(bar.DTop[0]) || bar.Dlen[0] > bar.BMax;
    if (!pieceInvalid)
        return {};
    switch (role) {
    case BarRole::DataKind:
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。");
    case BarRole::Source:
        if (dousa == OneToN)
            return {};
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞの照合元ﾃﾞｰﾀを再設定してください。");
    case BarRole::Target:
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞの調合先ﾃﾞｰﾀを再設定してください。");
    }
    return {};
}

QString SaveTopName(int row)
{
    return RowName("SFTop%1NE", row);
}

QString SaveLenName(int row)
{
    return RowName("SFLen%1NE", row);
}

std::optional<CheckFailure> CheckData(const TTessaryState &s, const TModel &model)
{
    const QString itemName = QStringLiteral("項目名を入力してください。");
    const QString masterFile = QStringLiteral("マスターファイル名を入力してください。");
    const QString masterField = QStringLiteral("フィールド情報を入力してください。");
    const QString resetSave = QStringLiteral("保存データを再設定してください。");

    if (s.DKubun) {
        const int limit = s.DKFont == 1 ? model.DKMaxWide : model.DKMaxStd;
        if (Blank(s.DKName))
            return Fail(10, itemName, DataKindPage, QStringLiteral("DKNameSE"));
        if (!s.DKMax)
            return Fail(11, QStringLiteral("入力最大桁数を入力してください。"), DataKindPage,
                        QStringLiteral("DKMaxNE"));
        if (!s.DKMin)
            return Fail(12, QStringLiteral("入力最小桁数を入力してください。"), DataKindPage,
                        QStringLiteral("DKMinNE"));
        if (s.DKMax.value_or(0) > limit)
            return Fail(11, QStringLiteral("入力最大桁数を再入力してください。"), DataKindPage,
                        QStringLiteral("DKMaxNE"));
        if (s.DKMin.value_or(0) > limit)
            return Fail(12, QStringLiteral("入力最小桁数を再入力してください。"), DataKindPage,
                        QStringLiteral("DKMinNE"));
        if (s.DKMax.value_or(1) < s.DKMin.value_or(1))
            return Fail(12, QStringLiteral("入力最大/最小桁数を再入力してください。"), DataKindPage,
                        QStringLiteral("DKMinNE"));
        if (s.DKBar) {
            const QString message = CheckBarDat(s.DKBarDat, BarRole::DataKind, s.Dousa, model);
            if (!message.isEmpty())
                return Fail(13, message, DataKindPage, QStringLiteral("DKBarBtn"));
        }
        if (s.DKMst && Blank(s.DKMstFile))
            return Fail(14, masterFile, DataKindPage, QStringLiteral("DKMstFileSE"));
        if (s.DKMst && Blank(s.DKMstField))
            return Fail(15, masterField, DataKindPage, QStringLiteral("DKMstFieldSE"));
    }

    if (Blank(s.MKName))
        return Fail(20, itemName, CollationPage, QStringLiteral("MKNameSE"));
    if (s.MKMst) {
        if (!s.SerchDatTop)
            return Fail(21, QStringLiteral("検索データ先頭を入力してください。"), CollationPage,
                        QStringLiteral("SerchDatTopNE"));
        if (!s.SerchDatLen)
            return Fail(22, QStringLiteral("検索データ桁数を入力してください。"), CollationPage,
                        QStringLiteral("SerchDatLenNE"));
        if (Blank(s.MKMstFile))
            return Fail(23, masterFile, CollationPage, QStringLiteral("MKMstFileSE"));
        if (Blank(s.MKMstField))
            return Fail(24, masterField, CollationPage, QStringLiteral("MKMstFieldSE"));
    }
    if (const QString m = CheckBarDat(s.MKBarDat, BarRole::Source, s.Dousa, model); !m.isEmpty())
        return Fail(30, m, CollationPage, QStringLiteral("MKBarBtn"));
    if (Blank(s.SKName))
        return Fail(25, itemName, CollationPage, QStringLiteral("SK1NameSE"));
    if (const QString m = CheckBarDat(s.CKBarDat, BarRole::Target, s.Dousa, model); !m.isEmpty())
        return Fail(31, m, CollationPage, QStringLiteral("SK1BarBtn"));

    if (s.DSave) {
        if (Blank(s.SaveFile))
            return Fail(40, QStringLiteral("保存ファイル名を入力してください。"), SavePage,
                        QStringLiteral("SaveFileSE"));
        const int used = std::clamp(s.SaveFields, 1, SaveFieldMax);
        for (int i = 0; i < used; ++i)
            if (s.SaveDat[std::size_t(i)].top == 0)
                return Fail(41, resetSave, SavePage, SaveTopName(i + 1));
        qint64 sum = 0;
        for (int i = 0; i < used; ++i) {
            if (s.SaveDat[std::size_t(i)].len == 0)
                return Fail(42, resetSave, SavePage, SaveLenName(i + 1));
            sum += s.SaveDat[std::size_t(i)].len;
        }
        if (sum > SaveRecordMax)
            return Fail(43, QStringLiteral("保存データ桁数を小さくしてください。"), SavePage, SaveLenName(1));
    }
    return std::nullopt;
}

std::optional<BarDialogFailure> CheckBarDialog(const BarDialogInput &in, const TModel &model)
{
    const auto fail = [](const char *message, const QString &control) {
        return BarDialogFailure{QString::fromUtf8(message), control};
    };
    const auto row = [](const char *pattern, int i) { return RowName(pattern, i + 1); };
    const int a = in.BarMax.value_or(model.BarMaxLen);
    const auto beyond = [&](int top, int limit) { return top > limit && top != model.SpTopPos; };

    if (in.letters.isEmpty())
        return fail("読取バーコードを入力してください。", QStringLiteral("BarTypeGB"));
    if (!in.BarMax)
        return fail("読取最大桁数を入力してください。", QStringLiteral("BarMaxNE"));
    if (*in.BarMax > model.BarMaxLen)
        return fail("読取最大桁数を再入力してください。", QStringLiteral("BarMaxNE"));
    if (!in.BarMin)
        return fail("読取最小桁数を入力してください。", QStringLiteral("BarMinNE"));
    if (*in.BarMin > a)
        return fail("読取最小桁数を再入力してください。", QStringLiteral("BarMinNE"));
    if (in.dataCheck) {
        if (Delimited(in.format) && !in.ChkFldNo)
            return fail("データチェックのデータＮｏを入力してください。", QStringLiteral("ChkFldNoNE"));
        if (!in.ChkTop)
            return fail("データチェックのチェックデータ位置を入力してください。", QStringLiteral("ChkTopNE"));
        if (in.ChkData.isEmpty())
            return fail("チェックデータを入力してください。", QStringLiteral("ChkDataSE"));
    }
    switch (in.role) {
    case BarRole::DataKind:
        if (!in.InpDatTop)
            return fail("データ選択位置を入力してください。", QStringLiteral("InpDatTopNE"));
        if (beyond(*in.InpDatTop, a))
            return fail("データ選択位置を再入力してください。", QStringLiteral("InpDatTopNE"));
        if (!in.InpDatLen)
            return fail("データ選択桁数を入力してください。", QStringLiteral("InpDatLenNE"));
        if (*in.InpDatLen > a)
            return fail("データ選択桁数を再入力してください。", QStringLiteral("InpDatLenNE"));
        break;
    case BarRole::Source: {
        const int k = std::clamp(in.partialCount, 0, CmpDataCount);
        for (int i = 0; i < k && Delimited(in.format); ++i)
            if (!in.CmpDno[std::size_t(i)])
                return fail("照合データNoを入力してください。", row("Cmp%1DnoNE", i));
        for (int i = 0; i < k && !Delimited(in.format); ++i) {
            const auto &top = in.CmpTop[std::size_t(i)];
            const auto &len = in.CmpLen[std::size_t(i)];
            if (!top)
                return fail("照合データ位置を入力してください。", row("Cmp%1TopNE", i));
            if (beyond(*top, a))
                return fail("照合データ位置を再入力してください。", row("Cmp%1TopNE", i));
            if (!len)
                return fail("照合データ桁数を入力してください。", row("Cmp%1LenNE", i));
            if (*len > a)
                return fail("照合データ桁数を再入力してください。", row("Cmp%1LenNE", i));
        }
        break;
    }
    case BarRole::Target:
        if (!Delimited(in.format)) {
            if (!in.CmpTop[0])
                return fail("照合データ位置を入力してください。", QStringLiteral("Cmp1TopNE"));
            if (beyond(*in.CmpTop[0], model.BarMaxLen))
                return fail("照合データ位置を再入力してください。", QStringLiteral("Cmp1TopNE"));
            if (!in.CmpLen[0])
                return fail("照合データ桁数を入力してください。", QStringLiteral("Cmp1LenNE"));
        } else if (!in.CmpDno[0]) {
            return fail("照合データNoを入力してください。", QStringLiteral("Cmp1DnoNE"));
        }
        break;
    }
    // The data kind has no delete characters: its box is never shown.
    if (in.role != BarRole::DataKind && in.delChar && in.DelChar.isEmpty())
        return fail("照合データから削除する文字を入力してください。", QStringLiteral("DelCharSE"));
    return std::nullopt;
}

BarDialogLayout LayoutBarDialog(BarRole role, int partialCount, int format, bool dataCheck, bool delChar)
{
    BarDialogLayout l;
    const bool collation = role != BarRole::DataKind;
    const int count = std::clamp(partialCount, 0, CmpDataCount);
    l.formatEnabled = collation && count > 0;
    const bool delimited = l.formatEnabled && Delimited(format);
    l.dataCheckShown = dataCheck;
    l.checkNumberShown = dataCheck && delimited;
    l.checkTopRight = delimited;
    l.selectionShown = !collation;
    if (role == BarRole::Source)
        l.groupCaption = QStringLiteral("照合元データ設定");
    else if (role == BarRole::Target)
        l.groupCaption = QStringLiteral("照合先データ設定");
    l.headShown = collation && count > 0;
    for (int i = 0; i < CmpDataCount; ++i)
        l.rowShown[std::size_t(i)] = collation && i < count;
    l.rowsByNumber = delimited;
    l.delCharShown = collation;
    l.delCharPanelShown = collation && delChar;
    return l;
}

} // namespace tessary
