#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The text a table value imports as, the same for every reader: what an operator saw in the
// original tool's field texts under a Japanese locale.
namespace masters::tables {

// Up to 15 significant digits, no trailing zeros, "." as decimal point, an exponent only for very
// large or small values ("1E20", "1.5E-7").
QString numberText(double value);
// A number the database library printed with every digit of its type ("1.50000006e-01" for the
// single 0.15) as the shortest text that reads back as the same single or double ("0.15"), laid
// out as numberText lays out its digits. A text that is no number comes back as it is.
QString roundTripNumberText(const QString &printed, bool singlePrecision);
// A decimal text with its trailing fraction zeros removed ("12.5000" is "12.5", "3.000" is "3"),
// without passing through a double, so currency and decimal values keep every digit.
QString trimmedDecimalText(const QString &text);
// "yyyy/MM/dd" for a date at midnight, "H:mm:ss" for a time of day alone (the date part is the day
// count origin), "yyyy/MM/dd H:mm:ss" otherwise.
QString dateTimeText(const QDate &date, const QTime &time);
// A spreadsheet day count (days since 1899-12-30, or since 1904-01-01 in workbooks of that date
// system; fractions are the time of day) as dateTimeText; an out-of-range count as a number.
QString serialDateText(double serial, bool dates1904);
// An Access date as dateTimeText: days since 1899-12-30 with the time of day as the fraction, the
// fraction's magnitude below zero (-1.25 is 1899/12/29 6:00:00); a value outside the years 100 to
// 9999 that Access allows as a number.
QString accessDateText(double stored);
// A date and a time of day in 100-nanosecond ticks (an Access extended date) as dateTimeText, the
// seconds followed by all seven fraction digits when the time has a fraction.
QString dateTimeTicksText(const QDate &date, qint64 ticksOfDay);
QString booleanText(bool value);

// Whether a spreadsheet number format shows a date or time: the built-in formats by number (the
// Japanese era and calendar formats included), a custom format by its code.
bool isDateFormat(int formatId, const QString &code);

} // namespace masters::tables
