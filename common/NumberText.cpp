#include "NumberText.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

struct NumberParts {
    bool negative = false;
    QStringView whole;    // digits before the point
    QStringView fraction; // digits after it
};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype digitRun(QStringView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isAsciiDigit(text.at(end)))
        ++end;
    return end;
}

// The parts of a number text, or nothing when the text is not one.
std::optional<NumberParts> scan(QStringView text)
{
    text = text.trimmed();
    NumberParts parts;
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        parts.negative = text.at(i) == u'-';
        ++i;
    }
    qsizetype end = digitRun(text, i);
    parts.whole = text.sliced(i, end - i);
    i = end;
    if (i < text.size() && text.at(i) == u'.') {
        end = digitRun(text, i + 1);
        parts.fraction = text.sliced(i + 1, end - i - 1);
        i = end;
    }
    if (i != text.size() || (parts.whole.isEmpty() && parts.fraction.isEmpty()))
        return std::nullopt;
    return parts;
}

} // namespace

qint64 TextToInt64(QStringView text, qint64 notNumber)
{
    const std::optional<NumberParts> parts = scan(text);
    if (!parts)
        return notNumber;
    // The magnitude is gathered unsigned, so that the most negative value has room.
    constexpr std::uint64_t maxPositive = std::numeric_limits<qint64>::max();
    const std::uint64_t limit = parts->negative ? maxPositive + 1 : maxPositive;
    std::uint64_t magnitude = 0;
    for (QChar c : parts->whole) {
        const std::uint64_t digit = c.unicode() - u'0';
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (!parts->negative)
        return qint64(magnitude);
    return magnitude == maxPositive + 1 ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
}

double TextToReal(QStringView text, double notNumber)
{
    const std::optional<NumberParts> parts = scan(text);
    if (!parts)
        return notNumber;
    // A plain digits-point-digits form, converted without the locale (the C library's strtod
    // would follow the program's locale and could expect a comma).
    QByteArray plain = parts->negative ? "-" : "";
    plain += parts->whole.isEmpty() ? QByteArray("0") : parts->whole.toLatin1();
    plain += '.';
    plain += parts->fraction.isEmpty() ? QByteArray("0") : parts->fraction.toLatin1();
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    // Out of range: a whole part of some hundreds of digits overflows, a fraction that starts with
    // as many zeros underflows.
    const bool overflow =
        std::any_of(parts->whole.begin(), parts->whole.end(), [](QChar c) { return c != u'0'; });
    const double magnitude = overflow ? std::numeric_limits<double>::max() : 0.0;
    return parts->negative ? -magnitude : magnitude;
}

bool IsEmptyNumber(QStringView text)
{
    text = text.trimmed();
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-'))
        text = text.sliced(1);
    return text.isEmpty() || text == u".";
}
