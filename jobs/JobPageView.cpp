#include "JobPageView.h"

#include "common/FerPrgLib.h"
#include "common/NumberText.h"
#include "jobs/JobFieldRules.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int MaxTextDefault = 64;
constexpr int IntMax = 2147483647;

NEditSettings numberEdit(int digits, int minimum, int maximum, bool signedReal = false)
{
    NEditSettings s;
    s.CanNegative = signedReal;
    s.CanDot = signedReal;
    s.setMaxDegits(digits);
    s.setMaxValue(maximum);
    s.setMinValue(minimum);
    return s;
}

QString stripSign(const QString &text)
{
    return text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
}

QString cutAtPoint(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? text : text.left(point);
}

int byteLength(const QString &text)
{
    return static_cast<int>(platform::cp932::encode(text).size());
}

// Strip the sign, keep the last n bytes when longer, cut at the point.
QString digitLimit(const QString &text, int n)
{
    QString t = stripSign(text);
    if (byteLength(t) > n)
        t = RightBText(t, n);
    return cutAtPoint(t);
}

// A limit above the length becomes the length; text that is no number counts as above it.
void lowerToLength(QString &limit, int length, qint64 notNumber)
{
    if (TextToInt64(limit, notNumber) > length)
        limit = QString::number(length);
}

// The default edit's length within the edit's room, never 0.
int defaultLength(qint64 length)
{
    return static_cast<int>(std::clamp<qint64>(length, 1, MaxTextDefault));
}

// A signed real's limit text: its sign (or "+") in front of its digits without leading zeros.
QString signedText(const QString &text)
{
    const QChar sign = text.startsWith(QLatin1Char('-')) ? QLatin1Char('-') : QLatin1Char('+');
    return sign + TrimLeadZeros(stripSign(text));
}

bool isLetterIn(QChar letter, const char *letters)
{
    return letter.unicode() < 0x80 && std::strchr(letters, static_cast<char>(letter.unicode())) != nullptr;
}

} // namespace

QStringList GetKDNext(const TGyData &job, bool group, int index)
{
    const auto &items = group ? job.GrKoDa : job.DaKoDa;
    const int count = BoundedCount(group ? job.GrCount : job.DaCount, MaxKoCount);
    QStringList lines;
    for (int i = std::max(0, index + 1); i < count; ++i)
        lines << items[i].KName;
    lines << (group ? QStringLiteral("データ入力処理") : QStringLiteral("次のデータ入力処理"));
    return lines;
}

