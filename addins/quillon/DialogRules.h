#pragma once

#include "DataType.h"
#include "addins/frame/KeyRules.h"

#include <QString>

// The checks of the barcode reading dialog and of the result signal dialog, and their own key
// rules, apart from the widgets.
namespace quillon {

struct DialogFailure {
    QString focus; // object name; empty when every rule passed
    QString message;
    bool passed() const { return focus.isEmpty(); }
};

// What the barcode reading dialog's controls hold when "確定" is pressed.
struct BarDialogInput {
    QString letters; // SChkSetBar
    int format = FmtFixed;
    bool separatorShown = false;
    QString separator;
    bool dataCheck = false;
    QString chkFldNo, chkTop, chkData;
    QString datTop, datLen;
    bool delChar = false;
    QString delText;
};
DialogFailure CheckBarDialog(const BarDialogInput &in, const ModelLimits &limits);

// SVChrSEKeyPress: the 28 characters a separator may be.
bool SeparatorKey(QChar key);

// DelCharSE: single-byte characters only, so the count written is what the terminal deletes.
addins::KeyOutcome DelCharKey(const QString &text, int caret, QChar key);

struct BzDialogInput {
    QString wav, hz, count, onTime, offTime;
};
DialogFailure CheckBzDialog(const BzDialogInput &in);

// WavFileSEChange: without an extension at most 8 characters; with one at most 4 characters,
// and ".WAV" when it has 4.
bool WavFileValid(const QString &text);
// The change check with WavFileValid (as addins::FileNameChange).
addins::ChangeCheck WavFileChange(const QString &text, const QString &lastGood, int caret);

} // namespace quillon
