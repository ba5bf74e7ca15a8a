#include "Symbology.h"

namespace addins {

const std::array<SymbologyInfo, SymbologyCount> &SymbologyTable()
{
    static const std::array<SymbologyInfo, SymbologyCount> table{{
        {Symbology::Jan, 'A', 0, QStringLiteral("JAN/EAN/UPC"), "JanChk", nullptr},
        {Symbology::Book, 'a', 0, QStringLiteral("書籍コード"), "BookChk", nullptr},
        {Symbology::Magazine, 'b', 0, QStringLiteral("雑誌コード"), "MagazinChk", nullptr},
        {Symbology::Rss, 'R', 0, QStringLiteral("GS1 DataBar"), "RssChk", nullptr},
        {Symbology::Itf, 'I', 'i', QStringLiteral("ITF"), "ItfChk", "ItfCD"},
        {Symbology::Stf, 'H', 'h', QStringLiteral("STF"), "StfChk", "StfCD"},
        {Symbology::Nw7, 'N', 'n', QStringLiteral("NW7"), "NW7Chk", "NW7CD"},
        {Symbology::Code39, 'M', 'm', QStringLiteral("Code39"), "Code39Chk", "Code39CD"},
        {Symbology::Code93, 'L', 0, QStringLiteral("Code93"), "Code93Chk", nullptr},
        {Symbology::Code128, 'K', 0, QStringLiteral("GS-128/EAN-128/Code128"), "Code128Chk", nullptr},
        {Symbology::Qr, 'Q', 0, QStringLiteral("QRコード"), "QrChk", nullptr},
        {Symbology::MaxiCode, 'X', 0, QStringLiteral("MaxiCode"), "MaxiCodeChk", nullptr},
        {Symbology::Pdf417, 'Y', 0, QStringLiteral("PDF417"), "PDF417Chk", nullptr},
        {Symbology::DataMatrix, 'Z', 0, QStringLiteral("Data Matrix"), "DataMatrixChk", nullptr},
        {Symbology::Composite, 'V', 0, QStringLiteral("EAN・UCC Composite"), "CompositeChk", nullptr},
        {Symbology::IQr, 'G', 0, QStringLiteral("iQRコード"), "iQrChk", nullptr},
        {Symbology::User, 'u', 0, QStringLiteral("ユーザー定義"), "UserBarChk", nullptr},
    }};
    return table;
}

const SymbologyInfo &InfoOf(Symbology symbology)
{
    return SymbologyTable()[std::size_t(symbology)];
}

bool ModelOffers(Symbology symbology, int model)
{
    const bool twoDimensionalModel =
        model == 300 || model == 500 || model == 600 || model == 800 || model == 1300;
    switch (symbology) {
    case Symbology::Qr:
    case Symbology::MaxiCode:
    case Symbology::Pdf417:
    case Symbology::DataMatrix:
    case Symbology::Composite:
        return twoDimensionalModel;
    case Symbology::IQr:
        return model == 1300;
    default:
        return true;
    }
}

SymbologyShown ShownOnModel(int model)
{
    return [model](Symbology s) { return ModelOffers(s, model); };
}

QString SChkSetBar(const SymbologyChoice &choice, const SymbologyShown &shown)
{
    if (choice.isTicked(Symbology::User) && shown(Symbology::User))
        return QStringLiteral("u");
    QString letters;
    for (const SymbologyInfo &info : SymbologyTable()) {
        if (info.symbology == Symbology::User || !choice.isTicked(info.symbology) || !shown(info.symbology))
            continue;
        const bool withCheckDigit = info.checkDigitLetter != 0 && choice.hasCheckDigit(info.symbology);
        letters += QLatin1Char(withCheckDigit ? info.checkDigitLetter : info.letter);
    }
    return letters;
}

SymbologyChoice ChoiceFromBarType(const QString &barType)
{
    SymbologyChoice choice;
    for (const QChar c : barType) {
        for (const SymbologyInfo &info : SymbologyTable()) {
            if (c == QLatin1Char(info.letter)) {
                choice.tick(info.symbology);
                if (info.checkDigitLetter != 0)
                    choice.setCheckDigit(info.symbology, false);
            } else if (info.checkDigitLetter != 0 && c == QLatin1Char(info.checkDigitLetter)) {
                choice.tick(info.symbology);
                choice.setCheckDigit(info.symbology, true);
            }
        }
    }
    return choice;
}

} // namespace addins
