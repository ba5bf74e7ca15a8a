#include "YmFld.h"

#include <limits>
#include <optional>

namespace comm {
namespace {

constexpr qint64 Int32Max = std::numeric_limits<qint32>::max();

// Decimal digits only, at most 2147483647; anything else is empty.
std::optional<qint64> digitsValue(QByteArrayView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > Int32Max)
            return std::nullopt;
    }
    return value;
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// A positive count of the FLD text: 1 to 2147483647.
std::optional<qint64> positiveCount(QByteArrayView text)
{
    const auto value = digitsValue(text);
    if (!value || *value == 0)
        return std::nullopt;
    return value;
}

bool allDigits(QByteArrayView text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.isEmpty();
}

// A width of a received FLD text: a piece that is not a number counts as 0, but a number that would
// misplace the fields (negative, or beyond 32 bits) makes the text invalid (empty result).
std::optional<qint64> receivedWidth(QByteArrayView piece)
{
    const bool negative = piece.startsWith('-');
    const QByteArrayView digits = negative ? piece.sliced(1) : piece;
    if (!allDigits(digits))
        return 0;
    if (negative)
        return std::nullopt;
    return digitsValue(digits);
}

} // namespace

int parseSendFieldList(QByteArrayView list, std::vector<int> &widths)
{
    widths.clear();
    QByteArrayView rest = trimmed(list);
    if (rest.isEmpty())
        return 0;
    qint64 sum = 0;
    std::vector<int> parsed;
    while (true) {
        const qsizetype space = rest.indexOf(' ');
        const QByteArrayView piece = space < 0 ? rest : rest.first(space);
        const qint64 width = digitsValue(piece).value_or(0);
        if (width < 1 || width > MaxFieldWidth || parsed.size() >= static_cast<size_t>(MaxFldFields))
            return 0;
        parsed.push_back(static_cast<int>(width));
        sum += width;
        if (sum > MaxRecordSize)
            return 0;
        if (space < 0)
            break;
        rest = rest.sliced(space + 1);
    }
    widths = std::move(parsed);
    return static_cast<int>(sum);
}

QByteArray buildFldText(const QByteArray &fileName, qint64 size, qint64 records,
                        const QByteArray &fieldsWithSpaces, int fieldCount)
{
    QByteArray text = "* created by BHT\r\n";
    text += "file\t" + fileName + "\r\n";
    text += "size\t" + QByteArray::number(size) + "\r\n";
    text += "records\t" + QByteArray::number(records) + "\r\n";
    text += (fieldCount == 1 ? "field\t" : "fields\t") + fieldsWithSpaces + "\r\n";
    return text;
}

QByteArray takeFldItem(QByteArray &text, QByteArrayView key)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0 || key.isEmpty())
        return {};
    const qsizetype valueStart = at + key.size() + 1;
    const qsizetype lineEnd = valueStart <= text.size() ? text.indexOf("\r\n", valueStart) : -1;
    if (lineEnd < 0) {
        text.remove(0, std::min(valueStart, text.size()));
        return {};
    }
    QByteArray value = text.mid(valueStart, lineEnd - valueStart);
    text.remove(0, lineEnd + 2);
    return value;
}

bool checkFldText(QByteArray text, FldLayout &layout)
{
    layout = FldLayout{};
    layout.file = takeFldItem(text, "file");
    if (layout.file.isEmpty())
        return false;
    const auto size = positiveCount(takeFldItem(text, "size"));
    if (!size)
        return false;
    layout.size = *size;
    QByteArray records =
        text.contains("records") ? takeFldItem(text, "records") : takeFldItem(text, "record");
    const auto count = positiveCount(records);
    if (!count)
        return false;
    layout.records = *count;
    layout.fields = text.contains("fields") ? takeFldItem(text, "fields") : takeFldItem(text, "field");
    if (layout.fields.isEmpty())
        return false;

    // Single spaces separate the widths; a piece that is not a number is a field of width 0.
    QByteArrayView rest = layout.fields;
    qint64 sum = 0;
    while (!rest.isEmpty()) {
        if (rest.front() == ' ')
            rest = rest.sliced(1);
        if (rest.isEmpty())
            break;
        const qsizetype space = rest.indexOf(' ');
        const QByteArrayView piece = space < 0 ? rest : rest.first(space);
        rest = space < 0 ? QByteArrayView() : rest.sliced(space + 1);
        const auto width = receivedWidth(piece);
        if (!width)
            return false;
        if (layout.widths.size() >= static_cast<size_t>(MaxFldFields))
            return false;
        sum += *width;
        if (sum > Int32Max)
            return false;
        layout.widths.push_back(static_cast<int>(*width));
    }
    layout.recordSize = static_cast<int>(sum);

    for (const char *binary : {".LCS", ".BMP", ".JPG", ".WAV", ".ZIP"}) {
        if (layout.file.contains(binary)) {
            layout.wireSize = layout.recordSize;
            return true;
        }
    }
    if (layout.size % layout.records != 0)
        return false;
    const qint64 wire = layout.size / layout.records;
    layout.wireSize = static_cast<int>(wire);
    return layout.recordSize <= wire && wire <= static_cast<qint64>(layout.recordSize) + 2;
}

} // namespace comm
