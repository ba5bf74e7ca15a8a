#include "masters/tables/SheetRows.h"

#include <limits>

namespace masters::tables {

void SheetScan::addCell(qint64 row, int column, const SheetCell &cell)
{
    if (cell.text.isEmpty() || column < 0 || row < 0)
        return;
    m_columnCount = std::max(m_columnCount, column + 1);
    if (m_headerRow < 0 || row < m_headerRow) {
        // An earlier row turned up: the old names are data after all.
        for (auto it = m_headerCells.cbegin(); it != m_headerCells.cend(); ++it)
            addDataCell(it.key(), it.value().kind);
        m_headerCells.clear();
        m_headerRow = row;
    }
    if (row == m_headerRow)
        m_headerCells.insert(column, cell);
    else
        addDataCell(column, cell.kind);
}

void SheetScan::addDataCell(int column, int kind)
{
    while (m_kinds.size() <= column)
        m_kinds.append(QSet<int>());
    m_kinds[column].insert(kind);
}

QList<TableColumn> SheetScan::columns(const std::function<QString(const SheetCell &)> &headerText,
                                      const std::function<bool(int kind)> &isNumberKind) const
{
    QList<TableColumn> result;
    for (int column = 0; column < m_columnCount; ++column) {
        TableColumn c;
        const auto header = m_headerCells.constFind(column);
        if (header != m_headerCells.cend())
            c.name = headerText(header.value());
        // A column without a name is named by its position, as a header-less sheet's columns are.
        if (c.name.isEmpty())
            c.name = QStringLiteral("F%1").arg(column + 1);
        if (column < m_kinds.size() && !m_kinds.at(column).isEmpty()) {
            c.numeric = true;
            for (const int kind : m_kinds.at(column)) {
                if (!isNumberKind(kind))
                    c.numeric = false;
            }
        }
        result.append(c);
    }
    return result;
}

SheetRowEmitter::SheetRowEmitter(qint64 headerRow, int columnCount, TableSource::RowHandler handler,
                                 std::map<qint64, QMap<int, QString>> extras)
    : m_headerRow(headerRow), m_columnCount(columnCount), m_handler(std::move(handler)),
      m_extras(std::move(extras))
{
}

bool SheetRowEmitter::addCell(qint64 row, int column, const QString &text)
{
    if (m_stopped)
        return false;
    if (row != m_currentRow) {
        flushCurrent();
        emitExtrasBefore(row);
        m_currentRow = row;
    }
    if (!text.isEmpty() && column >= 0 && column < m_columnCount)
        m_current.insert(column, text);
    return !m_stopped;
}

bool SheetRowEmitter::finish()
{
    flushCurrent();
    emitExtrasBefore(std::numeric_limits<qint64>::max());
    return !m_stopped;
}

void SheetRowEmitter::flushCurrent()
{
    if (m_currentRow < 0)
        return;
    QMap<int, QString> cells;
    cells.swap(m_current);
    const auto extra = m_extras.find(m_currentRow);
    if (extra != m_extras.end()) {
        for (auto it = extra->second.cbegin(); it != extra->second.cend(); ++it) {
            if (!cells.contains(it.key()))
                cells.insert(it.key(), it.value());
        }
        m_extras.erase(extra);
    }
    emitRow(m_currentRow, cells);
    m_currentRow = -1;
}

void SheetRowEmitter::emitExtrasBefore(qint64 row)
{
    while (!m_extras.empty() && m_extras.begin()->first < row) {
        const auto node = m_extras.extract(m_extras.begin());
        emitRow(node.key(), node.mapped());
    }
}

void SheetRowEmitter::emitRow(qint64 row, const QMap<int, QString> &cells)
{
    if (m_stopped || row <= m_headerRow || cells.isEmpty())
        return;
    QStringList values;
    values.reserve(m_columnCount);
    for (int column = 0; column < m_columnCount; ++column)
        values.append(cells.value(column));
    if (!m_handler(values))
        m_stopped = true;
}

} // namespace masters::tables
