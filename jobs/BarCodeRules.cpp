#include "jobs/BarCodeRules.h"

#include "common/NumberText.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace jobs {

namespace {

// Letters of the boxes; the check-digit symbologies store upper case for "なし".
constexpr char SymbologyLetter[SymbologyCount + 1] = "AabRIHNMLKQXYZV";

int checkDigitSlot(int symbology)
{
    for (int i = 0; i < 4; ++i)
        if (CheckDigitSymbologies[i] == symbology)
            return i;
    return -1;
}

// A numeric edit's value, or otherwise when it holds no number.
int numberOr(const QString &text, int otherwise)
{
    const qint64 a = TextToInt64(text, -1);
    const qint64 b = TextToInt64(text, -2);
    if (a != b)
        return otherwise;
    return int(std::clamp<qint64>(a, INT_MIN, INT_MAX));
}

bool readable(const QString &text)
{
    return TextToReal(text, 1) == TextToReal(text, 2);
}

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

const TKoData &listItem(const TGyData &job, bool group, int index)
{
    return (group ? job.GrKoDa : job.DaKoDa)[BoundedCount(index, MaxKoCount - 1)];
}

} // namespace

const TKoData &BarCodeTarget::item() const
{
    return listItem(*job, group, index);
}

int BarCodeTarget::distributionCount() const
{
    const int count = BoundedCount(group ? job->GrCount : job->DaCount, MaxKoCount);
    return std::max(1, count - index);
}

QStringList BarCodeTarget::distributionNames() const
{
    QStringList names;
    const int count = BoundedCount(group ? job->GrCount : job->DaCount, MaxKoCount);
    for (int i = index; i < count; ++i)
        names << listItem(*job, group, i).KName;
    if (names.isEmpty())
        names << item().KName;
    return names;
}

QStringList BarCodeTarget::comparisonNames() const
{
    QStringList names = {QStringLiteral("指定文字列"), QStringLiteral("指定数値"),
                         QStringLiteral("比較日付設定"), QStringLiteral("ｼｽﾃﾑ日付")};
    const int groups = BoundedCount(job->GrCount, MaxKoCount);
    for (int i = 0; i < (group ? std::min(index, groups) : groups); ++i)
        names << job->GrKoDa[i].KName;
    if (!group)
        for (int i = 0; i < std::min(index, MaxKoCount); ++i)
            names << job->DaKoDa[i].KName;
    return names;
}

QString BarCodeTarget::comparisonCodes() const
{
    QString codes = QStringLiteral("0123");
    const int groups = BoundedCount(job->GrCount, MaxKoCount);
    for (int i = 0; i < (group ? std::min(index, groups) : groups); ++i)
        codes += QChar(u'A' + i);
    if (!group)
        for (int i = 0; i < std::min(index, MaxKoCount); ++i)
            codes += QChar(u'a' + i);
    return codes;
}

bool DelCDEnabled(const BarCodeControls &c)
{
    if (c.user)
        return false;
    for (int i = 0; i < 4; ++i)
        if (c.symbology[CheckDigitSymbologies[i]] && c.checkDigit[i])
            return true;
    return false;
}

