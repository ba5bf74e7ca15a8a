#pragma once

// The barcode reading settings of an item, apart from the dialog's widgets: what the dialog's
// controls hold (loaded from and stored into the item), the comparison and distribution lists it
// offers, its checks on confirm in their order, its key filters, and the AI code table.

#include "jobs/DataType.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace jobs {

// The symbology boxes in the order their letters are stored.
enum Symbology {
    SymJan,
    SymBook,
    SymMagazine,
    SymRss,
    SymItf,
    SymStf,
    SymNW7,
    SymCode39,
    SymCode93,
    SymCode128,
    SymQr,
    SymMaxiCode,
    SymPDF417,
    SymDataMatrix,
    SymComposite,
    SymbologyCount
};
// The four symbologies with a check digit choice, in the order of BarCodeControls::checkDigit.
inline constexpr std::array<Symbology, 4> CheckDigitSymbologies = {SymItf, SymStf, SymNW7, SymCode39};

inline constexpr int FormatFixed = 0; // formats 1 to 6 are separated fields
inline constexpr int FormatAi = 7;

// What the dialog's controls hold; numeric edits as their texts.
struct BarCodeControls {
    std::array<bool, SymbologyCount> symbology{};
    std::array<bool, 4> checkDigit{}; // ITF, STF, NW7, Code39: true = "あり" (the digit is read)
    bool user = false;
    QString userBar;
    QString barMax;
    QString barMin;
    bool gtin = false;
    bool delCD = false; // DelCDChk checked (it counts only while enabled)
    int format = 0;
    bool datChk = false;
    QString chkFldNo;
    QString chkAi;
    QString chkTop;
    QString chkLen;
    int cmpType = 0; // index into the comparison type list
    QString chkData;
    int chkNg = 0;
    bool fwDatChk = false;
    int fwKNum = 0;                    // index of the count list: rows shown = fwKNum + 1
    std::array<int, MaxFWCount> dst{}; // index into the destination list, -1 = none chosen
    std::array<QString, MaxFWCount> top{};
    std::array<QString, MaxFWCount> length{};
    std::array<QString, MaxFWCount> datNo{};
    std::array<QString, MaxFWCount> aiCd{};
    friend bool operator==(const BarCodeControls &, const BarCodeControls &) = default;
};

// The item the dialog edits and the list it belongs to.
struct BarCodeTarget {
    const TGyData *job = nullptr;
    bool group = false;
    int index = 0; // k: the item's index in its list
    // Items from this one to the last of its list: the distribution's count and destinations.
    int distributionCount() const;
    QStringList distributionNames() const;
    // The comparison types: texts, and the KBCmpID code of each.
    QStringList comparisonNames() const;
    QString comparisonCodes() const;
    const TKoData &item() const;
};

// Loading the controls from the item.
BarCodeControls GetBar(const BarCodeTarget &target);
// Storing the controls into the item: only the fields the dialog edits.
void SetBar(const BarCodeControls &controls, const BarCodeTarget &target, TKoData &item);

// KBar of the checked boxes ("u" alone in user mode).
QString KBarOf(const BarCodeControls &controls);
// DelCDChk is enabled while a check-digit symbology is checked with its digit "あり".
bool DelCDEnabled(const BarCodeControls &controls);

// ExistsAi: 1 listed, 0 not listed, 2 the table cannot be read.
int ExistsAi(const QString &tablePath, const QString &code);
using AiLookup = std::function<int(const QString &code)>;

// A failed confirm: the control to focus (objectName) and the message.
struct BarCodeFault {
    QString control;
    QString message;
    friend bool operator==(const BarCodeFault &, const BarCodeFault &) = default;
};
std::optional<BarCodeFault> CheckBarCode(const BarCodeControls &controls, const AiLookup &existsAi);

// Object names of the distribution grid's row i (0 to 9).
QString FWDstName(int row);
QString FWTopName(int row);
QString FWLengthName(int row);
QString FWDatNoName(int row);
QString FWAiCdName(int row);

// Key filters; nothing when the key is refused with a beep.
std::optional<QChar> UserBarKey(const QString &text, int caret, QChar key);
// The comparison text for a type other than a given text (0): a decimal number.
std::optional<QChar> ChkDataKey(const QString &text, int caret, QChar key);
// A start position with the digit typed at the end may not exceed the read maximum.
bool StartDigitAllowed(const QString &textWithDigit, const QString &barMax);
// The comparison text when the type becomes a given number: its first 10 characters in their
// shortest decimal form, empty when they are no number.
QString ChkDataAsNumber(const QString &text);

} // namespace jobs
