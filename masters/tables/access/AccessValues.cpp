#include "masters/tables/access/AccessValues.h"

#include "masters/tables/ValueText.h"

#include <QDate>

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace masters::tables::access {

namespace {

template <typename T> T littleEndian(QByteArrayView bytes, qsizetype at = 0)
{
    std::make_unsigned_t<T> value = 0;
    for (qsizetype i = qsizetype(sizeof(T)) - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return T(value);
}

// "1234567" with scale 4 is "123.4567", trailing fraction zeros removed.
QString scaledText(bool negative, const QString &digits, int scale)
{
    QString text = digits;
    if (scale > 0) {
        if (text.size() <= scale)
            text.prepend(QString(scale - text.size() + 1, u'0'));
        text.insert(text.size() - scale, u'.');
    }
    text = trimmedDecimalText(text);
    return negative && text != u"0" ? u'-' + text : text;
}

QString unsignedText(unsigned __int128 value)
{
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::optional<qint64> digitsValue(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 19)
        return std::nullopt;
    quint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + quint64(c - '0');
    }
    if (value > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return qint64(value);
}

std::optional<QString> doubleText(double value, int digits, bool single)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return roundTripNumberText(QString::number(value, 'g', digits), single);
}

} // namespace

std::optional<QString> guidText(QByteArrayView bytes)
{
    if (bytes.size() != 16)
        return std::nullopt;
    QString text = QStringLiteral("{%1-%2-%3-")
                       .arg(littleEndian<quint32>(bytes), 8, 16, QChar(u'0'))
                       .arg(littleEndian<quint16>(bytes, 4), 4, 16, QChar(u'0'))
                       .arg(littleEndian<quint16>(bytes, 6), 4, 16, QChar(u'0'));
    for (qsizetype i = 8; i < 16; ++i) {
        if (i == 10)
            text += u'-';
        text += QStringLiteral("%1").arg(quint8(bytes.at(i)), 2, 16, QChar(u'0'));
    }
    return text.toUpper() + u'}';
}

std::optional<QString> largeNumberText(QByteArrayView bytes)
{
    if (bytes.size() != 8)
        return std::nullopt;
    return QString::number(littleEndian<qint64>(bytes));
}

std::optional<QString> currencyText(QByteArrayView bytes)
{
    if (bytes.size() != 8)
        return std::nullopt;
    const qint64 value = littleEndian<qint64>(bytes);
    // The magnitude through unsigned arithmetic: the lowest value has no positive counterpart.
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    return scaledText(value < 0, unsignedText(magnitude), 4);
}

std::optional<QString> dateText(QByteArrayView bytes)
{
    if (bytes.size() != 8)
        return std::nullopt;
    double value = 0;
    const quint64 bits = littleEndian<quint64>(bytes);
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value))
        return std::nullopt;
    return accessDateText(value);
}

std::optional<QString> extendedDateText(QByteArrayView bytes)
{
    if (bytes.size() != 42)
        return std::nullopt;
    QByteArrayView text = bytes;
    const qsizetype end = text.indexOf('\0');
    if (end >= 0) {
        for (const char c : text.sliced(end)) {
            if (c != '\0')
                return std::nullopt;
        }
        text = text.first(end);
    }
    const qsizetype first = text.indexOf(':');
    const qsizetype second = first < 0 ? -1 : text.sliced(first + 1).indexOf(':');
    if (second < 0)
        return std::nullopt;
    const std::optional<qint64> days = digitsValue(text.first(first));
    const std::optional<qint64> ticks = digitsValue(text.sliced(first + 1, second));
    const std::optional<qint64> version = digitsValue(text.sliced(first + 1 + second + 1));
    constexpr qint64 TicksPerDay = 864000000000;
    // 0001/01/01 to 9999/12/31: the years the type holds.
    if (!days || !ticks || !version || *days > 3652058 || *ticks >= TicksPerDay)
        return std::nullopt;
    return dateTimeTicksText(QDate(1, 1, 1).addDays(*days), *ticks);
}

std::optional<QString> calculatedDecimalText(QByteArrayView bytes)
{
    if (bytes.size() != 16)
        return std::nullopt;
    const int scale = quint8(bytes.at(2));
    const quint8 sign = quint8(bytes.at(3));
    if (scale > 28 || (sign != 0 && sign != 0x80))
        return std::nullopt;
    const unsigned __int128 magnitude =
        (static_cast<unsigned __int128>(littleEndian<quint32>(bytes, 4)) << 64) |
        littleEndian<quint64>(bytes, 8);
    return scaledText(sign == 0x80, unsignedText(magnitude), scale);
}

std::optional<QString> fixedValueText(int type, QByteArrayView bytes)
{
    const auto sized = [&](qsizetype size) { return bytes.size() == size; };
    switch (type) {
    case BooleanType:
        if (!sized(1))
            return std::nullopt;
        return booleanText(bytes.at(0) != 0);
    case ByteType:
        if (!sized(1))
            return std::nullopt;
        return QString::number(quint8(bytes.at(0)));
    case IntegerType:
        if (!sized(2))
            return std::nullopt;
        return QString::number(littleEndian<qint16>(bytes));
    case LongType:
        if (!sized(4))
            return std::nullopt;
        return QString::number(littleEndian<qint32>(bytes));
    case CurrencyType:
        return currencyText(bytes);
    case SingleType: {
        if (!sized(4))
            return std::nullopt;
        float value = 0;
        const quint32 bits = littleEndian<quint32>(bytes);
        std::memcpy(&value, &bits, sizeof value);
        return doubleText(double(value), 9, true);
    }
    case DoubleType: {
        if (!sized(8))
            return std::nullopt;
        double value = 0;
        const quint64 bits = littleEndian<quint64>(bytes);
        std::memcpy(&value, &bits, sizeof value);
        return doubleText(value, 17, false);
    }
    case DateTimeType:
        return dateText(bytes);
    case GuidType:
        return guidText(bytes);
    case DecimalType:
        return calculatedDecimalText(bytes);
    case LargeNumberType:
        return largeNumberText(bytes);
    case ExtendedDateTimeType:
        return extendedDateText(bytes);
    default:
        return std::nullopt;
    }
}

bool isFixedValueType(int type)
{
    switch (type) {
    case BooleanType:
    case ByteType:
    case IntegerType:
    case LongType:
    case CurrencyType:
    case SingleType:
    case DoubleType:
    case DateTimeType:
    case GuidType:
    case DecimalType:
    case LargeNumberType:
    case ExtendedDateTimeType:
        return true;
    default:
        return false;
    }
}

bool isNumericType(int type)
{
    switch (type) {
    case ByteType:
    case IntegerType:
    case LongType: // AutoNumber too
    case CurrencyType:
    case SingleType:
    case DoubleType:
    case DecimalType:
    case LargeNumberType:
        return true;
    default:
        return false;
    }
}

std::optional<QByteArrayView> calculatedResult(QByteArrayView value)
{
    constexpr qsizetype LengthAt = 16;
    constexpr qsizetype ResultAt = LengthAt + 4;
    if (value.size() < ResultAt)
        return std::nullopt;
    const quint32 length = littleEndian<quint32>(value, LengthAt);
    if (length > quint64(value.size() - ResultAt))
        return std::nullopt;
    return value.sliced(ResultAt, qsizetype(length));
}

} // namespace masters::tables::access
