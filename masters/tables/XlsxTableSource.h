#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Sheets of an .xlsx workbook read through liborcus's streaming import interface: cells are handed
// over as the sheet is parsed and no document is built. A sheet is read twice, once for its
// columns, kinds and formula results (which the library hands over only after the sheets) and once
// for its rows; the first pass is kept for the source's later calls.
//
// The library drops text cells written inline (t="inlineStr", as openpyxl and some exporters
// write them) and plain text cells without a formula (t="str") without a word; those are read from
// the sheet's part by XlsxSheetText and merged in. A sheet whose link starts at the archive's root
// ("/xl/worksheets/...") the library skips whole; it is refused as a sheet that cannot be read.
std::unique_ptr<TableSource> makeXlsxTableSource(const QString &path);

} // namespace masters::tables
