#include "YmCsvRecord.h"

namespace comm {

QByteArray csvLineToRecord(QByteArrayView line, std::span<const int> widths, bool dblQuot)
{
    QByteArray record;
    QByteArrayView rest = line;
    bool valuesLeft = true;
    for (const int width : widths) {
        QByteArray value;
        if (valuesLeft) {
            const qsizetype comma = rest.indexOf(',');
            if (comma >= 0) {
                value = rest.first(comma).toByteArray();
                rest = rest.sliced(comma + 1);
            } else {
                value = rest.toByteArray();
                valuesLeft = false;
            }
        }
        if (dblQuot && value.startsWith('"')) {
            if (value.size() >= 2 && value.endsWith('"'))
                value.chop(1);
            value.remove(0, 1);
        }
        value = value.left(width);
        value.append(QByteArray(width - value.size(), ' '));
        record += value;
    }
    return record;
}

bool TextLineReader::fill()
{
    if (Eof || Failed)
        return false;
    if (Pos > 0) {
        Buffer.remove(0, Pos);
        Pos = 0;
    }
    char chunk[4096];
    const qint64 n = Device.read(chunk, sizeof chunk);
    if (n < 0) {
        Failed = true;
        return false;
    }
    if (n == 0) {
        Eof = true;
        return false;
    }
    Buffer.append(chunk, n);
    return true;
}

bool TextLineReader::atEnd()
{
    while (Pos >= Buffer.size()) {
        if (!fill())
            return true;
    }
    return false;
}

bool TextLineReader::readLine(QByteArray &line)
{
    line.clear();
    if (atEnd())
        return false;
    qsizetype scanFrom = Pos;
    while (true) {
        qsizetype end = -1;
        for (qsizetype i = scanFrom; i < Buffer.size(); ++i) {
            if (Buffer[i] == '\n' || Buffer[i] == '\r') {
                end = i;
                break;
            }
        }
        if (end >= 0) {
            line = Buffer.mid(Pos, end - Pos);
            const bool cr = Buffer[end] == '\r';
            Pos = end + 1;
            if (cr) {
                // A CR LF split across two reads is still one line end.
                if (Pos >= Buffer.size())
                    fill();
                if (Pos < Buffer.size() && Buffer[Pos] == '\n')
                    ++Pos;
            }
            return !Failed;
        }
        const qsizetype scanned = Buffer.size() - Pos;
        if (!fill()) {
            if (Failed)
                return false;
            line = Buffer.mid(Pos);
            Pos = Buffer.size();
            return true;
        }
        scanFrom = Pos + scanned; // fill() moved the unread bytes to the front
    }
}

} // namespace comm
