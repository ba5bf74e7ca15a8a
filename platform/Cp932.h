#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Conversion between wide text and Shift-JIS bytes of code page 932, the code page of the
// terminals and of every terminal-facing file.
//
// Encoding: a character that code page 932 cannot hold becomes one "?" byte (a surrogate pair
// counts as one character; a lone surrogate is such a character too).
//
// Decoding: every byte that does not start a complete, valid sequence decodes to one U+FFFD and
// decoding goes on with the next byte. A lone lead byte left at the end by a byte cut is such a
// byte, and so is a lead byte whose second byte is not a valid trail byte (that second byte is
// then decoded on its own). U+FFFD encodes back to "?", so a cut text keeps its byte length.
//
// Both directions are safe to call from several threads at once; the converters are opened once.
namespace platform::cp932 {

QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);

// Byte length of the text's code page 932 form.
qsizetype byteLength(QStringView text);

// Index (in UTF-16 units) of the first character code page 932 cannot hold, -1 when it holds them
// all. Such a character is what encode turns into "?".
qsizetype firstUnheld(QStringView text);

} // namespace platform::cp932
