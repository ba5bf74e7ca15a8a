#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The values of an Access row that the reader decodes from their stored bytes itself, each as the
// text the import takes (see ValueText.h). Every function gives nothing when the bytes are not a
// value of their kind (a wrong length, a field out of range): a damaged value is never guessed.
namespace masters::tables::access {

// The column types of the file format, as a column definition or a calculated column's result
// type names them.
enum ColumnType : int {
    BooleanType = 0x01,
    ByteType = 0x02,
    IntegerType = 0x03,
    LongType = 0x04,
    CurrencyType = 0x05,
    SingleType = 0x06,
    DoubleType = 0x07,
    DateTimeType = 0x08,
    BinaryType = 0x09,
    TextType = 0x0A,
    ObjectType = 0x0B,
    MemoType = 0x0C,
    GuidType = 0x0F,
    DecimalType = 0x10,
    ComplexType = 0x12,
    LargeNumberType = 0x13,
    ExtendedDateTimeType = 0x14,
};

// A replication ID (16 bytes, the first three groups little-endian) as "{8-4-4-4-12}" in capitals.
std::optional<QString> guidText(QByteArrayView bytes);
// A Large Number: a little-endian 64-bit integer.
std::optional<QString> largeNumberText(QByteArrayView bytes);
// A currency: a little-endian 64-bit count of ten-thousandths, without trailing fraction zeros.
std::optional<QString> currencyText(QByteArrayView bytes);
// A date/time: a little-endian double of days (accessDateText).
std::optional<QString> dateText(QByteArrayView bytes);
// A Date/Time Extended: the text "DDDDDDDDDDDDDDDDDDD:TTTTTTTTTTTTTTTTTTT:V" (days since 0001/01/01,
// the time of day in 100-nanosecond ticks, a format version), NUL-padded to 42 bytes.
std::optional<QString> extendedDateText(QByteArrayView bytes);
// A calculated column's decimal result: 2 bytes of precision, the scale, the sign (0x80 below
// zero), then a 96-bit magnitude as a high 32-bit and a low 64-bit little-endian integer.
std::optional<QString> calculatedDecimalText(QByteArrayView bytes);

// A value of a fixed-size type in its stored form: the integers, currency, single, double,
// date/time, replication ID, Large Number and Date/Time Extended; a yes/no as one byte (0 is no) and
// a decimal in calculatedDecimalText's form, as a calculated column stores them. Nothing for another
// type.
std::optional<QString> fixedValueText(int type, QByteArrayView bytes);
// Whether fixedValueText decodes the type.
bool isFixedValueType(int type);
// Whether the type's values are numbers (zero-padded into a field).
bool isNumericType(int type);

// The stored result inside a calculated column's value: 16 bytes the format leaves unexplained, a
// little-endian 32-bit length, the result (in its result type's own form), then a few bytes of
// padding. Nothing when the length runs past the value.
std::optional<QByteArrayView> calculatedResult(QByteArrayView value);

} // namespace masters::tables::access
