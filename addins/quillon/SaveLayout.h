#pragma once

#include "DataType.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The result save layout: which codes a saved field may take, how each row's start and length are
// held to the model's limits, and the layout preview of the fields.
namespace quillon {

inline constexpr int SaveRowCount = 16;

struct TSaveDat {
    char code = '*';
    int top = 1;
    int len = 20;
    friend bool operator==(const TSaveDat &, const TSaveDat &) = default;
};
using SaveRows = std::array<TSaveDat, SaveRowCount>;

struct SaveCodeInfo {
    char code;
    QString item;   // of the row's list
    QString column; // of the layout preview
    int width;      // of the preview column
    int fixedLen;   // the value's fixed length; 0 for the codes whose start and length are edited
};

// In list order: "#", "%", "*", "1" .. "9", "0", "?", "<", ">", "(", ")".
const std::vector<SaveCodeInfo> &SaveCodeTable();
// Null for a code outside the table.
const SaveCodeInfo *SaveCodeOf(char code);

// GetSaveDef: the codes the rows may take: "#", "%" only with the data kind, "*1234567890?<>()".
QByteArray GetSaveDef(bool dataKind);
// The list items of the codes in order.
QStringList SaveItems(const QByteArray &def);
// GetSDefStr: the list items, each followed by CR LF.
QString GetSDefStr(const QByteArray &def);

// What of a row is edited: "#" its length only, "%", "*" and the digits both, the rest neither.
enum class RowEdits { None, LengthOnly, StartAndLength };
RowEdits RowEditsOf(char code);

// The largest values a row's start and length edits take.
struct RowMaxima {
    int top;
    int len;
};
RowMaxima RowMaximaOf(char code, const ModelLimits &limits);

// CheckSaveDat: a code not in def becomes "*"; "#" has start 1 and at most 8 digits; the fixed
// codes their start 1 and fixed length; the others a start of 1 .. BarMaxLen (or SpTopPos) and a
// length of 1 .. BarMaxLen.
void CheckSaveDat(SaveRows &rows, const QByteArray &def, const ModelLimits &limits);

// CheckSDTLen: a row's start and length from its edits' texts (1 when not a number), held so that
// the field ends within BarMaxLen unless it starts at SpTopPos.
TSaveDat CheckSDTLen(char code, const QString &topText, const QString &lenText, const ModelLimits &limits);

// The code of a row's list choice; a choice beyond the list is its last code.
char CodeAtChoice(const QByteArray &def, int index);
// The list choice of a code; 0 when the list lacks it.
int ChoiceOfCode(const QByteArray &def, char code);

// TopNEKeyPress / FTopNEKeyPress: whether a digit typed into a start edit is kept; text is the
// edit's text with the digit in place. A value of 9, 99, 999 or SpTopPos is always kept (the
// operator is on the way to SpTopPos), any other above BarMaxLen is dropped.
bool StartDigitKept(const QString &text, const ModelLimits &limits);

struct LayoutCell {
    QString caption;
    int width = 0;
    QString value; // the field's length as "%4d"; empty for a column beyond the count
};
// DspDataLayout: the preview's 16 columns for the first count rows.
std::array<LayoutCell, SaveRowCount> DspDataLayout(const SaveRows &rows, int count);

} // namespace quillon
