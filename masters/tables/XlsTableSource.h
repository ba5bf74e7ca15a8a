#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Worksheets of an .xls workbook (Excel 5 to 2003), read record by record from the workbook
// stream of its compound document (see xls/): only the globals' formats and shared strings and
// the record being read are held, whatever the sheet's size. A sheet is read twice, once for its
// columns and kinds (a number may turn out to be a date only by its format) and once for its
// rows; the first pass is kept for later calls. The values are the .xlsx reader's for the same
// cells, so a sheet imports the same records from either format.
std::unique_ptr<TableSource> makeXlsTableSource(const QString &path);

} // namespace masters::tables
