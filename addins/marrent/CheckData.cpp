#include "CheckData.h"

namespace marrent {

QString CheckBarDat(const TBarDat &bar)
{
    if (bar.BarType.isEmpty() && bar.BarUser.isEmpty())
        return QStringLiteral("読取バーコードを設定してください。");
    if (bar.BMax < 1 || bar.BMax < bar.BMin)
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。");
    if (bar.BChkMode > 0 && (bar.BChkTop < 1 || bar.BChkTop > 3500 || bar.BChkStr.isEmpty()))
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。");
    if (bar.DTop < 1 || bar.DTop > bar.BMax || bar.DLen > bar.BMax)
        return QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。");
    return {};
}

std::optional<CheckFailure> CheckSettings(const MarrentSettings &s, const ModelLimits &limits)
{
    const auto fail = [](int rule, const QString &message, const char *control) {
        return std::optional<CheckFailure>(CheckFailure{rule, message, QString::fromLatin1(control)});
    };
    if (s.DKUsed) {
        if (s.DKName.isEmpty())
            return fail(10, QStringLiteral("データ区分項目名を入力してください。"), "DKNameSE");
        if (s.DKMax <= 0)
            return fail(11, QStringLiteral("データ区分入力最大桁数を入力してください。"), "DKMaxNE");
        if (s.DKMin <= 0)
            return fail(12, QStringLiteral("データ区分入力最小桁数を入力してください。"), "DKMinNE");
        const int limit = s.DKWide ? limits.DKMaxWide : limits.DKMaxStd;
        if (s.DKMax > limit)
            return fail(11, QStringLiteral("入力最大桁数を再入力してください。"), "DKMaxNE");
        if (s.DKMin > limit)
            return fail(12, QStringLiteral("入力最小桁数を再入力してください。"), "DKMinNE");
        if (s.DKMax < s.DKMin)
            return fail(12, QStringLiteral("データ区分入力最大/最小桁数を再入力してください。"), "DKMinNE");
        // A date or time type hides the barcode and master boxes but keeps their ticks, and a ticked
        // box is written: it is checked all the same, and the focus goes to the data type that hides
        // it, the control the operator has to change.
        const bool hidden = IsDateTimeType(s.DKType);
        const auto focusFor = [hidden](const char *control) { return hidden ? "DKTypeCB" : control; };
        if (s.DKBarUsed) {
            if (const QString message = CheckBarDat(s.DKBarDat); !message.isEmpty())
                return fail(13, message, focusFor("DKBarBtn"));
        }
        if (s.DKMstUsed) {
            if (s.DKMstFile.isEmpty())
                return fail(14, QStringLiteral("データ区分マスターファイル名を入力してください。"),
                            focusFor("DKMstFileSE"));
            if (s.DKMstField.isEmpty())
                return fail(15, QStringLiteral("データ区分フィールド情報を入力してください。"),
                            focusFor("DKMstFieldSE"));
        }
    }
    if (s.DpUsed) {
        if (s.DpName.isEmpty())
            return fail(20, QStringLiteral("伝票区分項目名を入力してください。"), "DpNameSE");
        if (s.DpBarUsed) {
            if (const QString message = CheckBarDat(s.DpBarDat); !message.isEmpty())
                return fail(21, message, "DpBarBtn");
        }
    }
    if (s.PKMstFile.isEmpty())
        return fail(30, QStringLiteral("マスターファイル名を入力してください。"), "PKMstFileNameSE");
    if (s.DpLen <= 0)
        return fail(31, QStringLiteral("マスターファイルの伝票区分フィールド長を入力してください。"),
                    "DpLenNE");
    if (s.SCLen <= 0)
        return fail(32, QStringLiteral("マスターファイルの商品コードフィールド長を入力してください。"),
                    "SCLenNE");
    if (s.SNameLen <= 0)
        return fail(33, QStringLiteral("マスターファイルの商品名フィールド長を入力してください。"),
                    "SNameLenNE");
    if (s.PKCountLen <= 0)
        return fail(34, QStringLiteral("マスターファイルの数量フィールド長を入力してください。"),
                    "PKCountLenNE");
    if (const QString message = CheckBarDat(s.SCBarDat); !message.isEmpty())
        return fail(40, message, "SCBarBtn");
    if (s.InpCount && s.InpCountDigits <= 0)
        return fail(41, QStringLiteral("数量入力桁数を入力してください。"), "InpCountNE");
    if (s.SendUsed && s.SendFile.isEmpty())
        return fail(50, QStringLiteral("送信ファイル名を入力してください。"), "SendFileSE");
    return std::nullopt;
}

} // namespace marrent
