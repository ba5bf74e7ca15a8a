#pragma once

#include <QByteArray>
#include <QString>

// Byte-wise Shift-JIS helpers: terminal files have fixed widths counted in code page 932 bytes,
// while forms and records hold wide text. Wide arguments are encoded before counting and wide
// results decoded after cutting (platform/Cp932.h), so a cut through a double-byte character
// leaves its lone byte in the result, as U+FFFD in wide text.
//
// Cut rules of every function that cuts: a count of 0 or less gives nothing; a count past the end
// gives what is there; a position (1-based, in bytes) below 1 counts as 1, past the end gives nothing.
// None of them fails for any argument.

// The first n bytes of the text's byte form.
QString LeftBText(const QString &text, int n);
// n bytes from byte position p (fewer when the text ends first); nothing is trimmed.
QString MidBCopy(const QString &text, int p, int n);
// The last n bytes of the text's byte form.
QString RightBText(const QString &text, int n);
// The longest start of the text whose byte form has at most maxBytes bytes: unlike the cuts above,
// it never splits a double-byte character (nor a surrogate pair), so the result encodes to whole
// characters and decodes back to itself.
QString CutToBytes(const QString &text, int maxBytes);

// The decimal value, zero-filled on the left to n bytes; leading digits beyond n are lost
// (12345 at width 3 is "345"), and so is a minus sign that falls outside (-5 at width 3 is "0-5").
QByteArray IntToZStr(int value, int n);
// Number text zero-filled on the left to n bytes, a leading "+" or "-" kept in front of the zeros
// ("-42" at width 5 is "-0042"); a signed text at width 1 or less gives the sign alone.
QByteArray NumToZStr(const QString &text, int n);
// The text cut or padded with spaces to exactly n bytes (nothing for n of 0 or less).
QByteArray PadBStr(const QString &text, int n);
// Leading "0" characters removed; all zeros or empty gives "0", and a result that would begin
// with "." gets its "0" back ("00.50" is "0.50").
QString TrimLeadZeros(const QString &text);

// Readers of fixed-width fields: the text field of n bytes from byte p, without trailing spaces
// and control characters.
QString MidBText(const QByteArray &bytes, int p, int n);
// The numeric field of n bytes from byte p as a signed decimal integer, leading spaces skipped;
// defaultValue when the field is not exactly that (empty, letters, trailing spaces, outside the
// 32-bit range).
int MidBInt(const QByteArray &bytes, int p, int n, int defaultValue);

// The settings program of a terminal add-in program, from "AddIn.lst" in folder: folder followed by
// the program's file name, or empty text when the list is missing or unreadable or has no entry for
// the name (letter case counts; the first entry wins). The folder ends in its separator ("/" or
// "\"); none is added, and a trailing "\" is read as the folder separator of this system.
// An entry whose file name would leave the folder (a separator or "..") gives empty text.
QString GetAddInSetPrg(const QString &folder, const QString &name);
