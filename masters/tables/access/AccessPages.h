#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QString>

#include <mdbtools.h>

#include <optional>

// What the library leaves to the reader: which columns are calculated, the stored bytes of the row it has
// just fetched, the pages of a long value, and text in the file's encoding.
namespace masters::tables::access {

// The numbers of the table's calculated columns, which the library reads as plain ones: the flags
// of the column definitions it does not keep say which they are. None in a file older than Access
// 2010, which has none. Nothing when the definition pages cannot be read.
std::optional<QSet<int>> calculatedColumns(MdbTableDef *table);

// The column's stored bytes in the row the last mdb_fetch_row read; empty for a null value.
// Nothing when the library's offsets point outside the page.
std::optional<QByteArrayView> storedBytes(MdbHandle *mdb, const MdbColumn &column);

// A long value (memo or object) from its 12-byte reference in a row: the bytes kept in the row
// itself or on the pages it points to. Nothing when a page or row it names cannot be read, or the
// value is longer than limit.
std::optional<QByteArray> longValueBytes(MdbHandle *mdb, QByteArrayView reference, qsizetype limit);

// Stored text (UTF-16, compressed or not; a Jet 3 file's code page) through the handle's
// converters, at most the handle's bind size of UTF-8.
QString storedText(MdbHandle *mdb, QByteArrayView bytes);

} // namespace masters::tables::access
