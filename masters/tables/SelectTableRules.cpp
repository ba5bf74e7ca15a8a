#include "masters/tables/SelectTableRules.h"

#include "platform/Cp932.h"

namespace masters::tables {

static bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether the byte at index is the first byte of a double-byte character, walking from the start so
// that a trail byte in the lead range is not taken for a lead byte.
static bool isLeadAt(const QByteArray &bytes, qsizetype index)
{
    qsizetype i = 0;
    while (i < index) {
        i += isLeadByte(static_cast<unsigned char>(bytes.at(i))) ? 2 : 1;
    }
    return i == index && isLeadByte(static_cast<unsigned char>(bytes.at(index)));
}

QByteArray GetFldData(const QString &value, int width, bool numeric)
{
    if (width <= 0)
        return {};
    QByteArray bytes = platform::cp932::encode(value);
    if (bytes.size() > width) {
        if (isLeadAt(bytes, width - 1)) {
            bytes.truncate(width - 1);
            bytes.append(' ');
        } else {
            bytes.truncate(width);
        }
        return bytes;
    }
    if (!numeric)
        return bytes + QByteArray(width - bytes.size(), ' ');
    if (bytes.isEmpty())
        return QByteArray(width, '0');
    if (bytes.at(0) == '+' || bytes.at(0) == '-')
        return bytes.left(1) + QByteArray(width - bytes.size(), '0') + bytes.mid(1);
    return QByteArray(width - bytes.size(), '0') + bytes;
}

bool assignmentComplete(const QString &table, const FieldAssignment &assignment, int fieldCount)
{
    if (table.isEmpty() || fieldCount <= 0 || assignment.columns.size() < fieldCount)
        return false;
    for (int i = 0; i < fieldCount; ++i) {
        if (assignment.columns.at(i) < 0)
            return false;
    }
    return true;
}

QByteArray buildRecord(const QStringList &row, const QList<TableColumn> &columns,
                       const FieldAssignment &assignment, const QList<int> &widths)
{
    QByteArray record;
    for (qsizetype field = 0; field < widths.size(); ++field) {
        const int column = field < assignment.columns.size() ? assignment.columns.at(field) : -1;
        const bool known = column >= 0 && column < columns.size();
        const QString value = known && column < row.size() ? row.at(column) : QString();
        record += GetFldData(value, widths.at(field), known && columns.at(column).numeric);
    }
    record += "\r\n";
    return record;
}

ImportOutcome importTable(TableSource &source, const QString &table, const FieldAssignment &assignment,
                          const QList<int> &widths, RecordSink &sink)
{
    ImportOutcome outcome;
    QList<TableColumn> columns;
    if (!source.readColumns(table, columns, outcome.error))
        return outcome;
    for (qsizetype field = 0; field < widths.size(); ++field) {
        const int column = field < assignment.columns.size() ? assignment.columns.at(field) : -1;
        if (column < 0 || column >= columns.size()) {
            outcome.error = QStringLiteral("テーブル「%1」に指定の項目がありません。").arg(table);
            return outcome;
        }
    }
    QString appendError;
    bool appendFailed = false;
    const bool read = source.readRows(
        table,
        [&](const QStringList &row) {
            for (qsizetype field = 0; field < widths.size(); ++field) {
                const int column = assignment.columns.at(field);
                if (column < row.size() && platform::cp932::firstUnheld(row.at(column)) >= 0)
                    ++outcome.unheldCells;
            }
            if (!sink.appendRecord(buildRecord(row, columns, assignment, widths), appendError)) {
                appendFailed = true;
                return false;
            }
            ++outcome.count;
            return true;
        },
        outcome.error);
    if (appendFailed) {
        outcome.error = appendError;
        return outcome;
    }
    outcome.ok = read;
    return outcome;
}

} // namespace masters::tables
