#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <vector>

#include "masters/tables/TableSource.h"

// What both workbook readers make of a sheet: its first non-empty row holds the column names, fully
// empty rows are skipped, the columns run from A to the rightmost used one, and a column is numeric
// when every value in it below the names is a number. A mixed column is not numeric, so each cell
// imports as its own text.
namespace masters::tables {

// "シート「…」を読み込めません。(detail)": how both workbook readers refuse a sheet.
inline QString sheetReadError(const QString &sheet, const QString &detail)
{
    return QStringLiteral("シート「%1」を読み込めません。(%2)").arg(sheet, detail);
}

// The one sheet of that name among a workbook's, or null with the error: a name that is missing,
// or one that several sheets have (which of them the operator meant cannot be told).
template <typename Sheet>
const Sheet *findSheet(const std::vector<Sheet> &sheets, const QString &name, QString &error)
{
    const Sheet *found = nullptr;
    int count = 0;
    for (const Sheet &candidate : sheets) {
        if (candidate.name == name) {
            found = &candidate;
            ++count;
        }
    }
    if (!found)
        error = QStringLiteral("シート「%1」がありません。").arg(name);
    else if (count > 1)
        error = sheetReadError(name, QStringLiteral("同じ名前のシートが%1枚あります").arg(count));
    return count == 1 ? found : nullptr;
}

// A cell as a reader first sees it: text to show, and a kind key whose meaning the reader settles
// once the whole sheet is read (a spreadsheet number may turn out to be a date by its format, and
// the formats of a workbook may come after its cells). Key -1 is text, -2 a number for certain.
struct SheetCell {
    QString text;
    int kind = -1;
};
inline constexpr int TextKind = -1;
inline constexpr int NumberKind = -2;

// The first pass over a sheet: header row, column count and the kinds seen per column. Cells may
// come in any order.
class SheetScan {
public:
    // An empty text is an empty cell and ignored.
    void addCell(qint64 row, int column, const SheetCell &cell);
    // headerText gives a header cell's final text (a number may be a date); isNumberKind tells
    // whether a kind key is a number.
    QList<TableColumn> columns(const std::function<QString(const SheetCell &)> &headerText,
                               const std::function<bool(int kind)> &isNumberKind) const;
    // -1 when the sheet has no value at all.
    qint64 headerRow() const { return m_headerRow; }
    int columnCount() const { return m_columnCount; }

private:
    void addDataCell(int column, int kind);

    qint64 m_headerRow = -1;
    QMap<int, SheetCell> m_headerCells;
    QList<QSet<int>> m_kinds; // per column, the kinds of its data cells
    int m_columnCount = 0;
};

// The second pass: cells in row order (columns in any order within a row) become the rows handed
// to the import. Extra cells (formula results, which a reader may learn only after the sheet) are
// merged into their rows.
class SheetRowEmitter {
public:
    SheetRowEmitter(qint64 headerRow, int columnCount, TableSource::RowHandler handler,
                    std::map<qint64, QMap<int, QString>> extras = {});
    // False once the handler has asked to stop; later cells are ignored.
    bool addCell(qint64 row, int column, const QString &text);
    // Hands over what is left; false when the handler stopped.
    bool finish();
    bool stopped() const { return m_stopped; }

private:
    void flushCurrent();
    void emitRow(qint64 row, const QMap<int, QString> &cells);
    void emitExtrasBefore(qint64 row);

    qint64 m_headerRow;
    int m_columnCount;
    TableSource::RowHandler m_handler;
    std::map<qint64, QMap<int, QString>> m_extras;
    qint64 m_currentRow = -1;
    QMap<int, QString> m_current;
    bool m_stopped = false;
};

} // namespace masters::tables
