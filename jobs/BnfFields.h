#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Fixed-width fields of the 500-byte lines of a job settings file. Positions are 1-based bytes;
// nothing here reads or writes outside the line, whatever its length.
namespace bnf {

inline constexpr int LineLength = 500;
inline constexpr char LineEnd[] = "\r\n";

// Builds one line field by field; finish() completes it with blanks and cuts it at 500 bytes.
class LineBuilder {
public:
    LineBuilder &flag(bool value);
    LineBuilder &letter(QChar letter);
    LineBuilder &number(int value, int width); // zero-padded, rightmost digits
    LineBuilder &signedNumber(const QString &text, int width);
    LineBuilder &text(const QString &text, int width); // blank-padded or cut
    LineBuilder &bytes(QByteArrayView bytes);
    LineBuilder &blanks(int count);
    LineBuilder &blanksTo(int lastPosition); // blanks up to and including the position
    int size() const { return int(line.size()); }
    QByteArray finish() const;

private:
    QByteArray line;
};

// The n bytes at position p (fewer, or none, where the line ends first).
QByteArray bytesAt(QByteArrayView line, int p, int n);
// The byte at position p, or '\0' beyond the line.
char byteAt(QByteArrayView line, int p);
// A text field: its bytes decoded after trimming blanks and control bytes on both sides.
QString textAt(QByteArrayView line, int p, int n);
// A number field; defaultValue when it is not a decimal integer within 32 bits.
int numberAt(QByteArrayView line, int p, int n, int defaultValue);

} // namespace bnf
