#include "masters/tables/XlsTableSource.h"

#include "masters/tables/SheetRows.h"
#include "masters/tables/ValueText.h"
#include "masters/tables/xls/XlsNumberText.h"
#include "masters/tables/xls/XlsSheetCells.h"
#include "masters/tables/xls/XlsWorkbook.h"

namespace masters::tables {
namespace {

using xls::XlsCell;

// The first pass keeps a number's text only where it may name a column: in the first row with a
// value so far, or above it.
const QString DataCellText = QStringLiteral("0");

class XlsTableSource final : public TableSource {
public:
    explicit XlsTableSource(QString path) : m_path(std::move(path)) {}

    bool listTables(QStringList &names, QString &error) override
    {
        if (!open(error))
            return false;
        names.clear();
        for (const xls::XlsSheet &sheet : m_book.sheets())
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
        if (!xls::readSheetCells(
                m_book, table,
                [&](int row, int column, const XlsCell &cell) {
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

    QString finalText(const XlsCell &cell) const
    {
        switch (cell.type) {
        case XlsCell::Number:
            return m_book.isDateXf(cell.xf) ? serialDateText(cell.number, m_book.dates1904())
                                            : xls::sheetNumberText(cell.number);
        case XlsCell::Boolean:
            return booleanText(cell.number != 0);
        case XlsCell::Text:
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
        if (!open(error))
            return false;
        const bool ok = xls::readSheetCells(
            m_book, table,
            [&](int row, int column, const XlsCell &cell) {
                const bool mayName = m_scan.headerRow() < 0 || row <= m_scan.headerRow();
                if (cell.type == XlsCell::Number)
                    m_scan.addCell(row, column,
                                   {mayName ? xls::sheetNumberText(cell.number) : DataCellText, cell.xf});
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
    xls::XlsWorkbook m_book;
    bool m_opened = false;
    SheetScan m_scan;
    QString m_scannedTable;
    bool m_scanned = false;
};

} // namespace

std::unique_ptr<TableSource> makeXlsTableSource(const QString &path)
{
    return std::make_unique<XlsTableSource>(path);
}

} // namespace masters::tables
