#include "ByteText.h"

#include "platform/Cp932.h"

namespace addins {
namespace {

// Bytes of the longest start of text that fits in maxBytes, cut between characters; a surrogate pair
// is one character.
QByteArray wholeCharacters(const QString &text, int maxBytes)
{
    QByteArray out;
    if (maxBytes <= 0)
        return out;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QByteArray piece = platform::cp932::encode(QStringView(text).mid(i, len));
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        i += len;
    }
    return out;
}

} // namespace

QByteArray FitBytes(const QString &text, int width)
{
    if (width <= 0)
        return {};
    QByteArray bytes = wholeCharacters(text, width);
    bytes.append(width - bytes.size(), ' ');
    return bytes;
}

QString CutToBytes(const QString &text, int maxBytes)
{
    if (platform::cp932::byteLength(text) <= maxBytes)
        return text;
    qsizetype i = 0;
    int used = 0;
    while (i < text.size()) {
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const int bytes = int(platform::cp932::byteLength(QStringView(text).mid(i, len)));
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace addins
