#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Sheets of an .xlsx workbook read through liborcus's streaming import interface: cells are handed
// over as the sheet is parsed and no document is built. A sheet is read twice, once for its
// columns, kinds and formula results (which the library hands over only after the sheets) and once
// for its rows; the first pass is kept for the source's later calls.
std::unique_ptr<TableSource> makeXlsxTableSource(const QString &path);

} // namespace masters::tables
