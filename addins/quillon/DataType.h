#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

// Quillon's records: the terminal models it edits for with their limits, the barcode reading
// setting TBarDat and the result signal TBzDat, and their fixed-width texts inside Para0/Para1.
namespace quillon {

// The limits of one terminal model. Item names are limited to NameMax code page 932 bytes.
struct ModelLimits {
    int BhtType = 0;
    QString captionSuffix; // "(BHT-800)"
    int NameMax = 20;
    int BarMaxLen = 3500; // largest position or length inside a barcode
    int SpTopPos = 9999;  // a start position accepted beyond BarMaxLen
    int PosMaxDegits = 4; // digits of every position and length edit
    int DKMaxStd = 180;   // largest input digits of an item in standard display
    int DKMaxWide = 90;   // ... in double-width (横倍) display
};

// The limits of a model Quillon supports (800, 900, 1300); nothing for any other.
std::optional<ModelLimits> LimitsOf(int model);
// The limits before a model is known.
ModelLimits StartLimits();

// BFmt values.
enum BarFormat { FmtFixed = 0, FmtSpace = 1, FmtTab = 2, FmtCr = 3, FmtSeparator = 4, FmtLetterA = 5 };
inline constexpr int BarFormatItems = 5; // formats 0..4 have a list item; 5 has none

struct TBarDat {
    QString BarType;
    QString BarUser;
    bool BGTIN = false;
    bool BDelCD = false;
    int BFmt = FmtFixed;
    QChar SVChar; // the separator of format 4, else null
    int BChkMode = 0;
    int BChkDNo = 1;
    int BChkTop = 1;
    QString BChkStr;
    int DTop = 1;
    int Dlen = 20;
    QString DelChar; // up to 3 single-byte characters
    friend bool operator==(const TBarDat &, const TBarDat &) = default;
};

TBarDat InitBarDat();

// SetBFmt: "A" 5, "C" 3, "N" 0, "S" 1, "T" 2; any other byte is format 4 with that separator.
void SetBFmt(char letter, TBarDat &bar);
// GetBFmt: the format letter, or the separator itself for format 4 (a blank when it has none, so
// that no record ever holds a NUL byte).
char GetBFmt(const TBarDat &bar);
// The items of the data format list in order, each followed by CR LF.
QString BFmtItemsText();
// The format list items, by index 0..4.
QStringList BFmtItems();

inline constexpr int BarDatTextLength = 106;
// BarDatText (106 bytes) to a TBarDat: BChkMode cut to 0..2; the check fields are read only with a
// check; BChkTop beyond BarMaxLen (and not SpTopPos) becomes BarMaxLen.
TBarDat SetBarDat(const QByteArray &text, const ModelLimits &limits);
QByteArray GetBarDat(const TBarDat &bar);

struct TBzDat {
    QString WavFile;
    int BzHz = 1;
    int Count = 1;
    int OnTime = 5;
    int OffTime = 1;
    int BpVib = 0; // 0 buzzer, 1 vibrator, 2 both
    friend bool operator==(const TBzDat &, const TBzDat &) = default;
};

TBzDat DefaultOkBz();
TBzDat DefaultNgBz();

// The frequency as the terminal takes it: below 0 is 0 on the dialog's side (1 from a record),
// 3 to 61 become 62, above 5000 becomes 5000; 0, 1 and 2 stay.
int NormaliseBzHz(int hz, int negativeValue);

inline constexpr int BzDatTextLength = 27;
struct BzDatRead {
    TBzDat bz;
    int displayTime = 30; // 1/10 s
};
// BzDatText (27 bytes) to a TBzDat and the result's display time, normalised.
BzDatRead SetBzDat(const QByteArray &text);
// displayTime: the display time edit's text; empty or not a number is 30.
QByteArray GetBzDat(const TBzDat &bz, const QString &displayTime);

// The value of a digits-only edit's text, or nothing when the text is not a number (empty
// included): the rules treat such a text as empty.
std::optional<qint64> NumberOf(const QString &text);

} // namespace quillon
