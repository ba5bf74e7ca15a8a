#pragma once

#include <QByteArray>
#include <QString>

// Text held to a budget of code page 932 bytes. Unlike a plain byte cut, these never split a
// double-byte character, so what is written decodes to wide text and encodes back to the very same
// bytes (the store holds the parameter strings as wide text).
namespace addins {

// The text's code page 932 bytes, cut after the last whole character that fits in width and padded
// with blanks to exactly width bytes (nothing for a width of 0 or less).
QByteArray FitBytes(const QString &text, int width);

// Blanks (spaces only) removed at both ends.
QString TrimBlanks(const QString &text);

} // namespace addins
