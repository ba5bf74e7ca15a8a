#include "Settings.h"

#include "ResultFields.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/FixedRecord.h"
#include "common/FerPrgLib.h"

#include <algorithm>

namespace marrent {

namespace {

constexpr int FileNameChars = 12;
constexpr int FieldInfoChars = 10;

int held(int value, int lo, int hi)
{
    return std::clamp(value, lo, hi);
}

int dkLimit(const MarrentSettings &s, const ModelLimits &limits)
{
    return s.DKWide ? limits.DKMaxWide : limits.DKMaxStd;
}

} // namespace

std::array<ResultField, ResultFieldCount> MarrentSettings::DefaultResultFields()
{
    std::array<ResultField, ResultFieldCount> fields;
    fields.fill(ResultField{'b', 8});
    fields[0] = ResultField{'a', 10};
    return fields;
}

MarrentSettings DefaultSettings(const ModelLimits &limits)
{
    MarrentSettings s;
    s.SCLen = limits.defaultSCLen;
    s.SNameLen = limits.defaultSNameLen;
    return s;
}

ParaStrings EncodeParas(const MarrentSettings &s, const ModelLimits &limits)
{
    // A date or time kind hides its barcode and master boxes but keeps their ticks and records:
    // they are written as they stand, so switching the type back loses nothing.
    const bool dkBar = s.DKUsed && s.DKBarUsed;
    const bool dkMst = s.DKUsed && s.DKMstUsed;
    const bool dpBar = s.DpUsed && s.DpBarUsed;

    addins::FixedRecordWriter p0;
    p0.flag(s.SendUsed);
    if (s.SendUsed)
        p0.text(s.SendFile.left(FileNameChars), 14);
    else
        p0.blanks(14);
    p0.bytes(s.picking ? "P" : "K").flag(s.remoteMaster).flag(s.DKUsed);
    if (s.DKUsed) {
        p0.text(CutToBytes(s.DKName, limits.NameMax), 22)
            .bytes(QByteArray(1, GetDaType(s.DKType)))
            .flag(s.DKWide)
            .number(held(s.DKMax, 0, 99), 2)
            .number(held(s.DKMin, 0, 99), 2)
            .flag(dkBar);
        if (dkBar)
            p0.bytes(GetBarDat(s.DKBarDat));
        else
            p0.blanks(BarDatWidth);
        p0.flag(dkMst);
        if (dkMst)
            p0.text(s.DKMstFile.left(FileNameChars), 14)
                .text(s.DKMstField.left(FieldInfoChars), 10)
                .flag(s.DKMstError);
        else
            p0.blanks(25);
    } else {
        p0.blanks(166);
    }
    p0.blanks(4).flag(s.DpUsed);
    if (s.DpUsed) {
        p0.text(CutToBytes(s.DpName, limits.NameMax), 22).flag(dpBar);
        if (dpBar)
            p0.bytes(GetBarDat(s.DpBarDat));
        else
            p0.blanks(BarDatWidth);
    } else {
        p0.blanks(134);
    }
    p0.blanks(14)
        .text(s.PKMstFile.left(FileNameChars), 14)
        .number(held(s.DpLen, 0, 99), 2)
        .number(held(s.SCLen, 0, 99), 2)
        .number(held(s.SNameLen, 0, 99), 2)
        .number(held(s.PKCountLen, 0, 99), 2);
    QByteArray para0 = p0.finish(limits.paraLength - 2);
    para0 += "P0";

    addins::FixedRecordWriter p1;
    p1.bytes(GetBarDat(s.SCBarDat)).flag(s.InpCount);
    p1.number(s.InpCount ? held(s.InpCountDigits, 0, 99) : 6, 2).blanks(16);
    if (s.SendUsed) {
        const int count = held(s.SendFieldsIndex, 0, ResultFieldCount - 1) + 1;
        p1.number(count, 1).number(s.SendFType == 1 ? 1 : 0, 1);
        for (int i = 0; i < ResultFieldCount; ++i) {
            const ResultField &f = s.SendDat[std::size_t(i)];
            if (i < count)
                p1.bytes(QByteArray(1, f.code)).number(held(f.length, 0, 99), 2);
            else
                p1.bytes("X01");
        }
    } else {
        p1.bytes("00");
        for (int i = 0; i < ResultFieldCount; ++i)
            p1.bytes("X01");
    }
    p1.number(held(s.SendDel, 0, 2), 1);
    return {para0, p1.finish(limits.paraLength)};
}

MarrentSettings DecodeParas(const ParaStrings &paras, const ModelLimits &limits)
{
    MarrentSettings s = DefaultSettings(limits);
    const addins::FixedRecordReader r0(paras.Para0);
    const addins::FixedRecordReader r1(paras.Para1);

    s.picking = r0.byteAt(16) == 'P';
    s.remoteMaster = r0.byteAt(17) == '1';
    s.DKUsed = r0.byteAt(18) == '1';
    if (s.DKUsed) {
        s.DKName = CutToBytes(r0.text(19, 22), limits.NameMax);
        s.DKType = SetDaType(r0.byteAt(41));
        s.DKWide = r0.byteAt(42) == '1';
        s.DKMax = held(r0.integer(43, 2, 1), 0, dkLimit(s, limits));
        s.DKMin = held(r0.integer(45, 2, 1), 0, s.DKMax);
        s.DKBarUsed = r0.byteAt(47) == '1';
        if (s.DKBarUsed)
            SetBarDat(paras.Para0.mid(47, BarDatWidth), s.DKBarDat);
        s.DKMstUsed = r0.byteAt(159) == '1';
        if (s.DKMstUsed) {
            s.DKMstFile = r0.text(160, 14).left(FileNameChars);
            s.DKMstField = r0.text(174, 10);
            s.DKMstError = r0.byteAt(184) == '1';
        }
    }
    s.DpUsed = r0.byteAt(189) == '1';
    if (s.DpUsed) {
        s.DpName = CutToBytes(r0.text(190, 22), limits.NameMax);
        s.DpBarUsed = r0.byteAt(212) == '1';
        if (s.DpBarUsed)
            SetBarDat(paras.Para0.mid(212, BarDatWidth), s.DpBarDat);
    }
    s.PKMstFile = r0.text(338, 14).left(FileNameChars);
    s.DpLen = held(r0.integer(352, 2, 8), 0, limits.NameMax);
    s.SCLen = held(r0.integer(354, 2, 13), 0, limits.NameMax);
    s.SNameLen = held(r0.integer(356, 2, limits.defaultSNameLen), 0, limits.SNameLenMax);
    s.PKCountLen = held(r0.integer(358, 2, 6), 0, limits.CountMax);

    SetBarDat(paras.Para1.left(BarDatWidth), s.SCBarDat);
    s.InpCount = r1.byteAt(112) == '1';
    s.InpCountDigits = held(r1.integer(113, 2, 1), 0, limits.CountMax);

    if (r0.byteAt(1) == '1') {
        s.SendUsed = true;
        s.SendFile = r0.text(2, 14).left(FileNameChars);
        s.SendFieldsIndex = held(r1.integer(131, 1, 1) - 1, 0, ResultFieldCount - 1);
        s.SendFType = r1.byteAt(132) == '1' ? 1 : 0;
        if (paras.Para1.size() >= 156) {
            const QString codes = GetSendFDef(s, s.SendFType);
            for (int i = 0; i <= s.SendFieldsIndex; ++i) {
                const int p = 133 + 3 * i;
                ResultField &f = s.SendDat[std::size_t(i)];
                const char code = r1.byteAt(p);
                f.code =
                    code != 0 && codes.contains(QChar::fromLatin1(code)) ? code : char(codes.at(0).unicode());
                f.length = held(r1.integer(p + 1, 2, 1), 0, 99);
            }
        }
    }
    const int del = r1.integer(157, 1, 2);
    s.SendDel = del >= 0 && del <= 2 ? del : 2;
    return s;
}

void PrepareForSave(MarrentSettings &s)
{
    if (s.DKUsed && IsDateTimeType(s.DKType))
        s.DKMax = s.DKMin = DaTypeFixedDigits(s.DKType);
    if (s.InpCount && s.InpCountDigits > std::max(s.PKCountLen, 1))
        s.InpCountDigits = std::max(s.PKCountLen, 1);
    if (s.SendUsed)
        SetSendField(s);
}

} // namespace marrent