BarCodeControls GetBar(const BarCodeTarget &target)
{
    const TKoData &item = target.item();
    const int k = target.index;
    const int n = target.distributionCount();
    BarCodeControls c;
    for (QChar letter : item.KBar) {
        if (letter == u'u') {
            c.user = true;
            continue;
        }
        const auto find = [](QChar l) -> int {
            if (l.unicode() == 0 || l.unicode() >= 0x80)
                return -1;
            const char *at = std::strchr(SymbologyLetter, static_cast<char>(l.unicode()));
            return at == nullptr ? -1 : int(at - SymbologyLetter);
        };
        // Lower case is a symbology of its own for 'a' and 'b', the read check digit for the four.
        int sym = find(letter);
        bool digitRead = false;
        if (sym < 0 && QStringLiteral("ihnm").contains(letter)) {
            sym = find(letter.toUpper());
            digitRead = true;
        }
        if (sym < 0)
            continue;
        c.symbology[sym] = true;
        if (const int slot = checkDigitSlot(sym); slot >= 0)
            c.checkDigit[slot] = digitRead;
    }
    c.userBar = item.KBarUser;
    c.barMax = QString::number(item.KBMax);
    c.barMin = QString::number(item.KBMin);
    c.gtin = item.KBGTIN;
    c.delCD = DelCDEnabled(c) && (item.KBItfDelCD || item.KBStfDelCD || item.KBNW7DelCD || item.KBC39DelCD);
    c.format = std::clamp(item.KBFmt, 0, FormatAi);
    c.datChk = item.KBDatChk;
    c.chkFldNo = QString::number(item.KBChkDNo);
    c.chkAi = item.KBChkAi;
    c.chkTop = QString::number(item.KBChkTop);
    c.chkLen = QString::number(item.KBChkLen);
    const qsizetype cmp = target.comparisonCodes().indexOf(item.KBCmpID);
    c.cmpType = item.KBCmpID.isNull() || cmp < 0 ? 0 : int(cmp);
    c.chkData = item.KBCmpID == u'0' || item.KBCmpID == u'1' ? item.KBChkStr : QString();
    c.chkNg = std::clamp(item.KBChkNgMd, 0, 5);
    c.fwDatChk = item.FWDatChk;
    c.fwKNum = std::clamp(item.FWCount - 1, 0, n - 1);
    for (int i = 0; i < MaxFWCount; ++i) {
        if (item.FWDatChk && i < item.FWCount) {
            const int dst = item.FWDstKo[i] - k;
            c.dst[i] = dst >= 0 && dst < n ? dst : -1;
            c.top[i] = QString::number(item.FWTop[i]);
            c.length[i] = QString::number(item.FWLength[i]);
            c.datNo[i] = QString::number(item.FWDatNo[i]);
            c.aiCd[i] = item.FWAiCd[i];
        } else {
            c.dst[i] = std::min(i + k > 9 ? 0 : i, n - 1);
            c.top[i] = c.length[i] = c.datNo[i] = QStringLiteral("1");
            c.aiCd[i].clear();
        }
    }
    // The first row is the item itself, whatever was stored.
    c.dst[0] = 0;
    return c;
}

QString KBarOf(const BarCodeControls &c)
{
    if (c.user)
        return QStringLiteral("u");
    QString bar;
    for (int sym = 0; sym < SymbologyCount; ++sym) {
        if (!c.symbology[sym])
            continue;
        const QChar letter = QLatin1Char(SymbologyLetter[sym]);
        const int slot = checkDigitSlot(sym);
        bar += slot >= 0 && c.checkDigit[slot] ? letter.toLower() : letter;
    }
    return bar;
}

void SetBar(const BarCodeControls &c, const BarCodeTarget &target, TKoData &item)
{
    const int k = target.index;
    item.KBar = KBarOf(c);
    item.KBarUser = c.userBar;
    item.KBMax = numberOr(c.barMax, MaxDataLen);
    item.KBMin = numberOr(c.barMin, 1);
    item.KBGTIN = c.gtin;
    const bool removal = DelCDEnabled(c) && c.delCD;
    const auto removes = [&](int slot) {
        return removal && c.symbology[CheckDigitSymbologies[slot]] && c.checkDigit[slot];
    };
    item.KBItfDelCD = removes(0);
    item.KBStfDelCD = removes(1);
    item.KBNW7DelCD = removes(2);
    item.KBC39DelCD = removes(3);
    item.KBFmt = c.format;
    item.KBDatChk = c.datChk;
    item.KBChkDNo = numberOr(c.chkFldNo, 1);
    item.KBChkTop = numberOr(c.chkTop, 1);
    item.KBChkLen = numberOr(c.chkLen, 1);
    item.KBChkAi = c.chkAi;
    const QString codes = target.comparisonCodes();
    item.KBCmpID = c.cmpType >= 0 && c.cmpType < codes.size() ? codes.at(c.cmpType) : QChar(u'0');
    item.KBChkStr = item.KBCmpID == u'0' || item.KBCmpID == u'1' ? c.chkData : QString();
    item.KBChkNgMd = c.chkNg;
    item.FWDatChk = c.fwDatChk;
    item.FWCount = c.fwKNum + 1;
    for (int i = 0; i < MaxFWCount; ++i) {
        if (i < item.FWCount) {
            item.FWDstKo[i] = std::max(c.dst[i], 0) + k;
            item.FWTop[i] = numberOr(c.top[i], 1);
            item.FWLength[i] = numberOr(c.length[i], 1);
            item.FWDatNo[i] = numberOr(c.datNo[i], 1);
            item.FWAiCd[i] = c.aiCd[i];
        } else {
            item.FWDstKo[i] = 0;
            item.FWTop[i] = item.FWLength[i] = item.FWDatNo[i] = 1;
            item.FWAiCd[i].clear();
        }
    }
}

