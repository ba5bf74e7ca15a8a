#pragma once

#include "masters/tables/XlsxWorkbook.h"

#include <QString>

#include <functional>

// The cells of an .xlsx sheet as their values, streamed from the sheet's part in document order:
// numbers with their cell format, shared, inline and formula texts, booleans, and the cached
// results of every kind of formula (array formulas and the cells their results spill into
// included). An error value or a formula without a result is no value. A cell whose value cannot
// be what the file says it is (a shared string by a number that is none) fails the sheet rather
// than import as something else.
namespace masters::tables {

struct XlsxCell {
    enum Type { Text, Number, Boolean } type = Text;
    double number = 0;
    QString text;
    int xf = 0;
};

// Row and column from 0. onCell returns false to stop the read, which then succeeds.
using XlsxCellHandler = std::function<bool(qint64 row, int column, const XlsxCell &cell)>;

// False with the import's message, which names the sheet, when the sheet cannot be read. The
// workbook's cell data must be loaded.
bool readSheetCells(const XlsxWorkbook &book, const QString &sheet, const XlsxCellHandler &onCell,
                    QString &error);

} // namespace masters::tables
