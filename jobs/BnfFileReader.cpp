#include "jobs/BnfFile.h"

#include <QFile>

#include <span>

#include "jobs/BnfFields.h"
#include "jobs/BnfItemLine.h"
#include "jobs/LetterCodes.h"

namespace {

constexpr int MastersPerLine = 10;
// No field lies beyond byte 500; an overlong line is kept up to here and the rest skipped.
constexpr qsizetype MaxHeldLine = 64 * 1024;

enum class LineStatus { Line, End, Error };

// Reads the next line without its LF or CR LF. End only at the end of the data; a line that
// the device fails to deliver is an Error.
LineStatus nextLine(QIODevice &device, QByteArray &line)
{
    line.clear();
    if (device.atEnd())
        return LineStatus::End;
    char buffer[1024];
    for (;;) {
        const qint64 n = device.readLine(buffer, sizeof buffer);
        if (n < 0) {
            if (!device.atEnd())
                return LineStatus::Error;
            break;
        }
        if (n == 0)
            break;
        if (line.size() < MaxHeldLine)
            line.append(buffer, qMin<qint64>(n, MaxHeldLine - line.size()));
        if (buffer[n - 1] == '\n')
            break;
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return LineStatus::Line;
}

using ItemReader = void (*)(QByteArrayView, TKoData &, int, int, std::span<TMstDat>);

class JobReader {
public:
    JobReader(QIODevice &device, TSetData &set, BasePageValues &base, ItemReader readItem)
        : device(device), set(set), base(base), readItem(readItem)
    {
    }
    BnfResult read(const QByteArray &header);

private:
    void readHeader(const QByteArray &header);
    bool readMasters(int lines);
    bool readJob(TGyData &job);
    bool readItems(TGyData &job, bool group, int count);
    // The next line; at the end of the data an empty one. False on a read error.
    bool takeLine(QByteArray &line, bool *atEnd = nullptr);

    QIODevice &device;
    TSetData &set;
    BasePageValues &base;
    ItemReader readItem;
};

bool JobReader::takeLine(QByteArray &line, bool *atEnd)
{
    const LineStatus status = nextLine(device, line);
    if (atEnd)
        *atEnd = status == LineStatus::End;
    return status != LineStatus::Error;
}

void JobReader::readHeader(const QByteArray &h)
{
    base.APOffTime = QString::number(bnf::numberAt(h, 63, 3, 30));
    base.Bar2Read = QString::number(bnf::numberAt(h, 66, 3, 30));
    base.BarSMode = TriggerIndex(QLatin1Char(bnf::byteAt(h, 69)));
    base.DspErrTime = QString::number(bnf::numberAt(h, 71, 2, 20));

    set.ComPrg1 = bnf::textAt(h, 73, 12);
    set.ComPrg2 = bnf::textAt(h, 85, 12);
    base.DataFtpItems = DataFtpItems(set.ComPrg1, set.ComPrg2);
    base.DataFtp = ComModeIndex(QLatin1Char(bnf::byteAt(h, 97)), int(base.DataFtpItems.size()) - 1);

    TBluetoothDat &bt = set.BtDat;
    if (base.DataFtp == 2) {
        bt.DevName = bnf::textAt(h, 244, 16);
        bt.Mode = bnf::byteAt(h, 260) == '1' ? 1 : 0;
        bt.TimeOut = qMax(1, bnf::numberAt(h, 261, 3, 5));
        bt.Adr = bnf::textAt(h, 264, 12);
        const char security = bnf::byteAt(h, 276);
        bt.Security = security == '2' ? 2 : (security == '3' ? 3 : 1);
        bt.PassKey = bnf::textAt(h, 277, 16);
    } else {
        InitBtDat(bt);
    }

    // The choice indexes a three-item list.
    const int sendDel = bnf::numberAt(h, 100, 1, 0);
    base.SendDel = sendDel >= 0 && sendDel <= 2 ? sendDel : 0;
    base.SubMenu = bnf::byteAt(h, 101) != '0';
    base.ShoriMenu = bnf::byteAt(h, 102) != '0';
    base.EditMode = bnf::byteAt(h, 103) != '0';

    for (int i = 0; i < BzEventCount; ++i) {
        set.BzWavFile[i] = bnf::textAt(h, 305 + 12 * i, 12);
        BuzzerSetting &bz = set.BzSet[i];
        const int at = 120 + 10 * i;
        bz.Hz = bnf::numberAt(h, at, 4, 1);
        bz.Count = bnf::numberAt(h, at + 4, 2, 1);
        bz.OnTime = bnf::numberAt(h, at + 6, 2, 1);
        bz.OffTime = bnf::numberAt(h, at + 8, 2, 1);
    }
}

// A master width: two digits, where "-8" is a number but not a width.
int widthAt(const QByteArray &line, int p)
{
    const int width = bnf::numberAt(line, p, 2, 1);
    return width < 0 ? 1 : width;
}

bool JobReader::readMasters(int lines)
{
    QByteArray line;
    for (int m = 0; m < lines; ++m) {
        if (!takeLine(line))
            return false;
        for (int k = 0; k < MastersPerLine; ++k) {
            TMstDat &mst = set.MstDat[MastersPerLine * m + k];
            const int at = 40 * k + 1;
            mst.MFName = bnf::textAt(line, at, 12);
            // A record holds the key and at most five reference fields.
            mst.QDNum = qBound(1, bnf::numberAt(line, at + 12, 2, 1), MaxQDCount + 1);
            mst.KeySize = widthAt(line, at + 14);
            for (int i = 0; i < MaxQDCount; ++i)
                mst.QDSize[i] = widthAt(line, at + 16 + 2 * i);
            mst.UseCount = 0;
        }
    }
    return true;
}

bool JobReader::readItems(TGyData &job, bool group, int count)
{
    const std::span<TMstDat> masters(set.MstDat.data(), std::size_t(set.MstNum));
    QByteArray line;
    for (int k = 0; k < count; ++k) {
        TKoData &item = group ? job.GrKoDa[k] : job.DaKoDa[k];
        bool atEnd = false;
        if (!takeLine(line, &atEnd))
            return false;
        if (atEnd)
            InitKoData(item, group ? QStringLiteral("新しいｸﾞﾙｰﾌﾟ項目") : QStringLiteral("新しいデータ項目"),
                       u'A');
        else
            readItem(line, item, count, k, masters);
    }
    return true;
}

bool JobReader::readJob(TGyData &job)
{
    QByteArray line;
    if (!takeLine(line))
        return false;
    job.GyName = bnf::textAt(line, 1, 15);
    const QChar mode = QLatin1Char(bnf::byteAt(line, 19));
    job.GyMode = GyModeIndex(mode);
    switch (mode.unicode()) {
    case u'A':
    case u'B':
    case u'J': {
        job.FName = bnf::textAt(line, 44, 12);
        job.AddIDChk = bnf::byteAt(line, 60) == '1';
        job.TStamp = TStampIndex(QLatin1Char(bnf::byteAt(line, 61)));
        job.TSLoc = bnf::byteAt(line, 69) == 'T' ? 0 : 1;
        const int groups = bnf::numberAt(line, 62, 2, 0);
        job.GrCount = groups >= 0 && groups <= MaxKoCount ? groups : 0;
        const int data = bnf::numberAt(line, 64, 2, 1);
        job.DaCount = data >= 1 && data <= MaxKoCount ? data : 1;
        job.DaAddNum = bnf::byteAt(line, 66) == '1';
        job.DspTotal = bnf::byteAt(line, 67) == '1';
        job.TmpGrFlg = false;
        job.TmpGrNo = 0;
        job.TmpDaNo = 0;
        job.GrPgKoYn.fill(0);
        job.DaPgKoYn.fill(0);
        return readItems(job, true, job.GrCount) && readItems(job, false, job.DaCount);
    }
    case u'R':
    case u'r':
        job.RName = bnf::textAt(line, 20, 12);
        job.RcvProto = ComModeIndex(QLatin1Char(bnf::byteAt(line, 32)), 4);
        return true;
    case u'X': {
        job.PName = bnf::textAt(line, 20, 12);
        job.AddInCount = BoundedCount(bnf::numberAt(line, 32, 1, 0), MaxAddInCount);
        job.AddInData[0] = job.AddInCount >= 1 ? bnf::bytesAt(line, 33, AddInFirstLength)
                                               : QByteArray("0") + QByteArray(AddInFirstLength - 1, ' ');
        for (int k = 1; k <= job.AddInCount; ++k) {
            if (!takeLine(line))
                return false;
            job.AddInData[k] = line;
        }
        return true;
    }
    default:
        return true;
    }
}

BnfResult JobReader::read(const QByteArray &header)
{
    const int jobs = bnf::numberAt(header, 1, 2, 1);
    const int masters = bnf::numberAt(header, 240, 2, 0);
    // The number fields allow 99 jobs and masters; the set holds 20 of each.
    if (jobs > MaxGyCount || masters < 0 || masters > MaxMstCount)
        return BnfResult::Corrupt;

    readHeader(header);
    set.MstNum = masters;
    bool ok = readMasters((masters + MastersPerLine - 1) / MastersPerLine);

    // The first job line is read before the count is looked at.
    int read = 0;
    while (ok && !device.atEnd()) {
        ok = readJob(set.GyData[read]);
        if (!ok)
            break;
        ++read;
        if (read >= jobs)
            break;
    }
    if (!ok) {
        InitSetData(set);
        base = BasePageValues();
        return BnfResult::ReadFailedReset;
    }
    // A set has at least one job: a count of 0 is never complete, even with no job line after it.
    if (read != jobs || jobs < 1)
        return BnfResult::MissingJobs;
    set.TmpGyNo = 0;
    set.GyCount = jobs;
    return BnfResult::Ok;
}

BnfResult readJobs(QIODevice &device, const QByteArray &header, TSetData &set, BasePageValues &base,
                   ItemReader readItem)
{
    return JobReader(device, set, base, readItem).read(header);
}

} // namespace

BnfResult GetGyBnf800(QIODevice &device, const QByteArray &header, TSetData &set, BasePageValues &base)
{
    return readJobs(device, header, set, base, GetKoDat800);
}

BnfResult GetGyBnf801(QIODevice &device, const QByteArray &header, TSetData &set, BasePageValues &base)
{
    return readJobs(device, header, set, base, GetKoDat801);
}

BnfResult OpenBnf(QIODevice &device, TSetData &set, BasePageValues &base)
{
    if (!device.isReadable())
        return BnfResult::CannotOpen;
    QByteArray header;
    switch (nextLine(device, header)) {
    case LineStatus::End:
        return BnfResult::Empty;
    case LineStatus::Error:
        return BnfResult::ReadFailed;
    case LineStatus::Line:
        break;
    }
    if (bnf::bytesAt(header, 490, 6) != "BHT-80")
        return BnfResult::NotBht800;
    const QByteArray marker = bnf::bytesAt(header, 490, 7);
    if (marker == "BHT-801")
        return GetGyBnf801(device, header, set, base);
    if (marker == "BHT-800")
        return GetGyBnf800(device, header, set, base);
    return BnfResult::Corrupt;
}

BnfResult OpenBnf(const QString &path, TSetData &set, BasePageValues &base)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return BnfResult::CannotOpen;
    return OpenBnf(file, set, base);
}
