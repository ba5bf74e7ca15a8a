#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Sheets of an .xls workbook (BIFF 2 to 8) read through FreeXL. The library reads the workbook whole
// when it is opened; the source opens it once, on its first call, and keeps it for later calls.
std::unique_ptr<TableSource> makeXlsTableSource(const QString &path);

} // namespace masters::tables
