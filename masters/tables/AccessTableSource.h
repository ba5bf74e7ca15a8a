#pragma once

#include "masters/tables/TableSource.h"

namespace masters::tables {

// Tables of an Access database (.mdb, .mde, .accdb) read through libmdb. Text of a Jet 3 file
// (Access 97 and older) is decoded by the file's own code page, CP932 when the file names none.
std::unique_ptr<TableSource> makeAccessTableSource(const QString &path);

} // namespace masters::tables
