#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Tessary's terminal models with their limits, and its barcode record TBarDat with the fixed-width
// text the terminal add-in reads.
namespace tessary {

struct TModel {
    int BhtType = 0;
    QString suffix;        // of the window caption, "(BHT-800)"
    int NameMax = 20;      // bytes of an item name
    int BarMaxLen = 3500;  // largest barcode digit count and position
    int SpTopPos = 9999;   // a start position accepted beyond BarMaxLen
    int DKMaxStd = 80;     // largest data-kind input digits, standard display
    int DKMaxWide = 40;    // and double-width display
    int para0Length = 468; // Para0 bytes; the marker stands in its last two
};

// The model's limits; nullptr for a model the terminal add-in does not run on.
const TModel *FindModel(int bhtType);
// The limits in force before a model is known (BarMaxLen 3500, SpTopPos 9999).
const TModel &UnknownModel();

inline constexpr int CmpDataCount = 5;

struct TBarDat {
    QString BarType; // symbology letters, or "u"
    QString BarUser; // user-defined symbology string
    int BMax = 0;
    int BMin = 0;
    bool BGTIN = false;
    bool BDelCD = false;
    int BFmt = 0; // data format index 0 to 8
    int BChkMode = 0;
    int BChkDNo = 0;
    int BChkTop = 0;
    QString BChkStr;
    std::array<int, CmpDataCount> DIdNo{};
    std::array<int, CmpDataCount> DTop{};
    std::array<int, CmpDataCount> Dlen{};
    int DelChrCn = 0;
    QString DelChar;

    friend bool operator==(const TBarDat &, const TBarDat &) = default;
};

// The record of a barcode nobody has set: digits 16 to 1, every piece at 1 with length 1.
TBarDat InitBarDat();

// Data formats: 0 "N" 固定長, 1 "K" comma, 2 ":" colon, 3 ";" semicolon, 4 "S" space, 5 "T" tab,
// 6 "C" CR, 7 "D" IDH, 8 "A" (no list item).
inline constexpr int FormatCount = 9;
inline constexpr int FixedLengthFormat = 0;
// The dialog's list items of indexes 0 to 7.
const std::array<QString, 8> &FormatItems();
// The index of a letter; any other letter is 0.
int FormatIndex(char letter);
// The letter of an index; any other index is "N".
char FormatLetter(int index);

// GetBarDat: the record's fixed-width text, 114 bytes (long form of the source and the target) or,
// with dataKind, 110 bytes without the data number of piece 1.
QByteArray GetBarDat(const TBarDat &bar, bool dataKind);

// SetBarDat: reads a long text followed by its delete part (count byte, then the characters) on the
// model. Numbers that are missing or negative take their field's default; the delete count is
// never more than the characters the text holds.
TBarDat SetBarDat(const QByteArray &text, const TModel &model);

} // namespace tessary
