#include "MasterFields.h"

#include "platform/Cp932.h"

#include <numeric>

namespace masters {

bool isLeadByte(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

QByteArray cutBytes(const QByteArray &bytes, int width)
{
    if (width <= 0)
        return {};
    if (bytes.size() <= width)
        return bytes;
    qsizetype i = 0;
    while (i < width) {
        const qsizetype step = isLeadByte(bytes.at(i)) ? 2 : 1;
        if (i + step > width)
            break;
        i += step;
    }
    return bytes.left(i);
}

QByteArray fitField(const QByteArray &bytes, int width)
{
    QByteArray field = cutBytes(bytes, width);
    if (field.size() < width)
        field.append(width - field.size(), ' ');
    return field;
}

int recordLength(const std::vector<int> &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0);
}

QByteArray encodeRecord(const QStringList &cells, const std::vector<int> &widths)
{
    QByteArray record;
    record.reserve(recordLength(widths) + 2);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const QString cell =
            static_cast<qsizetype>(i) < cells.size() ? cells.at(static_cast<qsizetype>(i)) : QString();
        record += fitField(platform::cp932::encode(cell), widths[i]);
    }
    record += "\r\n";
    return record;
}

QByteArray encodeEditedRecord(const QStringList &cells, const QStringList &shown, const QByteArray &original,
                              const std::vector<int> &widths)
{
    if (original.size() < recordLength(widths))
        return encodeRecord(cells, widths);
    QByteArray record;
    record.reserve(recordLength(widths) + 2);
    qsizetype start = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        const QString cell = at < cells.size() ? cells.at(at) : QString();
        if (at < shown.size() && cell == shown.at(at))
            record += original.mid(start, widths[i]);
        else
            record += fitField(platform::cp932::encode(cell), widths[i]);
        start += widths[i];
    }
    record += "\r\n";
    return record;
}

QStringList decodeRecord(const QByteArray &record, const std::vector<int> &widths)
{
    QStringList cells;
    qsizetype start = 0;
    for (const int width : widths) {
        QByteArrayView field = QByteArrayView(record).sliced(std::min(start, record.size()));
        field = field.first(std::min<qsizetype>(field.size(), width));
        // A trail byte is never below 0x40, so these bytes are characters of their own.
        while (!field.isEmpty() && static_cast<unsigned char>(field.back()) <= 0x20)
            field.chop(1);
        cells << platform::cp932::decode(field);
        start += width;
    }
    return cells;
}

} // namespace masters
