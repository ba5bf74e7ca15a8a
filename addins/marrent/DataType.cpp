#include "DataType.h"

#include "addins/frame/FixedRecord.h"

#include <algorithm>

namespace marrent {

namespace {

constexpr char FormatLetters[FormatCount + 1] = "NKSTCX";
constexpr char DaTypeLetters[DaTypeCount + 1] = "ABCWwXxYyZz";
constexpr int DaTypeDigits[DaTypeCount] = {0, 0, 0, 10, 8, 5, 8, 5, 3, 5, 4};

int held(int value, int lo, int hi)
{
    return std::clamp(value, lo, hi);
}

bool blank(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

} // namespace

TBarDat InitBarDat()
{
    return TBarDat{};
}

QByteArray GetBarDat(const TBarDat &bar)
{
    const int mode = held(bar.BChkMode, 0, 2);
    addins::FixedRecordWriter w;
    w.text(bar.BarType, 20)
        .number(held(bar.BMax, 0, 9999), 4)
        .number(held(bar.BMin, 0, 9999), 4)
        .text(bar.BarUser, 32)
        .flag(bar.BGTIN)
        .flag(bar.BDelCD)
        .bytes(QByteArray(1, GetBFmt(bar.BFmt)))
        .number(held(bar.BSpCode, 0, 255), 3)
        .number(mode, 1);
    if (mode > 0)
        w.number(held(bar.BChkDNo, 0, 99), 2).number(held(bar.BChkTop, 0, 3500), 4).text(bar.BChkStr, 32);
    else
        w.number(1, 2).number(1, 4).blanks(32);
    w.number(held(bar.DTop, 0, 9999), 4).number(held(bar.DLen, 0, 99), 2);
    return w.finish(BarDatWidth);
}

void SetBarDat(const QByteArray &text, TBarDat &bar)
{
    if (blank(text)) {
        bar = InitBarDat();
        return;
    }
    const addins::FixedRecordReader r(text);
    bar.BarType = r.text(1, 20);
    bar.BMax = r.integer(21, 4, 1);
    bar.BMin = std::min(r.integer(25, 4, 1), bar.BMax);
    bar.BarUser = r.text(29, 32);
    bar.BGTIN = r.byteAt(61) != '0';
    bar.BDelCD = r.byteAt(62) != '0';
    bar.BFmt = SetBFmt(r.byteAt(63));
    if (bar.BFmt == SeparatorFormat)
        bar.BSpCode = qint16(held(r.integer(64, 3, 44), 0, 255));
    else
        bar.BSpCode = 44;
    bar.BChkMode = held(r.integer(67, 1, 0), 0, 2);
    if (bar.BChkMode > 0) {
        bar.BChkDNo = r.integer(68, 2, 1);
        if (bar.BChkDNo < 0)
            bar.BChkDNo = 1;
        bar.BChkTop = r.integer(70, 4, 1);
        if (bar.BChkTop < 0)
            bar.BChkTop = 1;
        bar.BChkTop = std::min(bar.BChkTop, 3500);
        bar.BChkStr = r.text(74, 32);
    }
    bar.DTop = r.integer(106, 4, 1);
    bar.DLen = r.integer(110, 2, 1);
}

const QStringList &FormatItems()
{
    static const QStringList items{
        QStringLiteral("固定長"),         QStringLiteral("カンマ区切り"), QStringLiteral("スペース区切り"),
        QStringLiteral("タブ記号区切り"), QStringLiteral("CR記号区切り"), QStringLiteral("区切り記号指定"),
    };
    return items;
}

int SetBFmt(char letter)
{
    for (int i = 0; i < FormatCount; ++i)
        if (FormatLetters[i] == letter)
            return i;
    return 0;
}

char GetBFmt(int index)
{
    return index >= 0 && index < FormatCount ? FormatLetters[index] : 'N';
}

const QStringList &DaTypeItems()
{
    // "時刻B(HHMM" lacks its bracket on the terminal's own list too.
    static const QStringList items{
        QStringLiteral("文字列"),           QStringLiteral("数字(0詰め表示)"),
        QStringLiteral("数字(0ｻﾌﾟﾚｽ表示)"), QStringLiteral("日付A(YYYY/MM/DD)"),
        QStringLiteral("日付B(YY/MM/DD)"),  QStringLiteral("日付C(MM/DD)"),
        QStringLiteral("日付D(YYYYMMDD)"),  QStringLiteral("日付E(YMMDD)"),
        QStringLiteral("日付F(MDD)"),       QStringLiteral("時刻A(HH:MM)"),
        QStringLiteral("時刻B(HHMM"),
    };
    return items;
}

int SetDaType(char letter)
{
    for (int i = 0; i < DaTypeCount; ++i)
        if (DaTypeLetters[i] == letter)
            return i;
    return 0;
}

char GetDaType(int index)
{
    return index >= 1 && index < DaTypeCount ? DaTypeLetters[index] : 'A';
}

int DaTypeFixedDigits(int index)
{
    return index >= 0 && index < DaTypeCount ? DaTypeDigits[index] : 0;
}

std::optional<ModelLimits> LimitsOf(int bhtType)
{
    switch (bhtType) {
    case 500:
        return ModelLimits{500, 16, 3500, 64, 32, 48, 6, 368, 32, 13};
    case 600:
    case 800:
    case 1300:
        return ModelLimits{bhtType, 20, 3500, 80, 40, 60, 8, 468, 40, 13};
    case 900:
        return ModelLimits{900, 21, 99, 84, 40, 21, 8, 468, 21, 21};
    default:
        return std::nullopt;
    }
}

} // namespace marrent
