#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <vector>

// The field-definition (FLD) text that goes before every record data file, and field lists.
namespace comm {

constexpr int MaxFldFields = 256; // room of the engine's record layout
constexpr int MaxFieldWidth = 8192;
constexpr int MaxRecordSize = 65535;

// A field list of widths separated by spaces, as the sender takes it: each width 1..8192, at most
// MaxFldFields widths, their sum at most 65535. Returns the record length and fills widths, or
// returns 0 (and leaves widths empty) when the list is unusable.
int parseSendFieldList(QByteArrayView list, std::vector<int> &widths);

// The five CR LF lines of an FLD text. fieldsWithSpaces goes in unchanged; "field" is the key when
// there is exactly one field.
QByteArray buildFldText(const QByteArray &fileName, qint64 size, qint64 records,
                        const QByteArray &fieldsWithSpaces, int fieldCount);

// Takes the next value of key out of text: the bytes after the key and one separator byte, up to the
// next CR LF; text then continues after that CR LF. Key absent: empty value, text unchanged. Key
// present without a CR LF after it: empty value, text continues after the byte following the key.
QByteArray takeFldItem(QByteArray &text, QByteArrayView key);

// What a received FLD text says, once checked.
struct FldLayout {
    QByteArray file; // terminal-side name of the data file
    qint64 size = 0; // data size in bytes
    qint64 records = 0;
    QByteArray fields; // the widths as received, separated by spaces
    std::vector<int> widths;
    int recordSize = 0; // sum of the widths
    int wireSize = 0;   // bytes a record takes on the wire
};

// Reads and checks a received FLD text. False when it is invalid: a key missing or empty, a size or
// record count that is not a number from 1 to 2147483647, a negative width, more than MaxFldFields
// widths or a record longer than 2147483647 bytes, or (for record data) a size that is not a whole
// number of records of the record length plus at most 2 bytes of line end.
bool checkFldText(QByteArray text, FldLayout &layout);

} // namespace comm
