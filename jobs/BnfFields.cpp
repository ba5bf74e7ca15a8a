#include "jobs/BnfFields.h"

#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

namespace bnf {

LineBuilder &LineBuilder::flag(bool value)
{
    line.append(value ? '1' : '0');
    return *this;
}

LineBuilder &LineBuilder::letter(QChar letter)
{
    // Code letters are ASCII; anything else (the empty character) would shift every later field.
    const char16_t c = letter.unicode();
    line.append(c > 0x20 && c < 0x7F ? char(c) : ' ');
    return *this;
}

LineBuilder &LineBuilder::number(int value, int width)
{
    line.append(IntToZStr(value, width));
    return *this;
}

LineBuilder &LineBuilder::signedNumber(const QString &text, int width)
{
    line.append(NumToZStr(text, width));
    return *this;
}

LineBuilder &LineBuilder::text(const QString &text, int width)
{
    line.append(PadBStr(text, width));
    return *this;
}

LineBuilder &LineBuilder::bytes(QByteArrayView bytes)
{
    line.append(bytes);
    return *this;
}

LineBuilder &LineBuilder::blanks(int count)
{
    if (count > 0)
        line.append(QByteArray(count, ' '));
    return *this;
}

LineBuilder &LineBuilder::blanksTo(int lastPosition)
{
    return blanks(lastPosition - int(line.size()));
}

QByteArray LineBuilder::finish() const
{
    QByteArray out = line.left(LineLength);
    if (out.size() < LineLength)
        out.append(QByteArray(LineLength - out.size(), ' '));
    return out;
}

QByteArray bytesAt(QByteArrayView line, int p, int n)
{
    if (n <= 0 || p < 1 || p > line.size())
        return {};
    const qsizetype start = p - 1;
    const qsizetype count = qMin<qsizetype>(n, line.size() - start);
    return line.sliced(start, count).toByteArray();
}

char byteAt(QByteArrayView line, int p)
{
    return p >= 1 && p <= line.size() ? line.at(p - 1) : '\0';
}

QString textAt(QByteArrayView line, int p, int n)
{
    // A trail byte is never 0x20 or below, so trimming bytes never splits a character.
    const QByteArray bytes = bytesAt(line, p, n);
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && quint8(bytes.at(begin)) <= 0x20)
        ++begin;
    while (end > begin && quint8(bytes.at(end - 1)) <= 0x20)
        --end;
    return platform::cp932::decode(QByteArrayView(bytes).sliced(begin, end - begin));
}

int numberAt(QByteArrayView line, int p, int n, int defaultValue)
{
    return MidBInt(bytesAt(line, p, n), 1, n, defaultValue);
}

} // namespace bnf
