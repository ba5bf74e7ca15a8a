#include "ByteText.h"

#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

namespace addins {

QByteArray FitBytes(const QString &text, int width)
{
    if (width <= 0)
        return {};
    QByteArray bytes = platform::cp932::encode(CutToBytes(text, width));
    bytes.append(width - bytes.size(), ' ');
    return bytes;
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
