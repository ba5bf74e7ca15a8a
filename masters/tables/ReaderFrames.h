#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "masters/tables/TableSource.h"

// The frames the table reader program and the import exchange over its standard input and output.
// A frame is one kind byte, the payload's length (4 bytes, little-endian) and the payload. Texts are
// their UTF-16 code units (a 4-byte count, then 2 bytes each, little-endian), counts 4 bytes, flags
// one byte. Both ends are built from the same tree, so there is no version to agree on; every frame
// is still checked in full, as the reader runs libraries over untrusted files.
namespace masters::tables::frames {

enum class Kind : char {
    // Requests.
    List = 'L',    // no payload
    Columns = 'C', // the table's name
    Rows = 'R',    // the table's name
    // Replies.
    Tables = 'T',  // count, names
    Heading = 'H', // count, then per column its numeric flag and name
    Row = 'W',     // count, values
    End = 'D',     // no payload: the last row was sent
    Failed = 'E',  // the reader's text for the operator
};

// A payload longer than this is refused: no table has a name, heading or row near it.
constexpr quint32 MaxPayload = 64u * 1024 * 1024;
constexpr int HeaderSize = 5;

// Appends frames to a buffer.
class Writer {
public:
    explicit Writer(QByteArray &out) : out_(out) {}
    void begin(Kind kind);
    void putCount(quint32 count);
    void putFlag(bool flag);
    void putText(const QString &text);
    void end();

    void tables(const QStringList &names);
    void heading(const QList<TableColumn> &columns);
    void row(const QStringList &values);
    void failed(const QString &text);
    void bare(Kind kind);
    void text(Kind kind, const QString &text);

private:
    QByteArray &out_;
    qsizetype start_ = -1;
};

// Takes the payload of one frame apart; every get fails once the payload runs short.
class PayloadReader {
public:
    PayloadReader(const char *data, qsizetype size) : data_(data), size_(size) {}
    bool getCount(quint32 &count);
    bool getFlag(bool &flag);
    bool getText(QString &text);
    bool atEnd() const { return pos_ == size_; }

private:
    const char *data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

struct Frame {
    Kind kind = Kind::End;
    const char *payload = nullptr;
    qsizetype size = 0;
    PayloadReader reader() const { return {payload, size}; }
};

enum class Take { Frame, Incomplete, Bad };

// The frame at the start of bytes[from, end): on Frame, frame points into bytes and used holds its
// whole length. A payload above MaxPayload is Bad at once, before it arrives.
Take takeFrame(const char *bytes, qsizetype size, Frame &frame, qsizetype &used);

// The payloads of the replies; false for a payload that does not hold exactly that.
bool readTables(const Frame &frame, QStringList &names);
bool readHeading(const Frame &frame, QList<TableColumn> &columns);
bool readRow(const Frame &frame, QStringList &values);
bool readText(const Frame &frame, QString &text);

} // namespace masters::tables::frames
