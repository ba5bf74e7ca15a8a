#include "comm/YmRxRecords.h"

namespace comm {

namespace {

QByteArrayView fieldBytes(QByteArrayView record, const RxField &field)
{
    if (field.start < 0 || field.width <= 0 || field.start >= record.size())
        return {};
    const qsizetype width = qMin<qsizetype>(field.width, record.size() - field.start);
    return record.sliced(field.start, width);
}

QByteArrayView trimTrailing(QByteArrayView value)
{
    qsizetype end = value.size();
    while (end > 0 && static_cast<quint8>(value[end - 1]) <= 32)
        --end;
    return value.first(end);
}

QByteArray csvLine(QByteArrayView record, const RxRecordLayout &layout, const RxRecordFormat &format)
{
    QByteArray line;
    bool first = true;
    const auto addValue = [&](QByteArrayView value) {
        if (!first)
            line += ',';
        first = false;
        if (format.quoted)
            line += '"';
        line += value;
        if (format.quoted)
            line += '"';
    };
    for (const RxField &field : layout.fields) {
        QByteArrayView value = fieldBytes(record, field);
        addValue(format.keepTrailingSpaces ? value : trimTrailing(value));
    }
    if (format.addZero) {
        first = false;
        addValue("0");
    }
    return line;
}

} // namespace

QByteArray recordLine(QByteArrayView record, const RxRecordLayout &layout, const RxRecordFormat &format)
{
    if (format.csv)
        return csvLine(record, layout, format);
    QByteArray line = record.first(qMin<qsizetype>(record.size(), layout.recordSize)).toByteArray();
    if (format.addZero)
        line += '0';
    return line;
}

QByteArray takeRecords(QByteArray &pending, qint64 &written, const RxRecordLayout &layout,
                       const RxRecordFormat &format)
{
    QByteArray lines;
    if (layout.wireSize <= 0)
        return lines;
    qsizetype offset = 0;
    while (pending.size() - offset >= layout.wireSize && written < layout.records) {
        const QByteArrayView record = QByteArrayView(pending).sliced(offset, layout.wireSize);
        lines += recordLine(record.first(qMin<qsizetype>(layout.recordSize, record.size())), layout, format);
        lines += "\r\n";
        offset += layout.wireSize;
        ++written;
    }
    pending.remove(0, offset);
    return lines;
}

} // namespace comm
