#include "masters/tables/ReaderFrames.h"

#include <QtEndian>

#include <cstring>

namespace masters::tables::frames {

static void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void Writer::begin(Kind kind)
{
    start_ = out_.size();
    out_.append(char(kind));
    append32(out_, 0);
}

void Writer::putCount(quint32 count)
{
    append32(out_, count);
}

void Writer::putFlag(bool flag)
{
    out_.append(flag ? '\1' : '\0');
}

void Writer::putText(const QString &text)
{
    append32(out_, quint32(text.size()));
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        out_.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    } else {
        for (const QChar c : text) {
            char unit[2];
            qToLittleEndian(c.unicode(), unit);
            out_.append(unit, 2);
        }
    }
}

void Writer::end()
{
    qToLittleEndian(quint32(out_.size() - start_ - HeaderSize), out_.data() + start_ + 1);
    start_ = -1;
}

void Writer::tables(const QStringList &names)
{
    begin(Kind::Tables);
    putCount(quint32(names.size()));
    for (const QString &name : names)
        putText(name);
    end();
}

void Writer::heading(const QList<TableColumn> &columns)
{
    begin(Kind::Heading);
    putCount(quint32(columns.size()));
    for (const TableColumn &column : columns) {
        putFlag(column.numeric);
        putText(column.name);
    }
    end();
}

void Writer::row(const QStringList &values)
{
    begin(Kind::Row);
    putCount(quint32(values.size()));
    for (const QString &value : values)
        putText(value);
    end();
}

void Writer::failed(const QString &text)
{
    Writer::text(Kind::Failed, text);
}

void Writer::bare(Kind kind)
{
    begin(kind);
    end();
}

void Writer::text(Kind kind, const QString &text)
{
    begin(kind);
    putText(text);
    end();
}

bool PayloadReader::getCount(quint32 &count)
{
    if (size_ - pos_ < 4)
        return false;
    count = qFromLittleEndian<quint32>(data_ + pos_);
    pos_ += 4;
    return true;
}

bool PayloadReader::getFlag(bool &flag)
{
    if (size_ - pos_ < 1 || quint8(data_[pos_]) > 1)
        return false;
    flag = data_[pos_] == 1;
    ++pos_;
    return true;
}

bool PayloadReader::getText(QString &text)
{
    quint32 units = 0;
    if (!getCount(units) || quint64(units) * 2 > quint64(size_ - pos_))
        return false;
    text = QString(qsizetype(units), Qt::Uninitialized);
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(text.data(), data_ + pos_, size_t(units) * 2);
    } else {
        for (quint32 i = 0; i < units; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(data_ + pos_ + 2 * i));
    }
    pos_ += qsizetype(units) * 2;
    return true;
}

Take takeFrame(const char *bytes, qsizetype size, Frame &frame, qsizetype &used)
{
    if (size < HeaderSize)
        return Take::Incomplete;
    const quint32 length = qFromLittleEndian<quint32>(bytes + 1);
    if (length > MaxPayload)
        return Take::Bad;
    if (size - HeaderSize < qsizetype(length))
        return Take::Incomplete;
    frame.kind = Kind(bytes[0]);
    frame.payload = bytes + HeaderSize;
    frame.size = qsizetype(length);
    used = HeaderSize + qsizetype(length);
    return Take::Frame;
}

// A list of texts, each at least its 4-byte count: a count above what the payload could hold is
// refused before anything is reserved for it.
static bool readTexts(PayloadReader &reader, qsizetype size, QStringList &texts)
{
    quint32 count = 0;
    if (!reader.getCount(count) || quint64(count) * 4 > quint64(size))
        return false;
    texts.clear();
    texts.reserve(qsizetype(count));
    QString text;
    for (quint32 i = 0; i < count; ++i) {
        if (!reader.getText(text))
            return false;
        texts.append(text);
    }
    return reader.atEnd();
}

bool readTables(const Frame &frame, QStringList &names)
{
    PayloadReader reader = frame.reader();
    return frame.kind == Kind::Tables && readTexts(reader, frame.size, names);
}

bool readHeading(const Frame &frame, QList<TableColumn> &columns)
{
    PayloadReader reader = frame.reader();
    quint32 count = 0;
    if (frame.kind != Kind::Heading || !reader.getCount(count) || quint64(count) * 5 > quint64(frame.size))
        return false;
    columns.clear();
    columns.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        TableColumn column;
        if (!reader.getFlag(column.numeric) || !reader.getText(column.name))
            return false;
        columns.append(column);
    }
    return reader.atEnd();
}

bool readRow(const Frame &frame, QStringList &values)
{
    PayloadReader reader = frame.reader();
    return frame.kind == Kind::Row && readTexts(reader, frame.size, values);
}

bool readText(const Frame &frame, QString &text)
{
    PayloadReader reader = frame.reader();
    return reader.getText(text) && reader.atEnd();
}

} // namespace masters::tables::frames
