#include "FixedRecord.h"

#include "ByteText.h"
#include "common/FerPrgLib.h"

namespace addins {

void FixedRecordWriter::mark()
{
    boundaries_.append(record_.size());
}

FixedRecordWriter &FixedRecordWriter::text(const QString &value, int width)
{
    record_ += FitBytes(value, width);
    mark();
    return *this;
}

FixedRecordWriter &FixedRecordWriter::number(int value, int width)
{
    record_ += IntToZStr(value, width);
    mark();
    return *this;
}

FixedRecordWriter &FixedRecordWriter::flag(bool value)
{
    record_ += value ? '1' : '0';
    mark();
    return *this;
}

FixedRecordWriter &FixedRecordWriter::bytes(QByteArrayView value)
{
    record_ += value;
    mark();
    return *this;
}

FixedRecordWriter &FixedRecordWriter::blanks(int count)
{
    if (count > 0)
        record_.append(count, ' ');
    mark();
    return *this;
}

QByteArray FixedRecordWriter::finish(int length) const
{
    if (length <= 0)
        return {};
    qsizetype keep = 0;
    for (qsizetype boundary : boundaries_)
        if (boundary <= length)
            keep = boundary;
    QByteArray out = record_.left(keep);
    out.append(length - out.size(), ' ');
    return out;
}

FixedRecordReader::FixedRecordReader(QByteArray record) : record_(std::move(record))
{
    // Trail bytes of double-byte characters start at 0x40: no character is broken.
    for (char &c : record_)
        if (uchar(c) < 0x20)
            c = ' ';
}

QString FixedRecordReader::text(int p, int n) const
{
    return MidBText(record_, p, n);
}

QString FixedRecordReader::trimmed(int p, int n) const
{
    return TrimBlanks(MidBText(record_, p, n));
}

int FixedRecordReader::integer(int p, int n, int defaultValue) const
{
    return MidBInt(record_, p, n, defaultValue);
}

bool FixedRecordReader::flag(int p, bool defaultValue) const
{
    const char c = byteAt(p);
    if (c == '1')
        return true;
    if (c == '0')
        return false;
    return defaultValue;
}

char FixedRecordReader::byteAt(int p) const
{
    if (p < 1 || p > record_.size())
        return 0;
    return record_.at(p - 1);
}

} // namespace addins
