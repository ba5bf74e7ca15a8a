#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// The library reader for the file's extension, in this process: what the table reader program
// runs. The editor reads through openTableSource instead. A path of another kind gives nothing,
// with an error text; the file itself is opened by the first call on the source.
std::unique_ptr<TableSource> openTableReader(const QString &path, QString &error);

} // namespace masters::tables
