#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// One code letter per enumerated choice, as the job settings file and the terminal carry it; the
// index is the place of the choice in its editor list. Letters are case-sensitive. Unless a table
// says otherwise, an unknown letter gives index 0 and an unknown index the letter of index 0.

// Job mode: A B S R r J b X.
int GyModeIndex(QChar letter);
QChar GyModeLetter(int index);
QStringList GyModeItems();

// Communication mode: 2 U B X Y. The index is never above maxIndex (the last item of the list the
// value goes into); a negative maxIndex is taken as 0.
int ComModeIndex(QChar letter, int maxIndex);
QChar ComModeLetter(int index);

// Time stamp: N D T W.
int TStampIndex(QChar letter);
QChar TStampLetter(int index);
QStringList TStampItems();

// Stamp position: only T is first (0); anything else is last (1), and every index but 0 is L.
int TSLocIndex(QChar letter);
QChar TSLocLetter(int index);
QStringList TSLocItems();

// Colour: B W R G b C M Y. Index 8, the empty item of some colour lists, is written as B.
int ColourIndex(QChar letter);
QChar ColourLetter(int index);
struct ColourRgb {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    friend bool operator==(const ColourRgb &, const ColourRgb &) = default;
};
ColourRgb ColourValue(int index); // black outside 1..7
QStringList ColourItems();

// Data type: A B C a b c W X Y Z.
int DataTypeIndex(QChar letter);
QChar DataTypeLetter(int index);
QStringList DataTypeItems();
// Types from unsigned integer on (index 3 and above) take no barcode input.
bool DataTypeTakesBarcode(int index);

// Duplicate check: N G F.
int DoubleIndex(QChar letter);
QChar DoubleLetter(int index);
QStringList DoubleItems();

// Read-data format: N K : ; S T C A.
int FormatIndex(QChar letter);
QChar FormatLetter(int index);
QStringList FormatItems();

// Trigger mode: F M C.
int TriggerIndex(QChar letter);
QChar TriggerLetter(int index);
QStringList TriggerItems();

// Input mode: N K B W. On reading, every letter but B, K and N is keys and barcode (3).
int InputIndex(QChar letter);
QChar InputLetter(int index);
QStringList InputItems();

// The symbology letters of a text, in their order, repeats kept; blanks at both ends are trimmed
// first and every other character (a double-byte one included) is dropped.
QString FilterSymbologies(const QString &text);
inline constexpr char SymbologyLetters[] = "AabRIiHhNnMmLKQXYZVu";
