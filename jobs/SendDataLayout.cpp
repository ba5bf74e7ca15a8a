#include "jobs/SendDataLayout.h"

#include "jobs/LetterCodes.h"

namespace {

constexpr int HeadingPixels = 80;
constexpr int FieldPixels = 120;
constexpr int HtNoPixels = 40;
constexpr int MaxFieldCount = 254;
constexpr qint64 MaxRecordLength = 65535;

struct FieldHead {
    QString title;
    int pixels = FieldPixels;
};

void appendStamps(QList<FieldHead> &heads, int tStamp)
{
    if (tStamp == 1 || tStamp == 3)
        heads.append({QStringLiteral("日付(YYYY/MM/DD)")});
    if (tStamp == 2 || tStamp == 3)
        heads.append({QStringLiteral("時刻(HH:MM:SS)")});
}

} // namespace

bool CanShowSendDataLayout(const TGyData &job)
{
    const QChar mode = GyModeLetter(job.GyMode);
    return (mode == u'A' || mode == u'B') && !job.FName.isEmpty();
}

SendDataLayout GetSendDataLayout(const TGyData &job)
{
    const TBhtFileFld &fld = job.BhtFileFld;
    SendDataLayout layout;
    layout.Caption = job.GyName + QStringLiteral(" 送信データレイアウト (") + job.FName + u')';
    layout.Columns.append({QStringLiteral("ﾌｨｰﾙﾄﾞ項目"), QStringLiteral("桁数(ﾊﾞｲﾄ数)"), HeadingPixels});

    // Names in the order the fields stand in the record; an item field's name is kept at its place.
    QList<FieldHead> heads;
    if (job.TSLoc == 0)
        appendStamps(heads, job.TStamp);
    if (job.AddIDChk)
        heads.append({QStringLiteral("HtNo"), HtNoPixels});
    const int itemFields = BoundedCount(fld.GKFldCnt, MaxKoCount) + BoundedCount(fld.DKFldCnt, MaxKoCount);
    for (int k = 0; k < itemFields; ++k) {
        const qsizetype n = heads.size();
        heads.append({n < BhtFldNameCount ? fld.KName[n] : QString()});
    }
    if (job.TSLoc != 0)
        appendStamps(heads, job.TStamp);

    const int count = BoundedCount(fld.Count, BhtFldWidthCount);
    for (int i = 0; i < count; ++i) {
        const FieldHead head = i < heads.size() ? heads[i] : FieldHead{};
        layout.Columns.append({head.title, QString::number(fld.Width[i]), head.pixels});
        layout.RecordLength += fld.Width[i];
    }
    layout.FieldCount = fld.Count;
    layout.FieldCountTooLarge = fld.Count > MaxFieldCount;
    layout.RecordTooLong = layout.RecordLength > MaxRecordLength;
    return layout;
}
