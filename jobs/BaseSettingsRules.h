#pragma once

// The base settings page without its widgets: the normalisations of its numeric fields, the buzzer
// table, the file-name key filter and the extension rules of its file-name edits, the communication
// mode list fed by the add-in communication programs, the Enter chain, and the Bluetooth dialog's
// values.

#include <QChar>
#include <QString>
#include <QStringList>

#include "jobs/DataType.h"

namespace basepage {

// Power-off, error time, buzzer on and off times: the terminal has no time 0, so "0" reads "1".
QString ZeroToOne(const QString &text);

// Buzzer frequency while typed: a value above 5000 is 5000. Empty stays empty.
QString BzHzTyped(const QString &text);
// Buzzer frequency when its field is left: 1 and 2 are special tones and nothing sounds between them
// and 62 Hz, so 3..61 become 62.
int BzHzLeft(int hz);

// The buzzer edits hold decimal texts; an entry takes a value only from a non-empty, numeric text.
enum class BzField { Hz, Count, OnTime, OffTime };
// Stores text into the field of entry; false (entry unchanged) for an empty or non-numeric text.
bool StoreBzField(BuzzerSetting &entry, BzField field, const QString &text);

// One typed character through the file-name filter of the editor's 8.3 file-name edits.
struct FileNameKey {
    QChar key;         // what is typed; the null character: nothing
    bool beep = false; // the character was refused
    friend bool operator==(const FileNameKey &, const FileNameKey &) = default;
};
// text: the edit's text before the key, caret: characters before the caret.
FileNameKey FileNameKeyPress(const QString &text, int caret, QChar key);
// A whole text (a paste, input-method text) through the filter one character at a time, as typed
// at the caret. Returns the text and the caret after it; beep: a character was refused.
struct FileNameText {
    QString text;
    int caret = 0;
    bool beep = false;
};
FileNameText FileNameTypeText(const QString &text, int caret, const QString &typed);

// A file-name edit whose extension must be `wanted` (".WAV", ".PD4"): a text longer than 4 bytes
// whose extension (from its last point) is longer than 3 bytes and is not `wanted`.
bool WrongExtension(const QString &text, QStringView wanted);

// What a file-name edit's change does: either the text is stored, or the edit goes back to the stored
// name with the caret at `caret` and a beep.
struct NameChange {
    bool accepted = true;
    QString text; // the text the edit holds afterwards
    int caret = 0;
};
// WavFileSE: the caret goes one position left of where it was.
NameChange WavFileChange(const QString &text, int caret, const QString &stored);
// ComPrgSE1/2: the caret stays where it was.
NameChange ComPrgChange(const QString &text, int caret, const QString &stored);

// An add-in communication program that the communication mode list offers: longer than 4 bytes,
// extension ".PD4".
bool IsComPrgName(const QString &name);

// The communication mode list and its selection after a program name changed: the previous index,
// or the last item when the list became shorter than that.
struct DataFtpList {
    QStringList items;
    int index = 0;
};
DataFtpList RebuildDataFtp(const QString &comPrg1, const QString &comPrg2, int previousIndex);

// The letter the file carries for item index of the list built from the two programs: the three
// modes, then X for program 1 and Y for program 2 wherever they stand (an invalid program 1 is not
// in the list, so program 2 may be item 3). An index outside the list is the first mode's letter.
QChar DataFtpLetter(int index, const QString &comPrg1, const QString &comPrg2);

// Enter on ComPrgSE1/ComPrgSE2 with text: the next control, empty when the focus stays (and beeps:
// a name that is not a communication program).
QString ComPrgEnter(const QString &control, const QString &text);
// Enter on a control of the base page: the next control of the chain; empty at its end or for a
// control outside it.
QString P1KeyDown(const QString &control);

// The Bluetooth dialog's controls as values.
struct BtFormValues {
    QString DevName;
    int ModeCB = 0;
    QString BtAdrSE;
    QString TimeOutNE;
    int SecurityCB = 0;
    QString PassKeySE;
    friend bool operator==(const BtFormValues &, const BtFormValues &) = default;
};
// What the dialog shows for bt; Security is first brought into 1..3 in bt.
BtFormValues BtFill(TBluetoothDat &bt);
// Whether the address edit is shown (master mode) and the pass key (a security other than none).
bool BtAdrVisible(int modeIndex);
bool BtPassKeyVisible(int securityIndex);
// Copies the dialog's values back into bt unless the device name is empty (cancelled). An empty or
// non-numeric time-out, or one below 1, keeps the previous one. True when bt changed.
bool BtCopyBack(const BtFormValues &values, TBluetoothDat &bt);
// A key typed into the address: hexadecimal digits in upper case pass, backspace passes, anything
// else (Enter too) gives the null character.
QChar BtAdrKey(QChar key);

} // namespace basepage