void ChangeType(TKoData &item, bool showing, const TGyData &job, bool group, int index, ItemView &view)
{
    const QChar type = DataTypeLetter(item.KDType);
    const bool date = isLetterIn(type, "WXYZ");
    const bool textType = isLetterIn(type, "ABC");
    const bool numberType = isLetterIn(type, "abc");

    // 1. The default kinds, and the adding of equal numbers on a job's last data item.
    view.DefaultItems = {QStringLiteral("未入力"), QStringLiteral("設定値"), QStringLiteral("前回の入力")};
    if (isLetterIn(type, "WXY"))
        view.DefaultItems << QStringLiteral("ｼｽﾃﾑ日付");
    if (type == QLatin1Char('Z'))
        view.DefaultItems << QStringLiteral("ｼｽﾃﾑ時刻");
    const int dataCount = BoundedCount(job.DaCount, MaxKoCount);
    view.AddNumVisible = !group && isLetterIn(type, "ab") && dataCount >= 2 && index == dataCount - 1;
    view.AddNumChk = job.DaAddNum;

    // 3. The default kind.
    view.DefaultDatSEVisible = false;
    view.DefaultDatNEVisible = false;
    if (item.KDefType == QLatin1Char('1')) {
        view.DefaultCB = 1;
        (numberType ? view.DefaultDatNEVisible : view.DefaultDatSEVisible) = true;
    } else if (item.KDefType == QLatin1Char('2')) {
        view.DefaultCB = 2;
    } else if (item.KDefType == QLatin1Char('3') && date) {
        view.DefaultCB = 3;
    } else {
        view.DefaultCB = 0;
        item.KDefType = QLatin1Char('0');
    }

    // 4. Length, limits and default value by type.
    view.KDLenEnabled = true;
    view.LimitsVisible = true;
    view.DefaultDatSEHiragana = false;
    view.DefaultDatSEWidth = 280;
    if (type == QLatin1Char('A')) {
        view.KDLenNE = numberEdit(4, 1, MaxDataLen);
        item.KDLen = std::min(item.KDLen, MaxDataLen);
        view.MaxLabel = QStringLiteral("最大桁数");
        view.MinLabel = QStringLiteral("最小桁数");
        item.KDMax = digitLimit(item.KDMax, 4);
        item.KDMin = digitLimit(item.KDMin, 4);
        lowerToLength(item.KDMax, item.KDLen, 9999);
        view.KDMaxNE = numberEdit(4, 1, MaxDataLen);
        view.KDMinNE = numberEdit(4, 0, MaxDataLen);
        view.DefaultDatSEHiragana = true;
        // The room follows the length, not the maximum: a default longer than the maximum stays,
        // so the check before a save can point at it instead of the page cutting it unseen.
        view.DefaultDatSEMaxLength = defaultLength(item.KDLen);
        item.KDefDat = CutToBytes(item.KDefDat, view.DefaultDatSEMaxLength);
    } else if (type == QLatin1Char('B') || type == QLatin1Char('C')) {
        view.KDLenNE = numberEdit(4, 1, MaxDataLen);
        view.KDSizeCB = item.KDSize != 0 ? 1 : 0;
        view.MaxLabel = QStringLiteral("最大桁数");
        view.MinLabel = QStringLiteral("最小桁数");
        item.KDMax = digitLimit(item.KDMax, 2);
        item.KDMin = digitLimit(item.KDMin, 2);
        lowerToLength(item.KDMax, item.KDLen, 9999);
        view.KDMaxNE = numberEdit(2, 1, 90);
        view.KDMinNE = numberEdit(2, 0, 90);
        view.DefaultDatSEMaxLength = defaultLength(TextToInt64(item.KDMax));
        if (!showing)
            item.KDefDat.clear();
        item.KDefDat = CutToBytes(item.KDefDat, item.KDLen);
    } else if (date) {
        const int length = type == QLatin1Char('W') ? 10 : type == QLatin1Char('X') ? 8 : 5;
        item.KDLen = length;
        view.KDLenEnabled = false;
        view.KDLenNE = numberEdit(4, 1, MaxDataLen);
        view.LimitsVisible = false;
        view.KDMaxNE = numberEdit(4, 1, MaxDataLen);
        view.KDMinNE = numberEdit(4, 0, MaxDataLen);
        item.KDMax = stripSign(item.KDMax);
        item.KDMin = stripSign(item.KDMin);
        view.DefaultDatSEWidth = 80;
        view.DefaultDatSEMaxLength = length;
        if (!showing)
            item.KDefDat.clear();
        item.KDefDat = CutToBytes(item.KDefDat, length);
    } else if (type == QLatin1Char('b')) {
        const int limit = item.KDSize != 0 ? 8 : 12;
        view.KDLenNE = numberEdit(2, 1, 12);
        item.KDLen = std::min(item.KDLen, limit);
        view.KDSizeCB = item.KDSize != 0 ? 1 : 0;
        view.MaxLabel = QStringLiteral("最大値");
        view.MinLabel = QStringLiteral("最小値");
        item.KDMax = signedText(item.KDMax);
        item.KDMin = signedText(item.KDMin);
        view.KDMaxNE = numberEdit(12, -IntMax, IntMax, true);
        view.KDMinNE = numberEdit(12, -IntMax, IntMax, true);
        view.DefaultDatNE = numberEdit(std::max(1, item.KDLen - 1), -IntMax, IntMax, true);
        item.KDefDat = CutToBytes(item.KDefDat, 12);
    } else { // a unsigned integer, c amount
        const int limit = item.KDSize != 0 ? (type == QLatin1Char('a') ? 8 : 7) : 10;
        view.KDLenNE = numberEdit(2, 1, 10);
        item.KDLen = std::min(item.KDLen, limit);
        view.KDSizeCB = item.KDSize != 0 ? 1 : 0;
        view.MaxLabel = QStringLiteral("最大値");
        view.MinLabel = QStringLiteral("最小値");
        item.KDMax = cutAtPoint(stripSign(item.KDMax));
        item.KDMin = cutAtPoint(stripSign(item.KDMin));
        if (byteLength(item.KDMin) > item.KDLen)
            item.KDMin = RightBText(item.KDMin, item.KDLen);
        view.KDMaxNE = numberEdit(10, 1, IntMax);
        view.KDMinNE = numberEdit(10, 0, IntMax);
        view.DefaultDatNE = numberEdit(std::max(1, item.KDLen), 0, IntMax);
        if (item.KDefDat.startsWith(QLatin1Char('-')))
            item.KDefDat = item.KDefDat.mid(1);
        item.KDefDat = CutToBytes(item.KDefDat, limit);
    }
    view.KDLenText = QString::number(item.KDLen);
    const bool trimZeros = numberType && type != QLatin1Char('b');
    view.KDMaxText = trimZeros && !item.KDMax.isEmpty() ? TrimLeadZeros(item.KDMax) : item.KDMax;
    view.KDMinText = trimZeros && !item.KDMin.isEmpty() ? TrimLeadZeros(item.KDMin) : item.KDMin;
    view.DefaultText = item.KDefDat;

    // 5. Masters and input by mode.
    const QChar mode = GyModeLetter(job.GyMode);
    if (mode == QLatin1Char('J')) {
        const bool first = !group && index == 0;
        view.KDInpVisible = first;
        view.MstGroupVisible = first;
        if (first) {
            // Stored, not only shown, as barcode input: the writer puts the barcode block of this
            // item into the file only for barcode input, and a job of this mode reads its first
            // item by barcode, so an item kept as keyed input would be sent without its settings
            // and a set read back would lose them.
            item.KDInpMode = 2;
            view.KDInpCB = 2;
        }
    } else {
        view.MstGroupVisible = textType;
    }
}

