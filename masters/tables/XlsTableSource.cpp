#include "masters/tables/XlsTableSource.h"

#include "masters/tables/SheetRows.h"
#include "masters/tables/ValueText.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <freexl.h>

namespace masters::tables {
namespace {

class XlsTableSource final : public TableSource {
public:
    explicit XlsTableSource(QString path) : m_path(std::move(path)) {}
    ~XlsTableSource() override
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    XlsTableSource(const XlsTableSource &) = delete;
    XlsTableSource &operator=(const XlsTableSource &) = delete;

    bool listTables(QStringList &names, QString &error) override
    {
        if (!open(error))
            return false;
        names = m_sheets;
        return true;
    }

    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        const SheetScan *scan = scanSheet(table, error);
        if (!scan)
            return false;
        columns = scan->columns([](const SheetCell &cell) { return cell.text; },
                                [](int kind) { return kind == NumberKind; });
        return true;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        const SheetScan *scan = scanSheet(table, error);
        if (!scan)
            return false;
        SheetRowEmitter emitter(scan->headerRow(), scan->columnCount(), onRow);
        if (!visitCells(table, error, [&](unsigned row, unsigned short column, const SheetCell &cell) {
                return emitter.addCell(row, column, cell.text);
            }))
            return false;
        emitter.finish();
        return true;
    }

private:
    bool open(QString &error)
    {
        if (m_handle)
            return true;
        if (!QFileInfo(m_path).isFile()) {
            error = QStringLiteral("ファイル「%1」がありません。").arg(m_path);
            return false;
        }
        const void *handle = nullptr;
        const int rc = freexl_open(QFile::encodeName(m_path).constData(), &handle);
        if (rc != FREEXL_OK) {
            if (handle)
                freexl_close(handle);
            error = failure(rc);
            return false;
        }
        m_handle = handle;
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            count = 0;
        for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
            const char *name = nullptr;
            if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) != FREEXL_OK ||
                !name)
                name = "";
            m_sheets.append(QString::fromUtf8(name));
        }
        return true;
    }

    QString failure(int rc) const
    {
        return QStringLiteral("Excelファイル「%1」を読み込めません。(エラー %2)")
            .arg(QFileInfo(m_path).fileName())
            .arg(rc);
    }

    using CellVisitor = std::function<bool(unsigned row, unsigned short column, const SheetCell &cell)>;

    // Every non-empty cell of the sheet, row by row; stops when the visitor returns false.
    bool visitCells(const QString &table, QString &error, const CellVisitor &visit)
    {
        if (!open(error))
            return false;
        const qsizetype index = m_sheets.indexOf(table);
        if (index < 0) {
            error = QStringLiteral("シート「%1」がありません。").arg(table);
            return false;
        }
        int rc = freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index));
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (rc == FREEXL_OK)
            rc = freexl_worksheet_dimensions(m_handle, &rows, &columns);
        if (rc != FREEXL_OK) {
            error = failure(rc);
            return false;
        }
        for (unsigned int row = 0; row < rows; ++row) {
            for (unsigned short column = 0; column < columns; ++column) {
                FreeXL_CellValue value;
                rc = freexl_get_cell_value(m_handle, row, column, &value);
                if (rc != FREEXL_OK) {
                    error = failure(rc);
                    return false;
                }
                const SheetCell cell = render(value);
                if (!cell.text.isEmpty() && !visit(row, column, cell))
                    return true;
            }
        }
        return true;
    }

    static SheetCell render(const FreeXL_CellValue &value)
    {
        switch (value.type) {
        case FREEXL_CELL_INT:
            return {QString::number(value.value.int_value), NumberKind};
        case FREEXL_CELL_DOUBLE:
            return {numberText(value.value.double_value), NumberKind};
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return {QString::fromUtf8(value.value.text_value), TextKind};
        case FREEXL_CELL_DATE:
            return {dateTimeText(QDate::fromString(QString::fromLatin1(value.value.text_value),
                                                   QStringLiteral("yyyy-MM-dd")),
                                 QTime(0, 0)),
                    TextKind};
        case FREEXL_CELL_DATETIME: {
            const QString text = QString::fromLatin1(value.value.text_value);
            return {dateTimeText(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                                 QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"))),
                    TextKind};
        }
        case FREEXL_CELL_TIME:
            return {dateTimeText(QDate(1899, 12, 30),
                                 QTime::fromString(QString::fromLatin1(value.value.text_value),
                                                   QStringLiteral("HH:mm:ss"))),
                    TextKind};
        default:
            return {};
        }
    }

    // The first pass over a sheet, made once per sheet: the column list and the run both need it.
    const SheetScan *scanSheet(const QString &table, QString &error)
    {
        if (m_scanned && m_scannedTable == table)
            return &m_scan;
        m_scanned = false;
        m_scan = SheetScan();
        if (!visitCells(table, error, [&](unsigned row, unsigned short column, const SheetCell &cell) {
                m_scan.addCell(row, column, cell);
                return true;
            }))
            return nullptr;
        m_scanned = true;
        m_scannedTable = table;
        return &m_scan;
    }

    QString m_path;
    const void *m_handle = nullptr;
    QStringList m_sheets;
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
