#pragma once

#include "masters/tables/xls/XlsWorkbook.h"

#include <QString>

#include <functional>

// The cells of an .xls worksheet as their values, in the order of its records: numbers (NUMBER,
// RK, MULRK) with their cell format, texts (LABEL, LABELSST, RSTRING), booleans, and the cached
// result of every formula (a number, the text of the STRING record after it, a boolean). An error
// value, an empty text and a blank are no value. Nothing of the sheet is held beyond the record
// being read, whatever its DIMENSIONS record claims.
namespace masters::tables::xls {

struct XlsCell {
    enum Type { Text, Number, Boolean } type = Text;
    double number = 0;
    QString text;
    int xf = 0;
};

// Row and column from 0. onCell returns false to stop the read, which then succeeds.
using XlsCellHandler = std::function<bool(int row, int column, const XlsCell &cell)>;

// False with the import's message, which names the sheet, when the sheet cannot be read.
bool readSheetCells(XlsWorkbook &book, const QString &sheet, const XlsCellHandler &onCell, QString &error);

} // namespace masters::tables::xls