namespace {

void DspKoData(TKoData &item, const TGyData &job, bool group, int index, bool saveChkVisible, ItemView &view)
{
    const QChar mode = GyModeLetter(job.GyMode);
    view.KNameSE = item.KName;
    view.KNFColorCB = item.KNfColor;
    view.KNBColorCB = item.KNbColor;
    view.KDSizeCB = item.KDSize;
    view.KDFColorCB = item.KDfColor;
    view.KDBColorCB = item.KDbColor;
    view.KDSaveChk = item.KDSaveFlg;
    view.KDLenLabel =
        saveChkVisible && item.KDSaveFlg ? QStringLiteral("ﾃﾞｰﾀ保存桁数") : QStringLiteral("データ桁数");
    view.KDInpCB = item.KDInpMode;
    view.SetBarCodeVisible = item.KDInpMode == 2 || item.KDInpMode == 3;
    view.KDTypeCB = item.KDType;
    if (group) {
        view.KDTypeEnabled = true;
        view.DoubleVisible = false;
    } else {
        view.KDTypeEnabled = mode != QLatin1Char('B');
        view.DoubleVisible = index == 0 && item.KDSaveFlg;
        view.DoubleChkCB = item.KDouble;
    }
    // The move target stays within its list in every mode (mode J does not write it).
    const QStringList lines = GetKDNext(job, group, index);
    item.KDNext = std::clamp(item.KDNext, 0, static_cast<int>(lines.size()) - 1);
    view.KDNextFilled = mode != QLatin1Char('J');
    if (view.KDNextFilled)
        view.KDNextItems = lines;
    view.KDNextCB = item.KDNext;
    view.KDNextTmNE = QString::number(item.KDNextTm);
    view.UseMasterChk = item.KMstFlag;
    view.SetMasterEnabled = item.KMstFlag;
    ChangeType(item, true, job, group, index, view);
    view.KDInpEnabled = mode != QLatin1Char('J');
}

// Mode B holds a string and a signed quantity, nothing else.
void normaliseModeB(TGyData &job)
{
    if (job.DaCount < 2)
        InitKoData(job.DaKoDa[1], QStringLiteral("数量"), QLatin1Char('b'));
    if (job.DaCount != 2) {
        for (int i = 2; i < MaxKoCount; ++i)
            job.DaKoDa[i] = TKoData{};
        job.DaCount = 2;
        job.TmpDaNo = 0;
    }
    job.DaKoDa[0].KDType = DataTypeIndex(QLatin1Char('A'));
    job.DaKoDa[0].KDNext = 0;
    job.DaKoDa[1].KDType = DataTypeIndex(QLatin1Char('b'));
    job.DaKoDa[1].KDNext = 0;
}

} // namespace

