#pragma once

#include <QChar>
#include <QString>

#include <array>
#include <functional>

// The symbology letters of the barcode reading settings (field BarType), shared by the four
// programs: which letter stands for which symbology, which models read it, and how a set of ticked
// boxes becomes the letter string and back.
namespace addins {

// In the fixed order in which the letters are written.
enum class Symbology {
    Jan,        // A "JAN/EAN/UPC"
    Book,       // a "書籍コード"
    Magazine,   // b "雑誌コード"
    Rss,        // R "GS1 DataBar"
    Itf,        // I, i with check digit "ITF"
    Stf,        // H, h "STF"
    Nw7,        // N, n "NW7"
    Code39,     // M, m "Code39"
    Code93,     // L "Code93"
    Code128,    // K "GS-128/EAN-128/Code128"
    Qr,         // Q "QRコード"
    MaxiCode,   // X "MaxiCode"
    Pdf417,     // Y "PDF417"
    DataMatrix, // Z "Data Matrix"
    Composite,  // V "EAN・UCC Composite"
    IQr,        // G "iQRコード"
    User,       // u "ユーザー定義": the user-defined string (BarUser) names the symbology
};
inline constexpr int SymbologyCount = 17;

struct SymbologyInfo {
    Symbology symbology;
    char letter; // without check digit
    char checkDigitLetter; // with check digit ("ﾁｪｯｸﾃﾞｼﾞｯﾄ" "あり"); 0 when the symbology has no choice
    QString caption;                 // of its check box
    const char *boxName;             // the check box's object name in every program's forms
    const char *checkDigitGroupName; // of its "ﾁｪｯｸﾃﾞｼﾞｯﾄ" group; null without a choice
};

// All symbologies in writing order.
const std::array<SymbologyInfo, SymbologyCount> &SymbologyTable();
const SymbologyInfo &InfoOf(Symbology symbology);

// Whether the terminal model reads the symbology: the two-dimensional codes (Q X Y Z V) on 300,
// 500, 600, 800 and 1300 only, iQR (G) on 1300 only, every other symbology on every model. A
// program that shows fewer boxes on a model says so with its own predicate (SChkSetBar).
bool ModelOffers(Symbology symbology, int model);

// The state of a dialog's symbology boxes and check-digit choices.
struct SymbologyChoice {
    std::array<bool, SymbologyCount> ticked{};
    // Only ITF, STF, NW7 and Code39 have a choice; true is "あり".
    std::array<bool, SymbologyCount> checkDigit{};

    bool isTicked(Symbology s) const { return ticked[std::size_t(s)]; }
    void tick(Symbology s, bool on = true) { ticked[std::size_t(s)] = on; }
    bool hasCheckDigit(Symbology s) const { return checkDigit[std::size_t(s)]; }
    void setCheckDigit(Symbology s, bool on) { checkDigit[std::size_t(s)] = on; }

    friend bool operator==(const SymbologyChoice &, const SymbologyChoice &) = default;
};

// Whether a box may contribute its letter: what the program shows on its model.
using SymbologyShown = std::function<bool(Symbology)>;
// ModelOffers for one model.
SymbologyShown ShownOnModel(int model);

// SChkSetBar: the letter string of the ticked boxes in table order, skipping what `shown` refuses
// (a stored letter whose box is hidden is dropped). A ticked user-defined box gives "u" alone,
// whatever else is ticked.
QString SChkSetBar(const SymbologyChoice &choice, const SymbologyShown &shown);

// GetBar's reading of a letter string: every known letter ticks its box; a lower-case i, h, n or m
// also chooses "あり" for its check digit, the upper-case one "なし"; "u" ticks the user-defined
// box. Unknown letters are ignored.
SymbologyChoice ChoiceFromBarType(const QString &barType);

} // namespace addins
