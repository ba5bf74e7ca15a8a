#include "DataType.h"

#include "addins/frame/FixedRecord.h"
#include "platform/Cp932.h"

#include <algorithm>

namespace tessary {

namespace {

const std::array<TModel, 7> &Models()
{
    static const std::array<TModel, 7> models{{
        {300, QStringLiteral("(BHT-300)"), 22, 3500, 9999, 66, 33, 368},
        {500, QStringLiteral("(BHT-500)"), 16, 3500, 9999, 64, 32, 368},
        {600, QStringLiteral("(BHT-600)"), 20, 3500, 9999, 80, 40, 468},
        {800, QStringLiteral("(BHT-800)"), 20, 3500, 9999, 80, 40, 468},
        {900, QStringLiteral("(BHT-900)"), 21, 99, 999, 84, 40, 468},
        {1300, QStringLiteral("(BHT-1300)"), 20, 3500, 9999, 80, 40, 468},
        {7080, QStringLiteral("(BHT-7000/8000)"), 21, 99, 999, 42, 20, 468},
    }};
    return models;
}

constexpr char FormatLetters[FormatCount + 1] = "NK:;STCDA";

// A count or position read from the text: negative ones are no value the form can show.
int NonNegative(int value, int fallback)
{
    return value < 0 ? fallback : value;
}

} // namespace

const TModel *FindModel(int bhtType)
{
    for (const TModel &model : Models())
        if (model.BhtType == bhtType)
            return &model;
    return nullptr;
}

const TModel &UnknownModel()
{
    static const TModel unknown;
    return unknown;
}

TBarDat InitBarDat()
{
    TBarDat bar;
    bar.BMax = 16;
    bar.BMin = 1;
    bar.BChkDNo = 1;
    bar.BChkTop = 1;
    bar.DTop.fill(1);
    bar.Dlen.fill(1);
    return bar;
}

const std::array<QString, 8> &FormatItems()
{
    static const std::array<QString, 8> items{
        QStringLiteral("固定長"),
        QStringLiteral("カンマ（，）区切り"),
        QStringLiteral("コロン（：）区切り"),
        QStringLiteral("セミコロン（；）区切り"),
        QStringLiteral("スペース区切り"),
        QStringLiteral("タブ記号区切り"),
        QStringLiteral("CR記号区切り"),
        QStringLiteral("IDH記号区切り"),
    };
    return items;
}

int FormatIndex(char letter)
{
    for (int i = 0; i < FormatCount; ++i)
        if (FormatLetters[i] == letter)
            return i;
    return 0;
}

char FormatLetter(int index)
{
    return index >= 0 && index < FormatCount ? FormatLetters[index] : 'N';
}

QByteArray GetBarDat(const TBarDat &bar, bool dataKind)
{
    addins::FixedRecordWriter w;
    w.text(bar.BarType, 20).number(bar.BMax, 4).number(bar.BMin, 4).text(bar.BarUser, 32);
    w.flag(bar.BGTIN).flag(bar.BDelCD).bytes(QByteArray(1, FormatLetter(bar.BFmt)));
    w.number(bar.BChkMode, 1).number(bar.BChkDNo, 2).number(bar.BChkTop, 4).text(bar.BChkStr, 32);
    if (!dataKind)
        w.number(bar.DIdNo[0], 4);
    w.number(bar.DTop[0], 4).number(bar.Dlen[0], 4);
    return w.finish(dataKind ? 110 : 114);
}

TBarDat SetBarDat(const QByteArray &text, const TModel &model)
{
    const addins::FixedRecordReader r(text);
    TBarDat bar = InitBarDat();
    bar.BarType = r.text(1, 20);
    bar.BMax = NonNegative(r.integer(21, 4, 1), 1);
    bar.BMin = std::min(NonNegative(r.integer(25, 4, 1), 1), bar.BMax);
    bar.BarUser = r.text(29, 32);
    bar.BGTIN = r.byteAt(61) != '0';
    bar.BDelCD = r.byteAt(62) != '0';
    bar.BFmt = FormatIndex(r.byteAt(63));
    bar.BChkMode = std::clamp(r.integer(64, 1, 0), 0, 2);
    if (bar.BChkMode > 0) {
        bar.BChkDNo = NonNegative(r.integer(65, 2, 1), 1);
        bar.BChkTop = NonNegative(r.integer(67, 4, 1), 1);
        if (bar.BChkTop > model.BarMaxLen && bar.BChkTop != model.SpTopPos)
            bar.BChkTop = model.BarMaxLen;
        bar.BChkStr = r.text(71, 32);
    }
    bar.DIdNo[0] = NonNegative(r.integer(103, 4, 1), 1);
    bar.DTop[0] = NonNegative(r.integer(107, 4, 1), 1);
    bar.Dlen[0] = NonNegative(r.integer(111, 4, 1), 1);
    const int count = r.integer(115, 1, 0);
    if (count >= 1 && count <= 3) {
        // The characters as they stand, blanks included; the count follows what is there, so a
        // short text never claims characters it does not hold.
        const QByteArray chars = r.record().mid(115, count);
        bar.DelChar = platform::cp932::decode(chars);
        bar.DelChrCn = int(chars.size());
    }
    return bar;
}

} // namespace tessary
