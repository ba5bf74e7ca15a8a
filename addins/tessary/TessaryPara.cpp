#include "TessaryPara.h"

#include "SaveLayout.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/FixedRecord.h"
#include "addins/frame/LetterTables.h"
#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

#include <algorithm>

namespace tessary {

namespace {

constexpr int LongText = 114;
constexpr int PieceBytes = 12;
constexpr int Para1SavePart = 335;

// A position or length edit takes 1 and more; a stored value below that is no value it can show.
int AtLeastOne(int value, int fallback)
{
    return value < 1 ? fallback : value;
}

int NonNegative(int value, int fallback)
{
    return value < 0 ? fallback : value;
}

void ReadPieces(const addins::FixedRecordReader &r, int position, TBarDat &bar)
{
    for (int k = 1; k < CmpDataCount; ++k) {
        const int p = position + (k - 1) * PieceBytes;
        bar.DIdNo[std::size_t(k)] = NonNegative(r.integer(p, 4, 1), 1);
        bar.DTop[std::size_t(k)] = NonNegative(r.integer(p + 4, 4, 1), 1);
        bar.Dlen[std::size_t(k)] = NonNegative(r.integer(p + 8, 4, 1), 1);
    }
}

void WritePieces(addins::FixedRecordWriter &w, const TBarDat &bar)
{
    for (int k = 1; k < CmpDataCount; ++k)
        w.number(bar.DIdNo[std::size_t(k)], 4)
            .number(bar.DTop[std::size_t(k)], 4)
            .number(bar.Dlen[std::size_t(k)], 4);
}

QByteArray DigitText(const std::optional<int> &value)
{
    return NumToZStr(value ? QString::number(*value) : QString(), 4);
}

// A delete count always says how many characters stand in DelChar, 0 with none.
void NormaliseDelete(TBarDat &bar)
{
    if (bar.DelChrCn < 1) {
        bar.DelChrCn = 0;
        bar.DelChar.clear();
        return;
    }
    bar.DelChar = CutToBytes(bar.DelChar, 3);
    bar.DelChrCn = int(platform::cp932::byteLength(bar.DelChar));
}

} // namespace

ParaLayout LayoutOf(const QByteArray &para0, const TModel &model)
{
    const QByteArray marker = para0.mid(model.para0Length - 2, 2);
    if (marker == "D1")
        return ParaLayout::D1;
    if (marker == "D0")
        return ParaLayout::D0;
    return ParaLayout::None;
}

void ApplyDataKindDigits(TTessaryState &s, const TModel &model)
{
    const int fixed = addins::DataTypeFixedDigits(s.DKType);
    if (s.DKubun && fixed > 0) {
        s.DKMax = fixed;
        s.DKMin = fixed;
        return;
    }
    if (s.DKMax && s.DKMin) {
        const int limit = 4 * model.NameMax;
        s.DKMax = std::clamp(*s.DKMax, 1, limit);
        s.DKMin = std::min(std::clamp(*s.DKMin, 1, limit), *s.DKMax);
    }
}

TTessaryState DefaultState(const TModel &model)
{
    TTessaryState s;
    s.DKBarDat = InitBarDat();
    s.MKBarDat = InitBarDat();
    s.CKBarDat = InitBarDat();
    s.CKBarDat.BMax = model.BarMaxLen;
    s.CKBarDat.DIdNo[0] = 1;
    CheckSaveDat(s.SaveDat, GetSaveDef(s), model);
    return s;
}

TTessaryState LoadState(const QByteArray &para0, const QByteArray &para1, const TModel &model)
{
    TTessaryState s = DefaultState(model);
    const ParaLayout layout = LayoutOf(para0, model);
    if (layout == ParaLayout::None)
        return s;
    // Padded so that every field past a short string reads as blanks and takes its default.
    const QByteArray p0 = para0.leftJustified(model.para0Length, ' ');
    const QByteArray p1 = para1.leftJustified(Para1Length, ' ');
    const addins::FixedRecordReader r0(p0);
    const addins::FixedRecordReader r1(p1);
    const auto name = [&](const addins::FixedRecordReader &r, int p) {
        return CutToBytes(r.text(p, 22), model.NameMax);
    };

    if (r0.byteAt(16) == '1') {
        s.DKubun = true;
        s.DKName = name(r0, 17);
        s.DKType = addins::DataTypeIndex(QLatin1Char(r0.byteAt(39)));
        s.DKFont = r0.byteAt(48) == '1' ? 1 : 0;
        const int limit = s.DKFont == 1 ? model.DKMaxWide : model.DKMaxStd;
        const int largest = std::clamp(r0.integer(40, 4, 1), 1, limit);
        s.DKMax = largest;
        s.DKMin = std::clamp(r0.integer(44, 4, 1), 1, largest);
        if (r0.byteAt(49) == '1') {
            s.DKBar = true;
            s.DKBarDat = SetBarDat(p0.mid(49, 102) + "0001" + p0.mid(151, 8) + "0-  ", model);
        }
    }

    s.Dousa = r0.byteAt(160) == 'N' ? OneToN : OneToOne;
    const char count = r0.byteAt(161);
    s.CmpDatCnt = count >= '1' && count <= '5' ? count - '0' : 0;

    s.MKName = name(r0, 162);
    s.MKBarDat = SetBarDat(p0.mid(183, LongText) + p0.mid(345, 4), model);
    ReadPieces(r0, 298, s.MKBarDat);

    s.SKName = name(r1, 1);
    const QByteArray deletePart = layout == ParaLayout::D1 ? p1.mid(184, 1) + p1.mid(390, 3) : p1.mid(184, 2);
    s.CKBarDat = SetBarDat(p1.mid(22, LongText) + deletePart, model);
    ReadPieces(r1, 137, s.CKBarDat);

    // The quantity box exists in 1:1 only; a 1:N job's stray byte does not tick it.
    s.SuryouInput = s.Dousa == OneToOne && r1.byteAt(187) == '1';

    if (r0.byteAt(1) == '1') {
        s.DSave = true;
        s.SaveFile = r0.text(2, 12);
        s.SaveFields = std::clamp(r1.integer(188, 2, 1), 1, SaveFieldMax);
        s.SaveType = std::clamp(r1.integer(190, 1, 1), 1, 4) - 1;
        s.TStamp = TimeStampIndex(r1.byteAt(191));
        for (int i = 0; i < SaveFieldMax; ++i) {
            const int p = 192 + i * 9;
            TSaveDat &f = s.SaveDat[std::size_t(i)];
            f.code = r1.byteAt(p);
            f.top = r1.integer(p + 1, 4, 1);
            f.len = r1.integer(p + 5, 4, 1);
        }
    }

    if (r1.byteAt(336) == '1') {
        s.DKMst = true;
        s.DKMstFile = r1.text(337, 12);
        s.DKMstField = r1.text(349, 10);
        s.DKMstErr = r1.byteAt(359) == '1';
    }
    if (r1.byteAt(360) == '1') {
        s.MKMst = true;
        s.MKMstFile = r1.text(361, 12);
        s.MKMstField = r1.text(373, 10);
        s.SerchDatTop = AtLeastOne(r1.integer(383, 4, 1), 1);
        s.SerchDatLen = AtLeastOne(r1.integer(387, 4, 1), 1);
    }

    // A 1:1 job has no count type to show.
    s.SaveType = SaveTypeFor(s.SaveType, s.Dousa);
    CheckSaveDat(s.SaveDat, GetSaveDef(s), model);
    ApplyDataKindDigits(s, model);
    return s;
}

TTessaryState NormalisedForSave(TTessaryState s, const TModel &model)
{
    s.DKName = CutToBytes(s.DKName, model.NameMax);
    s.MKName = CutToBytes(s.MKName, model.NameMax);
    s.SKName = CutToBytes(s.SKName, model.NameMax);
    s.SaveFields = std::clamp(s.SaveFields, 1, SaveFieldMax);
    s.SaveType = SaveTypeFor(s.SaveType, s.Dousa);
    s.CmpDatCnt = std::clamp(s.CmpDatCnt, 0, CmpDataCount);
    CheckSaveDat(s.SaveDat, GetSaveDef(s), model);
    s.DKBarDat.BFmt = FixedLengthFormat;
    s.DKBarDat.DIdNo[0] = 1;
    if (s.CmpDatCnt == 0) {
        s.MKBarDat.BFmt = FixedLengthFormat;
        s.CKBarDat.BFmt = FixedLengthFormat;
    }
    NormaliseDelete(s.DKBarDat);
    NormaliseDelete(s.MKBarDat);
    NormaliseDelete(s.CKBarDat);
    return s;
}

TessaryPara SaveState(const TTessaryState &state, const TModel &model)
{
    const TTessaryState s = NormalisedForSave(state, model);
    addins::FixedRecordWriter w0;
    if (s.DSave)
        w0.flag(true).text(s.SaveFile, 14);
    else
        w0.flag(false).blanks(14);
    if (s.DKubun) {
        w0.flag(true).text(s.DKName, 22);
        w0.bytes(QByteArray(1, char(addins::DataTypeLetter(s.DKType).unicode())));
        w0.bytes(DigitText(s.DKMax)).bytes(DigitText(s.DKMin)).flag(s.DKFont == 1);
        if (s.DKBar)
            w0.flag(true).bytes(GetBarDat(s.DKBarDat, true));
        else
            w0.flag(false).blanks(110);
    } else {
        w0.flag(false).blanks(143);
    }
    w0.bytes(s.Dousa == OneToN ? "N" : "0").number(s.CmpDatCnt, 1);
    w0.text(s.MKName, 22).bytes(GetBarDat(s.MKBarDat, false));
    WritePieces(w0, s.MKBarDat);
    if (s.MKBarDat.DelChrCn < 1)
        w0.bytes("0-  ");
    else
        w0.number(s.MKBarDat.DelChrCn, 1).text(s.MKBarDat.DelChar, 3);
    const QByteArray para0 = w0.finish(model.para0Length - 2) + "D1";

    addins::FixedRecordWriter w1;
    w1.text(s.SKName, 22).bytes(GetBarDat(s.CKBarDat, false));
    WritePieces(w1, s.CKBarDat);
    if (s.CKBarDat.DelChrCn < 1)
        w1.bytes("0-");
    else
        w1.number(s.CKBarDat.DelChrCn, 1).text(s.CKBarDat.DelChar.left(1), 1);
    w1.flag(s.SuryouInput);
    if (s.DSave) {
        w1.number(s.SaveFields, 2).number(s.SaveType + 1, 1);
        w1.bytes(QByteArray(1, TimeStampLetter(s.TStamp)));
        for (int i = 0; i < s.SaveFields; ++i) {
            const TSaveDat &f = s.SaveDat[std::size_t(i)];
            w1.bytes(QByteArray(1, f.code)).number(f.top, 4).number(f.len, 4);
        }
    } else {
        w1.flag(false);
    }
    w1.blanks(Para1SavePart - (w1.position() - 1));
    if (s.DKMst)
        w1.flag(true).text(s.DKMstFile, 12).text(s.DKMstField, 10).flag(s.DKMstErr);
    else
        w1.flag(false).blanks(23);
    if (s.MKMst)
        w1.flag(true)
            .text(s.MKMstFile, 12)
            .text(s.MKMstField, 10)
            .number(s.SerchDatTop.value_or(1), 4)
            .number(s.SerchDatLen.value_or(10), 4);
    else
        w1.flag(false).blanks(30);
    w1.text(s.CKBarDat.DelChar, 3);
    return {para0, w1.finish(Para1Length)};
}

} // namespace tessary
