#include "jobs/CheckBnfDat.h"

#include <algorithm>

#include "common/NumberText.h"
#include "jobs/BhtFileLayout.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

namespace {

// A broken rule before it is placed on a page: the control to focus and the message.
struct Fault {
    QString control;
    QString message;
};

using MaybeFault = std::optional<Fault>;

BnfInputError onBasePage(const Fault &fault)
{
    BnfInputError error;
    error.message = fault.message;
    error.control = fault.control;
    return error;
}

BnfInputError onJobPage(const Fault &fault, int job, int item, bool group)
{
    BnfInputError error;
    error.message = fault.message;
    error.control = fault.control;
    error.page = JobPage;
    error.job = job;
    error.item = item;
    error.group = group;
    return error;
}

qint64 byteLength(const QString &text)
{
    return qint64(platform::cp932::byteLength(text));
}

bool isStringType(QChar type)
{
    return type == u'A' || type == u'B' || type == u'C';
}

bool isIntegerType(QChar type)
{
    return type == u'a' || type == u'c';
}

bool isItemMode(QChar mode)
{
    return mode == u'A' || mode == u'B' || mode == u'J';
}

bool isSavingMode(QChar mode)
{
    return mode == u'A' || mode == u'B';
}

QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

// The length edit's name on the page: the stored length when the item is saved.
QString lengthName(const TKoData &item)
{
    return item.KDSaveFlg ? QStringLiteral("データ保存桁数") : QStringLiteral("データ桁数");
}

MaybeFault basePageFault(const BnfShownControls &shown)
{
    struct Rule {
        const QString &text;
        const char16_t *control;
        const char16_t *message;
    };
    const Rule rules[] = {
        {shown.APOffTimeNE, u"APOffTimeNE", u"オートパワーオフ時間を入力してください。"},
        {shown.Bar2ReadNE, u"Bar2ReadNE", u"ﾊﾞｰｺｰﾄﾞ2度読み防止時間を入力してください。"},
        {shown.DspErrTimeNE, u"DspErrTimeNE", u"エラーメッセージ表示時間を入力してください。"},
        {shown.BzHzNE, u"BzHzNE", u"ブザー周波数を入力してください。"},
        {shown.BzCountNE, u"BzCountNE", u"ブザー鳴動回数を入力してください。"},
        {shown.BzOnTimeNE, u"BzOnTimeNE", u"ブザー鳴動時間を入力してください。"},
        {shown.BzOffTimeNE, u"BzOffTimeNE", u"ブザー休止時間を入力してください。"},
    };
    for (const Rule &rule : rules)
        if (rule.text.isEmpty())
            return Fault{QString::fromUtf16(rule.control), QString::fromUtf16(rule.message)};
    return std::nullopt;
}

MaybeFault jobPageFault(const BnfShownControls &shown)
{
    if (shown.GNameSE.isEmpty())
        return Fault{QStringLiteral("GNameSE"), QStringLiteral("業務名を入力してください。")};
    const QChar mode = GyModeLetter(shown.GModeCB);
    if (!isItemMode(mode))
        return std::nullopt;
    if (shown.KNameSE.isEmpty())
        return Fault{QStringLiteral("KNameSE"), QStringLiteral("項目名表示文字列を入力してください。")};
    if (shown.KDLenNE.isEmpty())
        return Fault{QStringLiteral("KDLenNE"), mode == u'J'
                                                    ? QStringLiteral("データ桁数を入力してください。")
                                                    : QStringLiteral("データ保存桁数を入力してください。")};
    const QChar type = DataTypeLetter(shown.KDTypeCB);
    if (!isSavingMode(mode) || !(isStringType(type) || isIntegerType(type)))
        return std::nullopt;
    const bool digits = isStringType(type);
    if (IsEmptyNumber(shown.KDMaxNE))
        return Fault{QStringLiteral("KDMaxNE"), digits
                                                    ? QStringLiteral("入力最大桁数を入力してください。")
                                                    : QStringLiteral("入力制限の最大値を入力してください。")};
    if (IsEmptyNumber(shown.KDMinNE))
        return Fault{QStringLiteral("KDMinNE"), digits
                                                    ? QStringLiteral("入力最小桁数を入力してください。")
                                                    : QStringLiteral("入力制限の最小値を入力してください。")};
    return std::nullopt;
}

MaybeFault stringLimitsFault(const TKoData &item)
{
    const QString n = lengthName(item);
    const qint64 max = TextToInt64(item.KDMax);
    const qint64 min = TextToInt64(item.KDMin);
    if (item.KDLen <= 0)
        return Fault{QStringLiteral("KDLenNE"), n + QStringLiteral("を１以上の値にしてください。")};
    if (max <= 0)
        return Fault{QStringLiteral("KDMaxNE"), QStringLiteral("入力最大桁数を１以上の値にしてください。")};
    if (max < min)
        return Fault{QStringLiteral("KDMaxNE"),
                     QStringLiteral("入力最大桁数を入力最小桁数より\r\n大きい値にしてください。")};
    if (item.KDLen < max)
        return Fault{QStringLiteral("KDLenNE"), n + QStringLiteral("を入力最大桁数以上の値にしてください。")};
    if (item.KDefType == u'1' && max < byteLength(item.KDefDat))
        return Fault{QStringLiteral("DefaultDatSE"),
                     QStringLiteral("初期値の文字列を入力最大桁数以下にしてください。")};
    return std::nullopt;
}

// The rules the three number types share: limits present and within the length, maximum not
// below minimum (compared by the caller's reading), default value within the length.
MaybeFault numberLimitsFault(const TKoData &item, bool maxBelowMin, bool defaultMissing)
{
    const QString n = lengthName(item);
    if (IsEmptyNumber(item.KDMax))
        return Fault{QStringLiteral("KDMaxNE"), QStringLiteral("入力最大値を入力してください。")};
    if (IsEmptyNumber(item.KDMin))
        return Fault{QStringLiteral("KDMinNE"), QStringLiteral("入力最小値を入力してください。")};
    if (item.KDLen < byteLength(item.KDMax))
        return Fault{QStringLiteral("KDLenNE"),
                     n + QStringLiteral("を入力最大値の桁数以上の値にしてください。")};
    if (item.KDLen < byteLength(item.KDMin))
        return Fault{QStringLiteral("KDLenNE"),
                     n + QStringLiteral("を入力最小値の桁数以上の値にしてください。")};
    if (maxBelowMin)
        return Fault{QStringLiteral("KDMaxNE"),
                     QStringLiteral("入力最大値を入力最小値より\r\n大きい値にしてください。")};
    if (item.KDefType == u'1') {
        if (defaultMissing)
            return Fault{QStringLiteral("DefaultDatNE"), QStringLiteral("初期値を入力してください。")};
        if (item.KDLen < byteLength(item.KDefDat))
            return Fault{QStringLiteral("DefaultDatNE"),
                         QStringLiteral("初期値を") + n + QStringLiteral("以下にてください。")};
    }
    return std::nullopt;
}

MaybeFault integerLimitsFault(const TKoData &item)
{
    if (item.KDLen <= 0)
        return Fault{QStringLiteral("KDLenNE"),
                     lengthName(item) + QStringLiteral("を１以上の値にしてください。")};
    return numberLimitsFault(item, TextToInt64(item.KDMax) < TextToInt64(item.KDMin),
                             IsEmptyNumber(item.KDefDat));
}

MaybeFault realLimitsFault(const TKoData &item)
{
    if (item.KDLen < 2)
        return Fault{QStringLiteral("KDLenNE"),
                     lengthName(item) + QStringLiteral("を２以上の値にしてください。")};
    // A signed real's default is only held to the length.
    return numberLimitsFault(item, TextToReal(item.KDMax) < TextToReal(item.KDMin), false);
}

MaybeFault barcodeFault(const TKoData &item)
{
    if (item.KDInpMode != 2 && item.KDInpMode != 3)
        return std::nullopt;
    const QString control = QStringLiteral("SetBarCode");
    if (item.KBar.isEmpty())
        return Fault{control, QStringLiteral("バーコード読取を設定してください。")};
    if (item.KBMax == 0)
        return Fault{control, QStringLiteral("バーコード読取の最大桁を\r\n１以上の値にしてください。")};
    if (item.KBMax < item.KBMin)
        return Fault{control,
                     QStringLiteral("バーコード読取の最大桁を\r\n最小桁より大きい値にしてください。")};
    if (item.KBDatChk && (item.KBCmpID == u'0' || item.KBCmpID == u'1') && item.KBChkStr.isEmpty())
        return Fault{control, QStringLiteral("バーコードのチェックデータを入力してください。")};
    return std::nullopt;
}

MaybeFault itemFault(QChar mode, const TKoData &item, int mstNum)
{
    if (item.KName.isEmpty())
        return Fault{QStringLiteral("KNameSE"), QStringLiteral("項目名を入力してください。")};
    const QChar type = DataTypeLetter(item.KDType);
    MaybeFault fault;
    if (isSavingMode(mode)) {
        if (isStringType(type))
            fault = stringLimitsFault(item);
        else if (isIntegerType(type))
            fault = integerLimitsFault(item);
        else if (type == u'b')
            fault = realLimitsFault(item);
    } else if (mode == u'J' && (isStringType(type) || isIntegerType(type)) && item.KDLen <= 0) {
        fault = Fault{QStringLiteral("KDLenNE"), QStringLiteral("データ桁数を１以上の値にしてください。")};
    }
    if (fault)
        return fault;
    if ((fault = barcodeFault(item)))
        return fault;
    // A number above the masters held refers to a definition that does not exist.
    if (item.KMstFlag && (mstNum <= 0 || item.KMFNo <= 0 || item.KMFNo > mstNum ||
                          (!item.KMstChk && item.DspQDNo == 0 && item.SaveQDNum == 0)))
        return Fault{QStringLiteral("MstGroup"), QStringLiteral("マスター参照設定をしてください。")};
    return std::nullopt;
}

// The items of one list, each with its own rules and then its move after input, which must stay
// within the list.
std::optional<BnfInputError> listError(QChar mode, int job, bool group,
                                       const std::array<TKoData, MaxKoCount> &items, int count, int mstNum)
{
    for (int k = 0; k < count; ++k) {
        if (std::optional<BnfInputError> error = ChkKoDa(mode, job, group, items[k], k, mstNum))
            return error;
        if (items[k].KDNext < 0 || items[k].KDNext >= count)
            return onJobPage(
                Fault{QStringLiteral("KDNextCB"), QStringLiteral("入力後移動の設定をしてください。")}, job, k,
                group);
    }
    return std::nullopt;
}

// The rules of one job, stage by stage; the job is normalised on the way as the file wants it.
std::optional<BnfInputError> jobError(TGyData &job, int i, int mstNum, const AddInKnown &addInKnown)
{
    const auto onJob = [i](const QString &control, const QString &message, int item = -1,
                           bool group = false) {
        return onJobPage(Fault{control, message}, i, item, group);
    };
    if (job.GyName.isEmpty())
        return onJob(QStringLiteral("GNameSE"), QStringLiteral("業務名を入力してください。"));

    const QChar mode = GyModeLetter(job.GyMode);
    const int grCount = BoundedCount(job.GrCount, MaxKoCount);
    const int daCount = BoundedCount(job.DaCount, MaxKoCount);
    if (isSavingMode(mode)) {
        GetBhtFld(job);
        if (!job.FName.isEmpty())
            job.FName = job.FName.toUpper();
        const bool saves = !job.FName.isEmpty();
        if (saves && job.BhtFileFld.Count == 0)
            return onJob(QStringLiteral("FNameSE"),
                         QStringLiteral("保存項目がありません。ﾌｧｲﾙ名を削除してください。"));
        // Code and quantity of a mode B job are what its records are for.
        if (mode == u'B' && saves)
            for (int k = 0; k < std::min(daCount, 2); ++k)
                if (!job.DaKoDa[k].KDSaveFlg)
                    return onJob(QStringLiteral("KDSaveChk"),
                                 QStringLiteral("「") + job.DaKoDa[k].KName +
                                     QStringLiteral("」項目のデータ保存を設定してください。"),
                                 k);
        if (std::optional<BnfInputError> error = listError(mode, i, true, job.GrKoDa, grCount, mstNum))
            return error;
        const auto saved = [](const TKoData &item) { return item.KDSaveFlg; };
        if (saves && std::none_of(job.DaKoDa.begin(), job.DaKoDa.begin() + daCount, saved))
            return onJob(QStringLiteral("KDSaveChk"),
                         QStringLiteral("１つ以上のデータ項目を保存設定してください。"));
    }
    if (isItemMode(mode))
        if (std::optional<BnfInputError> error = listError(mode, i, false, job.DaKoDa, daCount, mstNum))
            return error;
    if (mode == u'r') {
        if (job.RName.isEmpty())
            return onJob(QStringLiteral("RNameSE"), QStringLiteral("受信ファイル名を入力してください。"));
        job.RName = job.RName.toUpper();
    }
    if (mode == u'X') {
        if (job.PName.isEmpty())
            return onJob(QStringLiteral("PNameSE"),
                         QStringLiteral("プログラムファイル名を入力してください。"));
        job.PName = job.PName.toUpper();
        if (extensionOf(job.PName) != QLatin1String(".PD4"))
            return onJob(QStringLiteral("PNameSE"),
                         QStringLiteral("プログラムファイル名を再入力してください。"));
        if (addInKnown && addInKnown(job.PName) && job.AddInCount == 0)
            return onJob(QStringLiteral("AddInSetBtn"),
                         QStringLiteral("アドインプログラムの設定をしてください。"));
    }
    return std::nullopt;
}

} // namespace

std::optional<BnfInputError> ChkKoDa(QChar mode, int job, bool group, const TKoData &item, int itemIndex,
                                     int mstNum)
{
    if (const MaybeFault fault = itemFault(mode, item, mstNum))
        return onJobPage(*fault, job, itemIndex, group);
    return std::nullopt;
}

std::optional<BnfInputError> CheckBnfDat(TSetData &set, const BnfShownControls &shown,
                                         const AddInKnown &addInKnown)
{
    const int gyCount = BoundedCount(set.GyCount, MaxGyCount);
    if (const MaybeFault fault = basePageFault(shown))
        return onBasePage(*fault);
    if (const MaybeFault fault = jobPageFault(shown)) {
        // The job page shows the current job with its current item.
        const int current = BoundedCount(set.TmpGyNo, std::max(gyCount, 1) - 1);
        return onJobPage(*fault, current, -1, set.GyData[current].TmpGrFlg);
    }
    const int mstNum = BoundedCount(set.MstNum, MaxMstCount);
    for (int i = 0; i < gyCount; ++i)
        if (std::optional<BnfInputError> error = jobError(set.GyData[i], i, mstNum, addInKnown))
            return error;
    return std::nullopt;
}
