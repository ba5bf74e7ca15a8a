#include "comm/YmRxHeader.h"

#include "platform/Cp932.h"

#include <limits>

namespace comm {

namespace {

constexpr qsizetype MaxNameBytes = 12;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The run of digits after the name, or -1 when there is none, it reaches the end of the block or
// it does not fit 32 bits.
qint64 announcedSize(QByteArrayView rest)
{
    qsizetype i = 0;
    while (i < rest.size() && !isDigit(rest[i]))
        ++i;
    if (i == rest.size())
        return -1;
    qint64 value = 0;
    for (; i < rest.size() && isDigit(rest[i]); ++i) {
        value = value * 10 + (rest[i] - '0');
        if (value > std::numeric_limits<qint32>::max())
            return -1;
    }
    if (i == rest.size())
        return -1;
    return value;
}

} // namespace

QString upperAscii(const QString &name)
{
    QString upper = name;
    for (QChar &c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return upper;
}

QString upperExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return upperAscii(name.mid(dot));
}

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == u".")
        return false;
    // Control characters would make a name the operator cannot see or type, and a line break in
    // it would split the lines of the transfer log.
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u"..");
}

QString receiveLabel(const QString &name, const QString &ext)
{
    if (ext == u".PD4" || ext == u".PD3" || ext == u".FN3" || ext == u".FN4")
        return name + QStringLiteral(" ﾌﾟﾛｸﾞﾗﾑ受信");
    if (ext == u".BNF")
        return QStringLiteral("業務設定受信");
    return name + QStringLiteral(" ﾃﾞｰﾀ受信");
}

RxHeaderData parseHeaderData(QByteArrayView data)
{
    RxHeaderData header;
    if (data.isEmpty())
        return header;
    if (data[0] == '\0') {
        header.kind = RxHeaderData::Kind::Null;
        return header;
    }
    const qsizetype nul = data.indexOf('\0');
    if (nul < 0 || nul > MaxNameBytes)
        return header;
    const QString name = upperAscii(platform::cp932::decode(data.first(nul)));
    if (!isPlainFileName(name))
        return header;
    header.kind = RxHeaderData::Kind::BadSize;
    header.name = name;
    header.ext = upperExtension(name);
    const qint64 size = announcedSize(data.sliced(nul + 1));
    if (size <= 0)
        return header;
    header.size = static_cast<qint32>(size);
    header.kind = RxHeaderData::Kind::File;
    return header;
}

} // namespace comm