int ExistsAi(const QString &tablePath, const QString &code)
{
    QFile file(tablePath);
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    while (true) {
        QByteArray line = file.readLine(4096);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        // An empty line ends the table, as the end of the file does.
        if (line.isEmpty())
            return 0;
        QByteArray head = line.left(4);
        while (head.endsWith(' '))
            head.chop(1);
        if (QString::fromLatin1(head) == code)
            return 1;
    }
}

QString FWDstName(int row)
{
    return QStringLiteral("FK%1CB").arg(twoDigits(row + 1));
}
QString FWTopName(int row)
{
    return QStringLiteral("KX") + QString::number(row) + QStringLiteral("1NE");
}
QString FWLengthName(int row)
{
    return QStringLiteral("KX") + QString::number(row) + QStringLiteral("2NE");
}
QString FWDatNoName(int row)
{
    return QStringLiteral("KN%1NE").arg(row);
}
QString FWAiCdName(int row)
{
    return QStringLiteral("AI%1SE").arg(row);
}

std::optional<BarCodeFault> CheckBarCode(const BarCodeControls &c, const AiLookup &existsAi)
{
    const auto fault = [](const QString &control, const QString &message) {
        return std::optional<BarCodeFault>(BarCodeFault{control, message});
    };
    const auto registered = [&](const QString &code) { return !existsAi || existsAi(code) != 0; };
    if (KBarOf(c).isEmpty())
        return fault(QStringLiteral("BarGroup"), QStringLiteral("読取バーコードを入力してください。"));
    if (c.user && c.userBar.isEmpty())
        return fault(QStringLiteral("UserBarSE"), QStringLiteral("ユーザー定義を入力してください。"));
    if (c.barMax.isEmpty())
        return fault(QStringLiteral("BarMaxNE"), QStringLiteral("読取最大桁数を入力してください。"));
    if (c.barMin.isEmpty())
        return fault(QStringLiteral("BarMinNE"), QStringLiteral("読取最小桁数を入力してください。"));
    if (numberOr(c.barMax, 0) < numberOr(c.barMin, 9999))
        return fault(QStringLiteral("BarMaxNE"), QStringLiteral("読取最大/最小桁数を再入力してください。"));
    const bool fields = c.format >= 1 && c.format <= 6;
    if (c.datChk) {
        const QString head = QStringLiteral("バーコードデータチェックの");
        if (fields && c.chkFldNo.isEmpty())
            return fault(QStringLiteral("ChkFldNoNE"),
                         head + QStringLiteral("データＮｏを入力してください。"));
        if (c.format == FormatAi && c.chkAi.isEmpty())
            return fault(QStringLiteral("ChkAISE"), head + QStringLiteral("ＡＩコードを入力してください。"));
        if (c.format == FormatAi && !registered(c.chkAi))
            return fault(QStringLiteral("ChkAISE"), head + QStringLiteral("ＡＩコード(") + c.chkAi +
                                                        QStringLiteral(")は登録されていません。"));
        if (c.chkTop.isEmpty())
            return fault(QStringLiteral("ChkTopNE"),
                         head + QStringLiteral("チェックデータ位置を入力してください。"));
        if (c.chkLen.isEmpty())
            return fault(QStringLiteral("ChkLenNE"),
                         head + QStringLiteral("チェックデータ桁数を入力してください。"));
        if ((c.cmpType == 0 || c.cmpType == 1) && c.chkData.isEmpty())
            return fault(QStringLiteral("ChkDataSE"),
                         head + QStringLiteral("比較指定データを入力してください。"));
    }
    if (c.fwDatChk) {
        for (int i = 0; i <= std::min(c.fwKNum, MaxFWCount - 1); ++i) {
            if (c.dst[i] < 0)
                return fault(FWDstName(i), QStringLiteral("振り分け先項目を入力してください。"));
            if (c.format == FormatAi) {
                if (c.aiCd[i].isEmpty())
                    return fault(FWAiCdName(i), QStringLiteral("振り分けＡＩコードを入力してください。"));
                if (!registered(c.aiCd[i]))
                    return fault(FWAiCdName(i), QStringLiteral("振り分けのＡＩコード(") + c.aiCd[i] +
                                                    QStringLiteral(")は登録されていません。"));
            } else if (fields) {
                if (c.datNo[i].isEmpty())
                    return fault(FWDatNoName(i), QStringLiteral("振り分けデータＮｏを入力してください。"));
                if (c.datNo[i] == QLatin1String("0"))
                    return fault(FWDatNoName(i), QStringLiteral("振り分けデータＮｏを再入力してください。"));
            } else {
                if (c.top[i].isEmpty())
                    return fault(FWTopName(i), QStringLiteral("振り分けデータ先頭を入力してください。"));
                if (c.top[i] == QLatin1String("0"))
                    return fault(FWTopName(i),
                                 QStringLiteral("振り分けデータ先頭に1～3500を入力してください。"));
                if (c.length[i].isEmpty())
                    return fault(FWLengthName(i), QStringLiteral("振り分けデータ桁数を入力してください。"));
                if (c.length[i] == QLatin1String("0"))
                    return fault(FWLengthName(i),
                                 QStringLiteral("振り分けデータ桁数に1～3500を入力してください。"));
            }
        }
    }
    return std::nullopt;
}

