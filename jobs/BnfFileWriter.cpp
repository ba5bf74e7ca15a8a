#include "jobs/BnfFile.h"

#include <QFileDevice>

#include "jobs/BaseSettingsRules.h"
#include "jobs/BhtFileLayout.h"
#include "jobs/BnfFields.h"
#include "jobs/BnfItemLine.h"
#include "jobs/LetterCodes.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"

namespace {

constexpr int MastersPerLine = 10;

int masterLineCount(int mstNum)
{
    return (mstNum + MastersPerLine - 1) / MastersPerLine;
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

// Lines a job takes after the header: its job line and its item or add-in lines. Mode J jobs lose
// their group items and add-in jobs without a listed program their add-in lines on the way.
int jobLineCount(TGyData &job, const AddInKnown &addInKnown)
{
    switch (GyModeLetter(job.GyMode).unicode()) {
    case u'A':
    case u'B':
        return job.GrCount + job.DaCount + 1;
    case u'J':
        job.GrCount = 0;
        return job.DaCount + 1;
    case u'X':
        if (!addInKnown || !addInKnown(job.PName))
            job.AddInCount = 0;
        return job.AddInCount + 1;
    default:
        return 1;
    }
}

void correctBuzzer(BuzzerSetting &bz)
{
    // The terminal sounds 1 and 2 as special tones and nothing between them and 62 Hz.
    if (bz.Hz >= 3 && bz.Hz <= 61)
        bz.Hz = 62;
    if (bz.OnTime == 0)
        bz.OnTime = 1;
    if (bz.OffTime == 0)
        bz.OffTime = 1;
}

QByteArray headerLine(TSetData &set, const BasePageValues &base, const AddInKnown &addInKnown)
{
    bnf::LineBuilder line;
    line.number(set.GyCount, 2);
    int next = 2 + masterLineCount(set.MstNum);
    for (TGyData &job : set.GyData) {
        line.number(next, 3);
        next += jobLineCount(job, addInKnown);
    }
    line.signedNumber(base.APOffTime, 3).signedNumber(base.Bar2Read, 3).letter(TriggerLetter(base.BarSMode));
    line.bytes("0").signedNumber(base.DspErrTime, 2);
    // The letter names the program, not its place: the list leaves out an invalid program 1.
    line.text(set.ComPrg1, 12).text(set.ComPrg2, 12);
    line.letter(basepage::DataFtpLetter(base.DataFtp, set.ComPrg1, set.ComPrg2)).bytes("00");
    line.number(base.SendDel, 1).flag(base.SubMenu).flag(base.ShoriMenu).flag(base.EditMode).blanks(16);
    for (int i = 0; i < BzEventCount; ++i) {
        BuzzerSetting &bz = set.BzSet[i];
        correctBuzzer(bz);
        line.number(bz.Hz, 4).number(bz.Count, 2).number(bz.OnTime, 2).number(bz.OffTime, 2);
    }
    line.blanks(20).number(set.MstNum, 2).bytes("02");
    const TBluetoothDat &bt = set.BtDat;
    line.text(bt.DevName, 16).number(bt.Mode, 1).number(bt.TimeOut, 3).text(bt.Adr, 12);
    line.number(bt.Security, 1).text(bt.PassKey, 16).blanks(12);
    for (const QString &wav : set.BzWavFile)
        line.text(wav, 12);
    line.blanksTo(469).bytes(QByteArray(20, '0')).bytes("BHT-8000000");
    return line.finish();
}

QByteArray masterLine(const TSetData &set, int m)
{
    bnf::LineBuilder line;
    for (int k = 0; k < MastersPerLine; ++k) {
        const TMstDat &mst = set.MstDat[MastersPerLine * m + k];
        line.text(mst.MFName, 12).number(mst.QDNum, 2).number(mst.KeySize, 2);
        for (int size : mst.QDSize)
            line.number(size, 2);
        line.blanks(14);
    }
    return line.finish();
}

int count(QStringView text, QChar c)
{
    return int(text.count(c));
}

// "1" when any written item compares its read data with a date the terminal asks for.
bool asksCompareDate(const TGyData &job)
{
    const auto asks = [](const TKoData &item) {
        return (item.KDInpMode == 2 || item.KDInpMode == 3) && item.KBDatChk && item.KBCmpID == u'2';
    };
    for (int k = 0; k < job.GrCount; ++k)
        if (asks(job.GrKoDa[k]))
            return true;
    for (int k = 0; k < job.DaCount; ++k)
        if (asks(job.DaKoDa[k]))
            return true;
    return false;
}

QByteArray itemJobLine(TGyData &job, QChar mode)
{
    GetBhtFld(job);
    GetGrPage(job, 0);
    GetDaPage(job, 0);

    bnf::LineBuilder line;
    line.text(job.GyName, 18).letter(mode).blanks(12).bytes("00000000000").bytes("1");
    line.text(job.FName, 12).number(count(job.FName, u'*'), 2).number(count(job.FName, u'#'), 2);
    line.flag(job.AddIDChk).letter(TStampLetter(job.TStamp)).number(job.GrCount, 2).number(job.DaCount, 2);
    const bool addsUp = job.DaAddNum && job.DaCount >= 2 &&
                        (DataTypeLetter(job.DaKoDa[job.DaCount - 1].KDType) == u'a' ||
                         DataTypeLetter(job.DaKoDa[job.DaCount - 1].KDType) == u'b');
    line.flag(addsUp).flag(mode == u'B' && job.DspTotal).flag(asksCompareDate(job));
    line.letter(TSLocLetter(job.TSLoc)).blanks(1);
    for (int lines : job.GrPgKoYn)
        line.number(lines, 1);
    for (int lines : job.DaPgKoYn)
        line.number(lines, 1);
    line.blanks(9);

    const TBhtFileFld &fld = job.BhtFileFld;
    line.number(fld.Count, 2);
    for (int i = 0; i < BhtFldWidthCount; ++i)
        line.number(i < fld.Count ? fld.Width[i] : 0, 4);
    line.number(fld.HtNoFldNo, 2).number(fld.GKTopFldNo, 2).number(fld.GKFldCnt, 2);
    for (int no : fld.GKFldNo)
        line.number(no, 2);
    line.number(fld.DKTopFldNo, 2).number(fld.DKFldCnt, 2);
    for (int no : fld.DKFldNo)
        line.number(no, 2);
    line.number(fld.TSFldNo, 2);
    return line.finish();
}

class LineSink {
public:
    explicit LineSink(QIODevice &device) : device(device) {}
    bool put(QByteArrayView line)
    {
        if (!ok)
            return false;
        QByteArray bytes = line.toByteArray();
        bytes.append(bnf::LineEnd);
        ok = device.write(bytes) == bytes.size();
        return ok;
    }
    bool good() const { return ok; }

private:
    QIODevice &device;
    bool ok = true;
};

bool writeJob(LineSink &out, TGyData &job)
{
    const QChar mode = GyModeLetter(job.GyMode);
    bnf::LineBuilder line;
    line.text(job.GyName, 18).letter(mode);
    switch (mode.unicode()) {
    case u'A':
    case u'B':
    case u'J': {
        if (!out.put(itemJobLine(job, mode)))
            return false;
        for (int k = 0; k < job.GrCount; ++k) {
            job.GrKoDa[k].KBCmpMode = DeriveKBCmpMode(job, true, k);
            if (!out.put(SaveKoDat(job.GrKoDa[k], job.GrCount, mode, k)))
                return false;
        }
        for (int k = 0; k < job.DaCount; ++k) {
            job.DaKoDa[k].KBCmpMode = DeriveKBCmpMode(job, false, k);
            if (!out.put(SaveKoDat(job.DaKoDa[k], job.DaCount, mode, k)))
                return false;
        }
        return true;
    }
    case u'R':
    case u'r':
        line.text(job.RName, 12).letter(ComModeLetter(job.RcvProto));
        return out.put(line.finish());
    case u'X': {
        line.text(job.PName, 12).number(job.AddInCount, 1);
        if (job.AddInCount >= 1)
            line.bytes(job.AddInData[0].left(AddInFirstLength));
        else
            line.bytes("0");
        if (!out.put(line.finish()))
            return false;
        for (int k = 1; k <= job.AddInCount; ++k) {
            QByteArray data = job.AddInData[k].left(AddInLineLength);
            data.append(QByteArray(AddInLineLength - data.size(), ' '));
            if (!out.put(data))
                return false;
        }
        return true;
    }
    default:
        return out.put(line.finish());
    }
}

} // namespace

BnfResult CheckBnfWritable(const TSetData &set)
{
    if (!inRange(set.GyCount, 1, MaxGyCount) || !inRange(set.MstNum, 0, MaxMstCount))
        return BnfResult::InvalidSet;
    // Every job slot counts into the header's line numbers; the written ones also index items.
    for (const TGyData &job : set.GyData) {
        if (!inRange(job.GrCount, 0, MaxKoCount) || !inRange(job.DaCount, 0, MaxKoCount) ||
            !inRange(job.AddInCount, 0, MaxAddInCount))
            return BnfResult::InvalidSet;
    }
    // Master numbers have two digits: a width of 100 would silently become another width.
    const int written = masterLineCount(set.MstNum) * MastersPerLine;
    for (int k = 0; k < written; ++k) {
        const TMstDat &mst = set.MstDat[k];
        if (!inRange(mst.QDNum, 0, 99) || !inRange(mst.KeySize, 0, 99))
            return BnfResult::InvalidSet;
        for (int size : mst.QDSize)
            if (!inRange(size, 0, 99))
                return BnfResult::InvalidSet;
    }
    return BnfResult::Ok;
}

BnfResult SaveBnf(QIODevice &device, TSetData &set, const BasePageValues &base, const AddInKnown &addInKnown)
{
    if (CheckBnfWritable(set) != BnfResult::Ok)
        return BnfResult::InvalidSet;
    LineSink out(device);
    out.put(headerLine(set, base, addInKnown));
    for (int m = 0; m < masterLineCount(set.MstNum); ++m)
        out.put(masterLine(set, m));
    for (int j = 0; j < set.GyCount && out.good(); ++j)
        writeJob(out, set.GyData[j]);
    if (!out.good())
        return BnfResult::WriteFailed;
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->flush())
        return BnfResult::WriteFailed;
    return BnfResult::Ok;
}

BnfResult SaveBnf(const QString &path, TSetData &set, const BasePageValues &base,
                  const AddInKnown &addInKnown)
{
    if (CheckBnfWritable(set) != BnfResult::Ok)
        return BnfResult::InvalidSet;
    // The old file stays in place until the new one is complete and on disk.
    platform::AtomicFile file(path);
    if (!file.open())
        return BnfResult::CannotCreate;
    const BnfResult result = SaveBnf(file.device(), set, base, addInKnown);
    if (result != BnfResult::Ok)
        return result;
    return file.commit() ? BnfResult::Ok : BnfResult::WriteFailed;
}
