#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Tables of an Access database (.mdb, .mde, .accdb) read through libmdb. Text of a Jet 3 file
// (Access 97 and older) is decoded by the file's own code page, CP932 when the file names none.
// Values the library has no text for (dates of any year, replication IDs, Large Numbers, extended
// dates, calculated columns) are decoded from their stored bytes (access/); a table with a column
// of a type that cannot be read is refused, never imported with the column blank.
std::unique_ptr<TableSource> makeAccessTableSource(const QString &path);

} // namespace masters::tables