JobPageView DspGyData(TSetData &set)
{
    JobPageView view;
    const int jobCount = BoundedCount(set.GyCount, MaxGyCount);
    set.TmpGyNo = std::clamp(set.TmpGyNo, 0, std::max(0, jobCount - 1));
    for (int i = 0; i < jobCount; ++i)
        view.GMenuItems << set.GyData[i].GyName;
    view.GMenuRow = set.TmpGyNo;

    TGyData &job = set.GyData[set.TmpGyNo];
    const QChar mode = GyModeLetter(job.GyMode);
    view.GNameSE = job.GyName;
    view.GModeCB = job.GyMode;
    const bool collects = mode == QLatin1Char('A') || mode == QLatin1Char('B');
    if (collects) {
        view.SaveGroup = view.KoNameGroup = view.KoDataGroup = view.KDSaveChkVisible = true;
        view.InpDefPanel = view.MstGroup = view.GroupPanel = view.DataPanel = true;
        view.FNameSE = job.FName.toUpper();
        view.AddIDChkCB = job.AddIDChk;
        view.TStampCB = job.TStamp;
        view.TSLocCB = job.TSLoc;
        view.TSLocVisible = job.TStamp != 0;
        view.DspTotalVisible = mode == QLatin1Char('B') && !job.FName.isEmpty();
        view.DspTotalChk = job.DspTotal;
        if (mode == QLatin1Char('B'))
            normaliseModeB(job);
    } else if (mode == QLatin1Char('J')) {
        view.KoNameGroup = view.KoDataGroup = view.MstGroup = view.DataPanel = true;
        job.TmpGrFlg = false;
        job.TmpDaNo = 0;
    } else if (mode == QLatin1Char('R') || mode == QLatin1Char('r')) {
        view.RcvProtoVisible = true;
        view.RNameSE = job.RName.toUpper();
        view.RcvProtoCB = job.RcvProto;
    } else if (mode == QLatin1Char('X')) {
        view.ProgVisible = true;
        view.PNameSE = job.PName.toUpper();
    } else {
        view.PNameSE = job.PName.toUpper();
    }

    const int groups = BoundedCount(job.GrCount, MaxKoCount);
    const int datas = BoundedCount(job.DaCount, MaxKoCount);
    for (int i = 0; i < groups; ++i)
        view.GroupItems << job.GrKoDa[i].KName;
    for (int i = 0; i < datas; ++i)
        view.DataItems << job.DaKoDa[i].KName;
    if (!collects && mode != QLatin1Char('J'))
        return view;

    // The current item within its list; an empty group list shows the data items.
    if (job.TmpGrFlg && groups == 0)
        job.TmpGrFlg = false;
    job.TmpGrNo = std::clamp(job.TmpGrNo, 0, std::max(0, groups - 1));
    job.TmpDaNo = std::clamp(job.TmpDaNo, 0, std::max(0, datas - 1));
    const bool group = job.TmpGrFlg;
    const int index = group ? job.TmpGrNo : job.TmpDaNo;
    if (!group && datas == 0)
        return view;
    view.HasItem = true;
    (group ? view.GroupRow : view.DataRow) = index;
    TKoData &item = group ? job.GrKoDa[index] : job.DaKoDa[index];
    DspKoData(item, job, group, index, view.KDSaveChkVisible, view.Item);
    return view;
}