std::optional<QChar> UserBarKey(const QString &text, int, QChar key)
{
    const QChar up = key.toUpper();
    static const QString allowed = QStringLiteral("ABCDEHIKLMNOQRSVXYZ0123456789,;:-&");
    if (up == u'\b')
        return up;
    if (!allowed.contains(up))
        return std::nullopt;
    if (up == u',' && (text.isEmpty() || text.endsWith(u',')))
        return std::nullopt;
    return up;
}

std::optional<QChar> ChkDataKey(const QString &text, int caret, QChar key)
{
    if (key == u'\b')
        return key;
    if (!QStringLiteral("0123456789.-").contains(key))
        return std::nullopt;
    const bool negative = text.startsWith(u'-');
    if (negative && caret == 0)
        return std::nullopt;
    if (key == u'-')
        return caret == 0 && !text.contains(u'-') ? std::optional<QChar>(key) : std::nullopt;
    if (key == u'.') {
        if (text.contains(u'.') || caret == 0 || (negative && caret == 1))
            return std::nullopt;
        return key;
    }
    if (text.startsWith(u'0') && caret == 1)
        return std::nullopt;
    if (text.startsWith(QLatin1String("-0")) && caret == 2)
        return std::nullopt;
    if (key == u'0') {
        if (caret == 0 && !text.isEmpty() && text.at(0) != u'.')
            return std::nullopt;
        if (negative && caret == 1 && text.size() > 1 && text.at(1) != u'.')
            return std::nullopt;
    }
    return key;
}

bool StartDigitAllowed(const QString &textWithDigit, const QString &barMax)
{
    if (textWithDigit == QLatin1String("99") || textWithDigit == QLatin1String("999") ||
        textWithDigit == QLatin1String("9999"))
        return true;
    return TextToInt64(textWithDigit, 0) <= TextToInt64(barMax, MaxDataLen);
}

QString ChkDataAsNumber(const QString &text)
{
    const QString cut = text.left(10);
    if (cut.isEmpty() || IsEmptyNumber(cut) || !readable(cut))
        return QString();
    const double value = TextToReal(cut);
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace jobs
