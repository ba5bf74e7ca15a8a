#include "masters/tables/ValueText.h"

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

namespace masters::tables {

QString numberText(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return QStringLiteral("0");
    // A whole number of up to 15 digits reads the same in 'g' at 15 digits; printed as an integer,
    // a sheet of codes is not formatted through the slow general path.
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0)
        return text;
    // "1.5e-07" becomes "1.5E-7", "1e+20" becomes "1E20".
    QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    QString sign;
    if (exponent.startsWith(u'-'))
        sign = QStringLiteral("-");
    if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
        exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    return mantissa + u'E' + sign + exponent;
}

namespace {

// Significant digits "15" with the decimal exponent of the first (-7) as numberText writes them:
// an exponent only below 1E-4 or from 1E15 up.
QString laidOutDigits(bool negative, std::string_view digits, int exponent)
{
    QString text = negative ? QStringLiteral("-") : QString();
    const QString all = QString::fromLatin1(digits.data(), qsizetype(digits.size()));
    if (exponent < -4 || exponent >= 15) {
        text += all.left(1);
        if (all.size() > 1)
            text += u'.' + all.mid(1);
        return text + u'E' + QString::number(exponent);
    }
    if (exponent < 0)
        return text + QStringLiteral("0.") + QString(-exponent - 1, u'0') + all;
    if (all.size() <= exponent + 1)
        return text + all + QString(exponent + 1 - all.size(), u'0');
    return text + all.left(exponent + 1) + u'.' + all.mid(exponent + 1);
}

template <typename T> QString shortestText(T value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    std::string_view text(buffer, size_t(end - buffer)); // "-1.5e-07"
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const size_t e = text.find('e');
    int exponent = 0;
    const std::string_view exponentText = text.substr(e + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    std::string digits;
    for (const char c : text.substr(0, e)) {
        if (c != '.')
            digits += c;
    }
    return laidOutDigits(negative, digits, exponent);
}

} // namespace

template <typename T> QString roundTripText(const QByteArray &bytes, const QString &printed)
{
    T value = 0;
    const char *end = bytes.constData() + bytes.size();
    const auto [at, failure] = std::from_chars(bytes.constData(), end, value);
    return failure == std::errc() && at == end ? shortestText(value) : printed;
}

QString roundTripNumberText(const QString &printed, bool singlePrecision)
{
    // The library prints in the program's locale, which may write a decimal comma.
    QByteArray bytes = printed.trimmed().toLatin1();
    bytes.replace(',', '.');
    if (bytes.startsWith('+'))
        bytes.remove(0, 1);
    return singlePrecision ? roundTripText<float>(bytes, printed) : roundTripText<double>(bytes, printed);
}

QString trimmedDecimalText(const QString &text)
{
    QString result = text.trimmed();
    if (!result.contains(u'.'))
        return result;
    while (result.endsWith(u'0'))
        result.chop(1);
    if (result.endsWith(u'.'))
        result.chop(1);
    if (result.isEmpty() || result == u"-" || result == u"-0")
        return QStringLiteral("0");
    return result;
}

static const QDate dayCountOrigin(1899, 12, 30);

QString dateTimeText(const QDate &date, const QTime &time)
{
    const QString timeText = time.toString(QStringLiteral("H:mm:ss"));
    if (date == dayCountOrigin)
        return timeText;
    const QString dateText = date.toString(QStringLiteral("yyyy/MM/dd"));
    if (time == QTime(0, 0))
        return dateText;
    return dateText + u' ' + timeText;
}

QString serialDateText(double serial, bool dates1904)
{
    // Beyond the year 9999 or before the origin, a spreadsheet shows no date either.
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.99999)
        return numberText(serial);
    const qint64 seconds = qint64(std::llround(serial * 86400.0));
    const qint64 days = seconds / 86400;
    const int secondOfDay = int(seconds % 86400);
    const QDate origin = dates1904 ? QDate(1904, 1, 1) : dayCountOrigin;
    const QDate date = origin.addDays(days);
    const QTime time = QTime(0, 0).addSecs(secondOfDay);
    // A time of day alone in a 1904 workbook is still a time alone.
    if (dates1904 && days == 0)
        return dateTimeText(dayCountOrigin, time);
    return dateTimeText(date, time);
}

QString accessDateText(double stored)
{
    // Outside these bounds the day alone is before 0100/01/01 or after 9999/12/31.
    if (!std::isfinite(stored) || stored <= -657435.0 || stored >= 2958466.0)
        return numberText(stored);
    const double whole = std::trunc(stored);
    qint64 days = qint64(whole);
    qint64 seconds = std::llround(std::fabs(stored - whole) * 86400.0);
    if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    const QDate date = dayCountOrigin.addDays(days);
    if (date.year() < 100 || date.year() > 9999)
        return numberText(stored);
    return dateTimeText(date, QTime(0, 0).addSecs(int(seconds)));
}

QString dateTimeTicksText(const QDate &date, qint64 ticksOfDay)
{
    constexpr qint64 TicksPerSecond = 10000000;
    const QTime time = QTime(0, 0).addSecs(int(ticksOfDay / TicksPerSecond));
    const qint64 fraction = ticksOfDay % TicksPerSecond;
    QString text = dateTimeText(date, time);
    if (fraction == 0)
        return text;
    if (time == QTime(0, 0) && date != dayCountOrigin)
        text += QStringLiteral(" 0:00:00");
    return text + u'.' + QStringLiteral("%1").arg(fraction, 7, 10, QChar(u'0'));
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool isDateFormat(int formatId, const QString &code)
{
    // Built-in date and time formats, with the ones a Japanese spreadsheet adds (27-36, 50-58).
    if ((formatId >= 14 && formatId <= 22) || (formatId >= 27 && formatId <= 36) ||
        (formatId >= 45 && formatId <= 47) || (formatId >= 50 && formatId <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // A custom code is a date when a date or time letter stands outside quotes, escapes and
    // brackets ("[Red]", "[$-411]" hold letters too); "General" is not.
    bool inQuotes = false;
    bool inBrackets = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (inQuotes) {
            inQuotes = c != u'"';
            continue;
        }
        if (inBrackets) {
            if (c == u']')
                inBrackets = false;
            else if (i > 0 && code.at(i - 1) == u'[' &&
                     (c == u'h' || c == u'H' || c == u'm' || c == u'M' || c == u's' || c == u'S'))
                return true; // elapsed time, "[h]:mm"
            continue;
        }
        if (c == u'"') {
            inQuotes = true;
        } else if (c == u'[') {
            inBrackets = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'G' || c == u'g') {
            if (code.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0)
                i += 6;
            else
                return true; // era "ggg"
        } else {
            switch (c.toLower().unicode()) {
            case u'y':
            case u'd':
            case u'm':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

} // namespace masters::tables
