#pragma once

#include <QString>

#include <optional>

// How the reader takes each column of an Access table: what the library decodes, what the reader
// decodes from the stored bytes, what has no text, and what it cannot read at all (a table with
// such a column is refused rather than imported with the column blank).
namespace masters::tables::access {

enum class ColumnRead {
    Library,    // text, memo, yes/no, the numbers the library prints in full
    Stored,     // a fixed-size value decoded from its bytes (AccessValues.h)
    Calculated, // a calculated column: its stored result, in the result type's form
    NoText,     // an OLE object, binary data or an attachment: imported empty
    Unreadable,
};

struct ColumnPlan {
    ColumnRead read = ColumnRead::Unreadable;
    // The type of the stored value: the column's own, or a calculated column's result type.
    int type = 0;
    bool numeric = false;
    // What the refusal of an unreadable column calls its type.
    QString typeName;
};

// A column of the given type; a calculated column takes the result type its properties name,
// without which it cannot be read.
ColumnPlan planColumn(int type, bool calculated, std::optional<int> resultType);

// The type as the database's design view names it ("日付/時刻拡張型"), or by its code.
QString columnTypeName(int type);

// The refusal of a table for a column it cannot read, and of a damaged value.
QString unreadableColumnText(const QString &table, const QString &column, const QString &typeName);
QString unreadableValueText(const QString &table, const QString &column);

} // namespace masters::tables::access
