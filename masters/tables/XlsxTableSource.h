#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Sheets of an .xlsx workbook, streamed from the archive: each sheet part is inflated and parsed a
// piece at a time, so memory stays bounded by the shared strings and one row, whatever the part
// inflates to. A sheet is read twice, once for its columns and kinds (a number may turn out to be
// a date only by its format) and once for its rows; the first pass is kept for later calls.
std::unique_ptr<TableSource> makeXlsxTableSource(const QString &path);

} // namespace masters::tables