QString P2KeyDown(const QString &control, const QString &text, const TGyData &job, const ItemView &item)
{
    const QChar mode = GyModeLetter(job.GyMode);
    const QChar type = DataTypeLetter(item.KDTypeCB);
    const bool group = job.TmpGrFlg;
    const bool firstData = !group && job.TmpDaNo == 0;
    const bool collects = mode == QLatin1Char('A') || mode == QLatin1Char('B');
    // After the default value: the item's last fields.
    const auto afterDefault = [&]() -> QString {
        if (group)
            return QStringLiteral("KDNextCB");
        if (!firstData)
            return isLetterIn(type, "ab") ? QStringLiteral("AddNumChk") : QStringLiteral("KDNextCB");
        return QStringLiteral("DoubleChkCB");
    };
    const auto afterDefaultText = [&]() -> QString {
        return firstData ? QStringLiteral("DoubleChkCB") : QStringLiteral("KDNextCB");
    };

    if (control == QLatin1String("GNameSE"))
        return text.isEmpty() ? QString() : QStringLiteral("GModeCB");
    if (control == QLatin1String("GModeCB")) {
        if (collects)
            return QStringLiteral("FNameSE");
        if (mode == QLatin1Char('J'))
            return QStringLiteral("KNameSE");
        if (mode == QLatin1Char('R') || mode == QLatin1Char('r'))
            return QStringLiteral("RNameSE");
        if (mode == QLatin1Char('X'))
            return QStringLiteral("PNameSE");
        return {};
    }
    if (control == QLatin1String("RNameSE"))
        return text.isEmpty() ? QString() : QStringLiteral("RcvProtoCB");
    if (control == QLatin1String("FNameSE"))
        return text.isEmpty() ? QString() : QStringLiteral("AddIDChkCB");
    if (control == QLatin1String("KNameSE"))
        return text.isEmpty() ? QString() : QStringLiteral("KNFColorCB");
    static const char *const chain[][2] = {
        {"AddIDChkCB", "TStampCB"},   {"TStampCB", "TSLocCB"},     {"TSLocCB", "KNameSE"},
        {"KNFColorCB", "KNBColorCB"}, {"KNBColorCB", "KDSizeCB"},  {"KDSizeCB", "KDFColorCB"},
        {"KDFColorCB", "KDBColorCB"}, {"KDBColorCB", "KDTypeCB"},  {"KDMaxNE", "KDMinNE"},
        {"KDMinNE", "DefaultCB"},     {"DoubleChkCB", "KDNextCB"},
    };
    for (const auto &link : chain) {
        if (control == QLatin1String(link[0]))
            return QString::fromLatin1(link[1]);
    }
    if (control == QLatin1String("KDTypeCB")) {
        if (isLetterIn(type, "ABCabc"))
            return QStringLiteral("KDLenNE");
        return collects ? QStringLiteral("DefaultCB") : QString();
    }
    if (control == QLatin1String("KDLenNE"))
        return collects ? QStringLiteral("KDMaxNE") : QString();
    if (control == QLatin1String("DefaultCB")) {
        if (item.DefaultCB == 1) {
            if (isLetterIn(type, "ABC"))
                return QStringLiteral("DefaultDatSE");
            if (isLetterIn(type, "abc"))
                return QStringLiteral("DefaultDatNE");
            return QStringLiteral("KDNextCB");
        }
        return afterDefault();
    }
    if (control == QLatin1String("DefaultDatSE") || control == QLatin1String("AddNumChk"))
        return afterDefaultText();
    if (control == QLatin1String("DefaultDatNE"))
        return afterDefault();
    return {};
}
