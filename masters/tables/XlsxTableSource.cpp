#include "masters/tables/XlsxTableSource.h"

#include "masters/tables/SheetRows.h"
#include "masters/tables/ValueText.h"
#include "masters/tables/XlsxSheetText.h"
#include "masters/tables/XlsxWorkbook.h"

namespace masters::tables {
namespace {

class XlsxTableSource final : public TableSource {
public:
    explicit XlsxTableSource(QString path) : m_path(std::move(path)) {}

    bool listTables(QStringList &names, QString &error) override
    {
        if (!open(error))
            return false;
        names.clear();
        for (const XlsxSheet &sheet : m_book.sheets())
            names.append(sheet.name);
        return true;
    }

    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        if (!scan(table, error))
            return false;
        columns = m_scan.columns(
            [&](const SheetCell &cell) {
                if (cell.kind >= 0 && m_book.isDateXf(cell.kind))
                    return serialDateText(cell.text.toDouble(), m_book.dates1904());
                return cell.text;
            },
            [&](int kind) { return kind == NumberKind || (kind >= 0 && !m_book.isDateXf(kind)); });
        return true;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        if (!scan(table, error))
            return false;
        SheetRowEmitter emitter(m_scan.headerRow(), m_scan.columnCount(), onRow);
        if (!readSheetCells(
                m_book, table,
                [&](qint64 row, int column, const XlsxCell &cell) {
                    return emitter.addCell(row, column, finalText(cell));
                },
                error))
            return false;
        emitter.finish();
        return true;
    }

private:
    bool open(QString &error)
    {
        if (!m_opened)
            m_opened = m_book.open(m_path, error);
        return m_opened;
    }

    QString finalText(const XlsxCell &cell) const
    {
        switch (cell.type) {
        case XlsxCell::Number:
            return m_book.isDateXf(cell.xf) ? serialDateText(cell.number, m_book.dates1904())
                                            : numberText(cell.number);
        case XlsxCell::Boolean:
            return booleanText(cell.number != 0);
        case XlsxCell::Text:
            break;
        }
        return cell.text;
    }

    // The first pass over a sheet, made once per sheet. A number's kind key is its cell format,
    // settled as a date or a number when the columns are asked for.
    bool scan(const QString &table, QString &error)
    {
        if (m_scanned && m_scannedTable == table)
            return true;
        m_scanned = false;
        m_scan = SheetScan();
        if (!open(error) || !m_book.loadCellData(error))
            return false;
        const bool ok = readSheetCells(
            m_book, table,
            [&](qint64 row, int column, const XlsxCell &cell) {
                // Only a row that may turn out to hold the names needs a number's text; below it
                // the kind is all that counts, and the text is the costly part of the pass.
                if (cell.type == XlsxCell::Number && m_scan.headerRow() >= 0 && row > m_scan.headerRow())
                    m_scan.addCell(row, column, {QStringLiteral("0"), std::max(cell.xf, 0)});
                else if (cell.type == XlsxCell::Number)
                    m_scan.addCell(row, column, {numberText(cell.number), std::max(cell.xf, 0)});
                else
                    m_scan.addCell(row, column, {finalText(cell), TextKind});
                return true;
            },
            error);
        if (!ok) {
            m_scan = SheetScan();
            return false;
        }
        m_scanned = true;
        m_scannedTable = table;
        return true;
    }

    QString m_path;
    XlsxWorkbook m_book;
    bool m_opened = false;
    SheetScan m_scan;
    QString m_scannedTable;
    bool m_scanned = false;
};

} // namespace

std::unique_ptr<TableSource> makeXlsxTableSource(const QString &path)
{
    return std::make_unique<XlsxTableSource>(path);
}

} // namespace masters::tables
