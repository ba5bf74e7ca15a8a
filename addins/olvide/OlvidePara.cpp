#include "OlvidePara.h"

#include "addins/frame/FixedRecord.h"

#include <algorithm>
#include <iterator>

namespace olvide {

using addins::Symbology;

namespace {

// The symbologies Olvide offers, in writing order.
constexpr Symbology Offered[] = {Symbology::Rss,       Symbology::Code128, Symbology::Qr,
                                 Symbology::MaxiCode,  Symbology::Pdf417,  Symbology::DataMatrix,
                                 Symbology::Composite, Symbology::IQr,     Symbology::User};

constexpr char ComparisonBytes[] = {'<', '(', '=', ')', '>'};

bool offered(Symbology s)
{
    return std::find(std::begin(Offered), std::end(Offered), s) != std::end(Offered);
}

// The last two bytes of "00" followed by the text.
QByteArray twoDigits(const QString &text)
{
    return (QByteArray("00") + text.toLatin1()).right(2);
}

} // namespace

bool ModelSupported(int model)
{
    return model == 300 || model == 500 || model == 600 || model == 800 || model == 900 || model == 1300;
}

addins::SymbologyShown ShownOnModel(int model)
{
    return [model](Symbology s) { return offered(s) && addins::ModelOffers(s, model); };
}

OlvideSettings DefaultSettings()
{
    return {};
}

OlvideSettings ReadPara(const QByteArray &para0)
{
    const addins::FixedRecordReader r(para0);
    OlvideSettings s;
    s.AiIndex = std::clamp(r.integer(1, 2, 11), 11, 19) - 11;
    s.CmpDate = r.byteAt(3) == '=' ? 1 : 0;
    s.Year = QString::number(r.integer(4, 2, 0)).rightJustified(2, u'0');
    s.Month = QString::number(std::clamp(r.integer(6, 2, 1), 1, 12));
    s.Day = QString::number(std::clamp(r.integer(8, 2, 1), 0, 31));
    const char comparison = r.byteAt(10);
    s.CmpMode = 2;
    for (int i = 0; i < 5; ++i)
        if (comparison == ComparisonBytes[i])
            s.CmpMode = i;
    const addins::SymbologyChoice stored = addins::ChoiceFromBarType(r.trimmed(11, 20));
    for (Symbology sym : Offered)
        s.Symbologies.tick(sym, stored.isTicked(sym));
    if (s.Symbologies.isTicked(Symbology::User))
        s.UserBar = r.trimmed(31, 32);
    return s;
}

QByteArray WritePara(const OlvideSettings &s, int model)
{
    addins::FixedRecordWriter w;
    w.number(std::clamp(s.AiIndex, 0, 8) + 11, 2)
        .bytes(s.CmpDate == 1 ? "=" : "S")
        .bytes(twoDigits(s.Year))
        .bytes(twoDigits(s.Month))
        .bytes(twoDigits(s.Day))
        .bytes(QByteArrayView(&ComparisonBytes[std::clamp(s.CmpMode, 0, 4)], 1))
        .text(addins::SChkSetBar(s.Symbologies, ShownOnModel(model)), 20)
        .text(s.UserBar, 32);
    return w.finish(ParaLength);
}

std::optional<CheckError> CheckData(const OlvideSettings &s, int model)
{
    const QString setDate = QStringLiteral("設定日付を入力してください。");
    if (s.AiIndex < 0)
        return CheckError{Field::AICB, QStringLiteral("アプリケーション識別子を設定してください。")};
    if (s.CmpDate < 0)
        return CheckError{Field::CmpDateCB, QStringLiteral("検査日付を設定してください。")};
    if (s.CmpDate == 1 && s.Year.size() != 2)
        return CheckError{Field::CmpYearSE, setDate};
    if (s.CmpDate == 1 && s.Month.isEmpty())
        return CheckError{Field::CmpMonthNE, setDate};
    if (s.CmpDate == 1 && s.Day.isEmpty())
        return CheckError{Field::CmpDayNE, setDate};
    if (s.CmpMode < 0)
        return CheckError{Field::CmpModeCB, QStringLiteral("検査方法を設定してください。")};
    // What would be written, not what is ticked: a stored letter behind a hidden box reads nothing.
    if (addins::SChkSetBar(s.Symbologies, ShownOnModel(model)).isEmpty())
        return CheckError{Field::Code128Chk, QStringLiteral("読取バーコードを設定してください。")};
    if (s.Symbologies.isTicked(Symbology::User) && s.UserBar.isEmpty())
        return CheckError{Field::UserBarSE, QStringLiteral("ユーザー定義バーコードを設定してください。")};
    return std::nullopt;
}

} // namespace olvide
