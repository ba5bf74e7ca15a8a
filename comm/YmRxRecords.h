#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <span>

// Turning the bytes of a received record data file into the lines stored for the operator.
namespace comm {

struct RxField {
    qint32 start = 0; // 0-based byte offset in the record
    qint32 width = 0;
};

struct RxRecordFormat {
    bool csv = false;                // one CSV line per record instead of the fixed record
    bool keepTrailingSpaces = false; // CSV: keep what ends a field at codes up to 32
    bool quoted = false;             // CSV: every value between double quotes
    bool addZero = false;            // a delete flag "0" after each record
};

struct RxRecordLayout {
    std::span<const RxField> fields;
    qint32 recordSize = 0; // bytes of a record without its line end
    qint32 wireSize = 0;   // bytes a record takes on the wire
    qint64 records = 0;    // records the file holds; the frame filling after them is not data
};

// The stored line of one record (without CR LF). The record holds the record's bytes; fields that
// reach past its end are cut at it.
QByteArray recordLine(QByteArrayView record, const RxRecordLayout &layout, const RxRecordFormat &format);

// Takes the whole records off the front of pending, up to the layout's record count, and returns
// their lines, each ended by CR LF. written counts the records taken so far in the file.
QByteArray takeRecords(QByteArray &pending, qint64 &written, const RxRecordLayout &layout,
                       const RxRecordFormat &format);

} // namespace comm
