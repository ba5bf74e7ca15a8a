#pragma once

#include "Settings.h"

#include <QString>
#include <QStringList>

// The fields of the result file the terminal sends after processing: which codes a file type
// offers, their names and default lengths, and the refresh that keeps the eight fields in step with
// the settings they are taken from.
namespace marrent {

// GetSendFDef: the codes the file type offers, in order: "D" when the data kind is used, "N" when
// the voucher kind is used, then "abcdefXxYyZ" (type 0) or "CSKabcdefgh" (type 1).
QString GetSendFDef(const MarrentSettings &s, int fileType);
// The default length of a code at this moment (the lengths of D, N, C, S and K from their edits,
// 1 when empty).
int SendFieldLength(const MarrentSettings &s, QChar code);
// GetSDefStr: the list names of the codes.
QStringList GetSDefStr(const MarrentSettings &s, const QString &codes);
QString SendFieldName(const MarrentSettings &s, QChar code);

// SetSendField: every field keeps its code when the chosen type offers it, else takes the first
// offered code; each length becomes its code's current default.
void SetSendField(MarrentSettings &s);
// A field list's choice: the row (0-based) takes the code at listIndex of the offered codes and its
// default length. An index outside the list changes nothing.
void ChooseSendField(MarrentSettings &s, int row, int listIndex);
// The list index a field shows (its code's place among the offered codes, 0 when absent).
int SendFieldListIndex(const MarrentSettings &s, int row);

} // namespace marrent
