#include "DataType.h"

#include "addins/frame/ByteText.h"
#include "addins/frame/FixedRecord.h"
#include "common/FerPrgLib.h"
#include "common/NumberText.h"
#include "platform/Cp932.h"

#include <QStringList>

namespace quillon {

std::optional<ModelLimits> LimitsOf(int model)
{
    switch (model) {
    case 800:
        return ModelLimits{800, QStringLiteral("(BHT-800)"), 20, 3500, 9999, 4, 180, 90};
    case 900:
        return ModelLimits{900, QStringLiteral("(BHT-900)"), 21, 99, 99, 2, 84, 40};
    case 1300:
        return ModelLimits{1300, QStringLiteral("(BHT-1300)"), 20, 3500, 9999, 4, 180, 90};
    default:
        return std::nullopt;
    }
}

ModelLimits StartLimits()
{
    return ModelLimits{};
}

TBarDat InitBarDat()
{
    return TBarDat{};
}

void SetBFmt(char letter, TBarDat &bar)
{
    bar.SVChar = QChar();
    switch (letter) {
    case 'A':
        bar.BFmt = FmtLetterA;
        break;
    case 'C':
        bar.BFmt = FmtCr;
        break;
    case 'N':
        bar.BFmt = FmtFixed;
        break;
    case 'S':
        bar.BFmt = FmtSpace;
        break;
    case 'T':
        bar.BFmt = FmtTab;
        break;
    default: {
        bar.BFmt = FmtSeparator;
        const QString decoded = platform::cp932::decode(QByteArrayView(&letter, 1));
        bar.SVChar = decoded.isEmpty() ? QChar(u' ') : decoded.at(0);
        break;
    }
    }
}

char GetBFmt(const TBarDat &bar)
{
    switch (bar.BFmt) {
    case FmtLetterA:
        return 'A';
    case FmtCr:
        return 'C';
    case FmtSpace:
        return 'S';
    case FmtTab:
        return 'T';
    case FmtSeparator: {
        const QByteArray bytes = platform::cp932::encode(QString(bar.SVChar));
        if (bar.SVChar.isNull() || bytes.size() != 1)
            return ' ';
        return bytes.at(0);
    }
    default:
        return 'N';
    }
}

QStringList BFmtItems()
{
    return {QStringLiteral("固定長"), QStringLiteral("ｽﾍﾟｰｽ区切り"), QStringLiteral("ﾀﾌﾞ記号区切り"),
            QStringLiteral("CR記号区切り"), QStringLiteral("区切り文字指定")};
}

QString BFmtItemsText()
{
    QString text;
    for (const QString &item : BFmtItems())
        text += item + QStringLiteral("\r\n");
    return text;
}

TBarDat SetBarDat(const QByteArray &text, const ModelLimits &limits)
{
    const addins::FixedRecordReader r(text);
    TBarDat bar;
    bar.BarType = r.text(1, 20);
    bar.BarUser = r.text(21, 32);
    // A record cut short (a Para1 that was never written) reads as the initial setting here.
    bar.BGTIN = r.byteAt(53) != '0' && r.byteAt(53) != 0;
    bar.BDelCD = r.byteAt(54) != '0' && r.byteAt(54) != 0;
    if (r.byteAt(55) != 0)
        SetBFmt(r.byteAt(55), bar);
    bar.BChkMode = std::clamp(r.integer(56, 1, 0), 0, 2);
    if (bar.BChkMode > 0) {
        bar.BChkDNo = r.integer(57, 2, 1);
        if (bar.BChkDNo < 0)
            bar.BChkDNo = 1;
        bar.BChkTop = r.integer(59, 4, 1);
        if (bar.BChkTop < 0)
            bar.BChkTop = 1;
        else if (bar.BChkTop > limits.BarMaxLen && bar.BChkTop != limits.SpTopPos)
            bar.BChkTop = limits.BarMaxLen;
        bar.BChkStr = r.text(63, 32);
    }
    // A negative position or length has no zero-filled form: it would be saved broken.
    bar.DTop = std::max(r.integer(95, 4, 1), 0);
    bar.Dlen = std::max(r.integer(99, 4, 1), 0);
    const int n = r.integer(103, 1, 0);
    if (n >= 1 && n <= 3)
        bar.DelChar = platform::cp932::decode(r.record().mid(103, n));
    return bar;
}

QByteArray GetBarDat(const TBarDat &bar)
{
    // The count is of what the field holds, so the terminal never deletes more than was written.
    const QString del = CutToBytes(bar.DelChar, 3);
    const int delBytes = int(platform::cp932::byteLength(del));
    const char fmt = GetBFmt(bar);
    return addins::FixedRecordWriter()
        .text(bar.BarType, 20)
        .text(bar.BarUser, 32)
        .flag(bar.BGTIN)
        .flag(bar.BDelCD)
        .bytes(QByteArrayView(&fmt, 1))
        .number(bar.BChkMode, 1)
        .number(bar.BChkDNo, 2)
        .number(bar.BChkTop, 4)
        .text(bar.BChkStr, 32)
        .number(bar.DTop, 4)
        .number(bar.Dlen, 4)
        .number(delBytes, 1)
        .text(del, 3)
        .finish(BarDatTextLength);
}

TBzDat DefaultOkBz()
{
    return TBzDat{QString(), 1, 1, 5, 1, 0};
}

TBzDat DefaultNgBz()
{
    return TBzDat{QString(), 2, 3, 1, 1, 0};
}

int NormaliseBzHz(int hz, int negativeValue)
{
    if (hz < 0)
        return negativeValue;
    if (hz >= 3 && hz <= 61)
        return 62;
    if (hz > 5000)
        return 5000;
    return hz;
}

BzDatRead SetBzDat(const QByteArray &text)
{
    const addins::FixedRecordReader r(text);
    BzDatRead read;
    read.displayTime = r.integer(1, 2, 30);
    if (read.displayTime < 0)
        read.displayTime = 30;
    else if (read.displayTime >= 100)
        read.displayTime = 99;
    const auto atLeastOne = [](int v) { return v < 0 ? 1 : v; };
    read.bz.WavFile = r.text(3, 14);
    read.bz.BzHz = NormaliseBzHz(r.integer(17, 4, 1), 1);
    read.bz.Count = atLeastOne(r.integer(21, 2, 1));
    read.bz.OnTime = atLeastOne(r.integer(23, 2, 1));
    read.bz.OffTime = atLeastOne(r.integer(25, 2, 1));
    read.bz.BpVib = r.integer(27, 1, 0);
    if (read.bz.BpVib < 0 || read.bz.BpVib > 2)
        read.bz.BpVib = 0;
    return read;
}

QByteArray GetBzDat(const TBzDat &bz, const QString &displayTime)
{
    const int time = int(NumberOf(displayTime).value_or(30));
    return addins::FixedRecordWriter()
        .number(time, 2)
        .text(bz.WavFile, 14)
        .number(bz.BzHz, 4)
        .number(bz.Count, 2)
        .number(bz.OnTime, 2)
        .number(bz.OffTime, 2)
        .number(bz.BpVib, 1)
        .finish(BzDatTextLength);
}

std::optional<qint64> NumberOf(const QString &text)
{
    const qint64 a = TextToInt64(text, -1);
    if (a == -1 && TextToInt64(text, -2) == -2)
        return std::nullopt;
    return a;
}

} // namespace quillon
