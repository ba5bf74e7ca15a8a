#include "jobs/BhtFileLayout.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

#include "jobs/LetterCodes.h"

namespace {

constexpr int DateWidth = 10; // "YYYY/MM/DD"
constexpr int TimeWidth = 8;  // "HH:MM:SS"
constexpr int HtNoWidth = 4;

void appendStamp(TBhtFileFld &fld, int tStamp, int &n, qint64 &w)
{
    if (tStamp == 1 || tStamp == 3) {
        fld.Width[n++] = DateWidth;
        w += DateWidth;
    }
    if (tStamp == 2 || tStamp == 3) {
        fld.Width[n++] = TimeWidth;
        w += TimeWidth;
    }
}

bool hasStamp(const TGyData &job)
{
    return job.TStamp >= 1 && job.TStamp <= 3;
}

int GetPage(std::array<int, MaxKoCount> &pageLines, const std::array<TKoData, MaxKoCount> &items, int count,
            int kn, int rowLimit, bool totalShown)
{
    count = BoundedCount(count, MaxKoCount);
    if (count == 0)
        return -1;
    pageLines.fill(0);
    for (int k = 0; k < count; ++k)
        pageLines[k] = KoScreenLines(items[k], totalShown);

    const int last = std::min(kn, MaxKoCount - 1);
    for (int s = 0;; ++s) {
        int rows = 0;
        for (int i = s; i <= last; ++i)
            rows += pageLines[i] + 1;
        if (rows < rowLimit)
            return s;
    }
}

} // namespace

bool GetBhtFld(TGyData &job)
{
    TBhtFileFld &fld = job.BhtFileFld;
    fld.HtNoFldNo = 0;
    fld.GKTopFldNo = 0;
    fld.GKFldCnt = 0;
    fld.DKTopFldNo = 0;
    fld.DKFldCnt = 0;
    fld.TSFldNo = 0;
    fld.GKFldNo.fill(0);
    fld.DKFldNo.fill(0);

    // At most 2 stamp fields, the terminal number and 20 items: 23 fields, within both arrays.
    int n = 0;
    qint64 w = 0;
    if (job.TSLoc == 0 && hasStamp(job)) {
        fld.TSFldNo = 1;
        appendStamp(fld, job.TStamp, n, w);
    }
    if (job.AddIDChk) {
        fld.Width[n++] = HtNoWidth;
        fld.HtNoFldNo = n;
        w += HtNoWidth;
    }
    const int grCount = BoundedCount(job.GrCount, MaxKoCount);
    if (grCount > 0) {
        fld.GKTopFldNo = n + 1;
        for (int k = 0; k < grCount; ++k) {
            const TKoData &item = job.GrKoDa[k];
            if (!item.KDSaveFlg)
                continue;
            fld.GKFldNo[k] = n + 1;
            fld.KName[n] = item.KName;
            fld.Width[n] = item.KDLen;
            ++fld.GKFldCnt;
            ++n;
            w += item.KDLen;
        }
    }
    fld.DKTopFldNo = n + 1;
    const int daCount = BoundedCount(job.DaCount, MaxKoCount);
    for (int k = 0; k < daCount; ++k) {
        const TKoData &item = job.DaKoDa[k];
        if (!item.KDSaveFlg)
            continue;
        fld.DKFldNo[k] = n + 1;
        fld.KName[n] = item.KName;
        fld.Width[n] = item.KDLen;
        ++fld.DKFldCnt;
        ++n;
        w += item.KDLen;
    }
    if (job.TSLoc != 0 && hasStamp(job)) {
        fld.TSFldNo = n + 1;
        appendStamp(fld, job.TStamp, n, w);
    }
    fld.Count = n;
    return n < 24 && w < 65536;
}

qint64 KoLimitLength(const QString &kdMax)
{
    bool ok = false;
    const qint64 value = kdMax.toLongLong(&ok);
    if (ok)
        return value;
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (!digits.match(kdMax).hasMatch())
        return 0;
    return kdMax.startsWith(u'-') ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

int KoScreenLines(const TKoData &item, bool totalShown)
{
    if (!DataTypeTakesBarcode(item.KDType))
        return 1;
    const qint64 length = KoLimitLength(item.KDMax);
    const qint64 perLine = item.KDSize == 0 ? 20 : 10;
    const int longest = totalShown ? 8 : 9;
    if (length < 0 || length > 8 * perLine)
        return longest;
    if (length <= perLine)
        return 1;
    return int((length + perLine - 1) / perLine);
}

int GetGrPage(TGyData &job, int kn)
{
    return GetPage(job.GrPgKoYn, job.GrKoDa, job.GrCount, kn, 12, false);
}

int GetDaPage(TGyData &job, int kn)
{
    const QChar mode = GyModeLetter(job.GyMode);
    const bool totalShown = mode == u'B' && job.DspTotal;
    const int rowLimit = mode == u'J' ? 12 : (totalShown ? 10 : 11);
    return GetPage(job.DaPgKoYn, job.DaKoDa, job.DaCount, kn, rowLimit, totalShown);
}
