#include "masters/tables/ValueText.h"

#include <QDateTime>

#include <cmath>

namespace masters::tables {

QString numberText(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return QStringLiteral("0");
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

QString trimmedDecimalText(const QString &text)
{
    QString result = text.trimmed();
    if (!result.contains(u'.'))
        return result;
    while (result.endsWith(u'0'))
        result.chop(1);
    if (result.endsWith(u'.'))
        result.chop(1);
    if (result.isEmpty() || result == u"-")
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
