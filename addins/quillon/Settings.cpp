#include "Settings.h"

#include "addins/frame/ByteText.h"
#include "addins/frame/FixedRecord.h"
#include "addins/frame/LetterTables.h"
#include "common/FerPrgLib.h"

namespace quillon {

void QuillonSettings::showSaveDat()
{
    for (int k = 0; k < SaveRowCount; ++k) {
        SaveEdits[std::size_t(k)].top = QString::number(SaveDat[std::size_t(k)].top);
        SaveEdits[std::size_t(k)].len = QString::number(SaveDat[std::size_t(k)].len);
    }
}

int DisplayLimit(const QuillonSettings &s, const ModelLimits &limits)
{
    return s.DKFontCB == 1 ? limits.DKMaxWide : limits.DKMaxStd;
}

int FixedDigits(const QuillonSettings &s)
{
    return addins::DataTypeFixedDigits(s.DKTypeCB);
}

addins::HandOffReadRules QuillonReadRules()
{
    return addins::HandOffReadRules{2, Para0MarkerPosition, {Para0Marker}};
}

namespace {

// A name field of 22 bytes read back to the model's NameMax bytes, cut between characters.
QString nameField(const addins::FixedRecordReader &r, int p, const ModelLimits &limits)
{
    return CutToBytes(r.text(p, 22), limits.NameMax);
}

int atLeastOne(int v)
{
    return v < 1 ? 1 : v;
}

void loadSaveRows(const addins::FixedRecordReader &p1, QuillonSettings &s)
{
    const int n = atLeastOne(p1.integer(151, 2, 1));
    s.SaveFieldsCB = n > SaveRowCount ? SaveRowCount - 1 : n - 1;
    const char type = p1.byteAt(153);
    s.SaveTypeCB = type == 'N' ? 1 : type == 'W' ? 2 : 0;
    const QByteArray piece = p1.record().mid(153, 180);
    const int m = int(piece.size() / 9);
    if (m < 1) {
        s.SaveFieldsCB = 0;
        return;
    }
    if (m < s.saveCount())
        s.SaveFieldsCB = m - 1;
    const addins::FixedRecordReader r(piece);
    for (int k = 1; k <= s.saveCount(); ++k) {
        TSaveDat &row = s.SaveDat[std::size_t(k - 1)];
        row.code = r.byteAt(9 * (k - 1) + 1);
        row.top = r.integer(9 * k - 7, 4, 1);
        row.len = r.integer(9 * k - 3, 4, 1);
    }
}

} // namespace

LoadOutcome LoadQuillon(const addins::HandOffRequest &request)
{
    LoadOutcome out;
    out.model = request.BhtType;
    const std::optional<ModelLimits> limits = LimitsOf(request.BhtType);
    out.caption = request.GyName.value_or(QString()) + QStringLiteral(" 設定");
    if (!limits) {
        out.limits = StartLimits();
        out.refusal = QStringLiteral("BHT-%1には対応していません。").arg(request.BhtType);
        return out;
    }
    out.supported = true;
    out.limits = *limits;
    out.caption += limits->captionSuffix;
    QuillonSettings &s = out.settings;
    s.showSaveDat();
    if (request.SetCount < 1)
        return out;

    const addins::FixedRecordReader p0(request.Para0);
    const addins::FixedRecordReader p1(request.Para1);
    if (p0.byteAt(16) == '1') {
        s.DKubunChk = true;
        s.DKNameSE = nameField(p0, 17, *limits);
        s.DKTypeCB = addins::DataTypeIndex(QChar(uchar(p0.byteAt(39))));
        s.DKFontCB = p0.byteAt(40) == '1' ? 1 : 0;
        const int limit = DisplayLimit(s, *limits);
        const int max = std::min(atLeastOne(p0.integer(41, 4, 1)), limit);
        const int min = std::min(atLeastOne(p0.integer(45, 4, 1)), limit);
        s.DKMaxNE = QString::number(max);
        s.DKMinNE = QString::number(std::min(max, min));
        if (p0.byteAt(49) == '1') {
            s.DKBarChk = true;
            s.DKBarDat = SetBarDat(request.Para0.mid(49, BarDatTextLength), *limits);
        }
        if (p0.byteAt(156) == '1') {
            s.DKMstUseChk = true;
            s.DKMstFileSE = p0.text(157, 14);
            s.DKMstErrChk = p0.byteAt(171) == '1';
        }
    }
    s.KKNameSE = nameField(p0, 189, *limits);
    const int kkMax = atLeastOne(p0.integer(211, 4, 1));
    const int kkMin = atLeastOne(p0.integer(215, 4, 1));
    s.KKMaxNE = QString::number(kkMax);
    s.KKMinNE = QString::number(std::min(kkMax, kkMin));
    s.KKBarDat = SetBarDat(request.Para0.mid(218, BarDatTextLength), *limits);
    s.KKMstFileSE = p0.text(325, 14);
    const BzDatRead ok = SetBzDat(request.Para0.mid(368, BzDatTextLength));
    const BzDatRead ng = SetBzDat(request.Para0.mid(395, BzDatTextLength));
    s.OkBz = ok.bz;
    s.OkDspTimeNE = QString::number(ok.displayTime);
    s.NgBz = ng.bz;
    s.NgDspTimeNE = QString::number(ng.displayTime);

    s.SKNameSE = nameField(p1, 1, *limits);
    s.CmpModeCB = p1.byteAt(23) == '1' ? 1 : 0;
    s.SKBarDat = SetBarDat(request.Para1.mid(23, BarDatTextLength), *limits);
    if (p1.byteAt(130) == '1') {
        s.SKMstUseChk = true;
        s.SKMstFileSE = p1.text(131, 14);
    }
    if (p0.byteAt(1) == '1') {
        s.DSaveChk = true;
        s.SaveFileSE = p0.text(2, 14);
        loadSaveRows(p1, s);
    }
    s.showSaveDat();
    return out;
}

QByteArray BuildPara0(const QuillonSettings &s)
{
    addins::FixedRecordWriter w;
    if (s.DSaveChk)
        w.flag(true).text(s.SaveFileSE, 14);
    else
        w.flag(false).blanks(14);
    if (s.DKubunChk) {
        const int fixed = FixedDigits(s);
        // A date or time kind has the type's own digits. Its barcode and master boxes are hidden
        // but keep their ticks and records, written as they stand.
        const QString max = fixed > 0 ? QString::number(fixed) : s.DKMaxNE;
        const QString min = fixed > 0 ? QString::number(fixed) : s.DKMinNE;
        w.flag(true).text(s.DKNameSE, 22);
        w.bytes(QByteArray(1, addins::DataTypeLetter(s.DKTypeCB).toLatin1()));
        w.flag(s.DKFontCB == 1);
        w.bytes(NumToZStr(max, 4)).bytes(NumToZStr(min, 4));
        if (s.DKBarChk)
            w.flag(true).bytes(GetBarDat(s.DKBarDat));
        else
            w.flag(false);
        w.blanks(155 - w.position() + 1);
        if (s.DKMstUseChk)
            w.flag(true).text(s.DKMstFileSE, 14).flag(s.DKMstErrChk);
        else
            w.flag(false);
    } else {
        w.flag(false);
    }
    w.blanks(188 - w.position() + 1);
    w.text(s.KKNameSE, 22).bytes(NumToZStr(s.KKMaxNE, 4)).bytes(NumToZStr(s.KKMinNE, 4));
    w.bytes(GetBarDat(s.KKBarDat)).text(s.KKMstFileSE, 14);
    w.blanks(368 - w.position() + 1);
    w.bytes(GetBzDat(s.OkBz, s.OkDspTimeNE)).bytes(GetBzDat(s.NgBz, s.NgDspTimeNE));
    w.blanks(466 - w.position() + 1);
    w.bytes(Para0Marker);
    return w.finish(Para0Length);
}

QByteArray BuildPara1(QuillonSettings &s, const ModelLimits &limits)
{
    addins::FixedRecordWriter w;
    w.text(s.SKNameSE, 22).flag(s.CmpModeCB == 1).bytes(GetBarDat(s.SKBarDat));
    if (s.SKMstUseChk)
        w.flag(true).text(s.SKMstFileSE, 14);
    else
        w.flag(false);
    w.blanks(150 - w.position() + 1);
    if (s.DSaveChk) {
        const int count = std::clamp(s.saveCount(), 1, SaveRowCount);
        const char type = s.SaveTypeCB == 1 ? 'N' : s.SaveTypeCB == 2 ? 'W' : 'O';
        w.number(count, 2).bytes(QByteArray(1, type));
        CheckSaveDat(s.SaveDat, GetSaveDef(s.DKubunChk), limits);
        for (int k = 0; k < count; ++k) {
            const TSaveDat &row = s.SaveDat[std::size_t(k)];
            w.bytes(QByteArray(1, row.code)).number(row.top, 4).number(row.len, 4);
        }
    } else {
        w.bytes("011");
    }
    return w.finish(Para1Length);
}

} // namespace quillon
