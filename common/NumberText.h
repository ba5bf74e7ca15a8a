#pragma once

#include <QStringView>
#include <QtGlobal>

// Numbers that rules read from what an edit holds or a record carries. Reading never fails: only a
// text that is not a number takes the caller's value for that case, and a number beyond 32 bits is
// still its value, not "no number".
//
// A number text is, blanks on both sides aside: an optional "+" or "-", then ASCII digits with at
// most one point before, among or after them, and at least one digit ("12", "-7", "+1.25", ".5",
// "3."). Anything else is not a number: letters, a second sign or point, an exponent, full-width
// digits, separators.

// The integer part (the fraction is dropped, toward zero); a value beyond the 64-bit range gives
// the nearer end of that range.
qint64 TextToInt64(QStringView text, qint64 notNumber = 0);

// The value as a real number; a value beyond the range of double gives the largest double of
// its sign.
double TextToReal(QStringView text, double notNumber = 0);

// What a numeric edit holds before its first digit: nothing, blanks, a lone sign, a lone point,
// or a sign and a point. Rules that ask for a value treat it as empty.
bool IsEmptyNumber(QStringView text);
