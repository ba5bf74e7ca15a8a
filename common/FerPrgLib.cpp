#include "FerPrgLib.h"

#include <QFile>

#include <algorithm>
#include <cstdint>

#include "platform/Cp932.h"

namespace {

// n bytes from 1-based byte position p, under the shared cut rules. Wide arithmetic, so that no
// position or count near the 32-bit limits can overflow.
QByteArray cutBytes(const QByteArray &bytes, std::int64_t p, std::int64_t n)
{
    if (n <= 0)
        return {};
    if (p < 1)
        p = 1;
    const std::int64_t size = bytes.size();
    if (p > size)
        return {};
    return bytes.mid(qsizetype(p - 1), qsizetype(std::min(n, size - (p - 1))));
}

QByteArray lastBytes(const QByteArray &bytes, int n)
{
    if (n <= 0)
        return {};
    return bytes.size() <= n ? bytes : bytes.right(n);
}

// The last n bytes of n zeros followed by the bytes, without building the n zeros first.
QByteArray zeroFilled(const QByteArray &bytes, int n)
{
    if (n <= 0)
        return {};
    if (bytes.size() >= n)
        return bytes.right(n);
    return QByteArray(n - bytes.size(), '0') + bytes;
}

QString withoutTrailingControls(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 32)
        --end;
    text.truncate(end);
    return text;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A settings program name from the list is a bare file name in the program folder.
bool staysInFolder(const QString &fileName)
{
    return !fileName.contains(u'/') && !fileName.contains(u'\\') && !fileName.contains(QLatin1String(".."));
}

QString withSystemSeparator(const QString &folder)
{
#ifdef Q_OS_WIN
    return folder;
#else
    if (folder.endsWith(u'\\'))
        return folder.left(folder.size() - 1) + u'/';
    return folder;
#endif
}

} // namespace

QString LeftBText(const QString &text, int n)
{
    return platform::cp932::decode(cutBytes(platform::cp932::encode(text), 1, n));
}

QString MidBCopy(const QString &text, int p, int n)
{
    return platform::cp932::decode(cutBytes(platform::cp932::encode(text), p, n));
}

QString RightBText(const QString &text, int n)
{
    return platform::cp932::decode(lastBytes(platform::cp932::encode(text), n));
}

QString CutToBytes(const QString &text, int maxBytes)
{
    if (platform::cp932::byteLength(text) <= maxBytes)
        return text;
    qsizetype i = 0;
    qsizetype used = 0;
    while (i < text.size()) {
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const qsizetype bytes = platform::cp932::byteLength(QStringView(text).mid(i, len));
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

QByteArray IntToZStr(int value, int n)
{
    return zeroFilled(QByteArray::number(value), n);
}

QByteArray NumToZStr(const QString &text, int n)
{
    if (text.isEmpty())
        return zeroFilled({}, n);
    const QChar first = text.at(0);
    if (first == u'+' || first == u'-') {
        const QByteArray digits = cutBytes(platform::cp932::encode(text), 2, 99);
        return QByteArray(1, char(first.unicode())) + zeroFilled(digits, n - 1);
    }
    return zeroFilled(platform::cp932::encode(text), n);
}

QByteArray PadBStr(const QString &text, int n)
{
    if (n <= 0)
        return {};
    QByteArray bytes = platform::cp932::encode(text);
    if (bytes.size() >= n) {
        bytes.truncate(n);
        return bytes;
    }
    return bytes + QByteArray(n - bytes.size(), ' ');
}

QString TrimLeadZeros(const QString &text)
{
    // "0" is never the second byte of a double-byte character, so the first byte that is not "0"
    // starts the first character that is not "0".
    const QByteArray bytes = platform::cp932::encode(text);
    const auto it = std::find_if(bytes.begin(), bytes.end(), [](char c) { return c != '0'; });
    if (it == bytes.end())
        return QStringLiteral("0");
    QString rest = platform::cp932::decode(QByteArrayView(it, bytes.end()));
    if (rest.startsWith(u'.'))
        rest.prepend(u'0');
    return rest;
}

QString MidBText(const QByteArray &bytes, int p, int n)
{
    return withoutTrailingControls(platform::cp932::decode(cutBytes(bytes, p, n)));
}

int MidBInt(const QByteArray &bytes, int p, int n, int defaultValue)
{
    const QString piece = platform::cp932::decode(cutBytes(bytes, p, n));
    qsizetype i = 0;
    while (i < piece.size() && piece.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece.at(i) == u'+' || piece.at(i) == u'-')) {
        negative = piece.at(i) == u'-';
        ++i;
    }
    if (i == piece.size())
        return defaultValue;
    // Magnitude up to 2^31 fits the negative side; anything above is out of range either way.
    constexpr std::int64_t limit = std::int64_t(1) << 31;
    std::int64_t magnitude = 0;
    for (; i < piece.size(); ++i) {
        if (!isAsciiDigit(piece.at(i)))
            return defaultValue;
        magnitude = magnitude * 10 + (piece.at(i).unicode() - u'0');
        if (magnitude > limit)
            return defaultValue;
    }
    if (!negative && magnitude == limit)
        return defaultValue;
    return int(negative ? -magnitude : magnitude);
}

QString GetAddInSetPrg(const QString &folder, const QString &name)
{
    const QString programFolder = withSystemSeparator(folder);
    QFile list(programFolder + QStringLiteral("AddIn.lst"));
    if (!list.open(QIODevice::ReadOnly))
        return {};
    while (!list.atEnd()) {
        QByteArray line = list.readLine();
        if (list.error() != QFileDevice::NoError)
            return {};
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString key = withoutTrailingControls(platform::cp932::decode(cutBytes(line, 1, 12)));
        // A blank name column is no entry: it would hand the bare folder to a caller without a name.
        if (key.isEmpty() || key != name)
            continue;
        const QString program = withoutTrailingControls(platform::cp932::decode(cutBytes(line, 13, 20)));
        if (!staysInFolder(program))
            return {};
        return programFolder + program;
    }
    return {};
}
