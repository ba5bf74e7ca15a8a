#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Marrent's records: the barcode reading record with its 111-byte text, the data formats and data
// types of a data-kind item, and the terminal models with their limits.
namespace marrent {

inline constexpr int BarDatWidth = 111;

struct TBarDat {
    QString BarType;
    QString BarUser;
    int BMax = 16;
    int BMin = 1;
    bool BGTIN = false;
    bool BDelCD = false;
    int BFmt = 0;
    qint16 BSpCode = 0;
    int BChkMode = 0;
    int BChkDNo = 1;
    int BChkTop = 1;
    QString BChkStr;
    int DTop = 16;
    int DLen = 1;
    friend bool operator==(const TBarDat &, const TBarDat &) = default;
};

// The record every barcode of a new form starts with.
TBarDat InitBarDat();

// GetBarDat: the record's 111-byte text. Every number is written as digits held to its field's
// range, and the fields a format or mode does not use are written as the dialog stores them, so
// the text reads back to the same meaning.
QByteArray GetBarDat(const TBarDat &bar);
// SetBarDat: the record of a 111-byte text, updating `bar` (fields the text leaves unused keep
// their values). A text that is missing or blank gives the initial record.
void SetBarDat(const QByteArray &text, TBarDat &bar);

// Data formats: 0 N 固定長, 1 K カンマ区切り, 2 S スペース区切り, 3 T タブ記号区切り, 4 C CR記号区切り,
// 5 X 区切り記号指定.
inline constexpr int FormatCount = 6;
inline constexpr int SeparatorFormat = 5;
const QStringList &FormatItems();
int SetBFmt(char letter); // any other letter is 0
char GetBFmt(int index);  // any other index is 'N'

// Data types of the data-kind item, by list index of DKTypeCB.
inline constexpr int DaTypeCount = 11;
const QStringList &DaTypeItems();
int SetDaType(char letter); // any other letter is 0
char GetDaType(int index);  // any other index is 'A'
// Dates and times (index 3 to 10) take a fixed digit count, given by their captions; 0 otherwise.
int DaTypeFixedDigits(int index);
inline bool IsDateTimeType(int index)
{
    return DaTypeFixedDigits(index) > 0;
}

// A supported terminal model and its limits.
struct ModelLimits {
    int BhtType = 0;
    int NameMax = 0;   // item names, voucher and product code field lengths
    int BarMaxLen = 0; // digit edits of the barcode dialog
    int DKMaxStd = 0;  // data-kind digits, font "標準"
    int DKMaxWide = 0; // data-kind digits, font "横倍"
    int SNameLenMax = 0;
    int CountMax = 0;   // count field length and quantity digits
    int paraLength = 0; // both parameter strings
    int defaultSNameLen = 0;
    int defaultSCLen = 0;
    bool isModel500() const { return BhtType == 500; }
    bool isModel900() const { return BhtType == 900; }
};

// The limits of models 500, 600, 800, 900 and 1300; nothing for any other.
std::optional<ModelLimits> LimitsOf(int bhtType);

} // namespace marrent
