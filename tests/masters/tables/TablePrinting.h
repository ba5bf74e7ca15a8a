#pragma once

// How the table tests print texts, rows and columns when an expectation fails.
#include "masters/tables/TableSource.h"

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}
namespace masters::tables {
inline void PrintTo(const TableColumn &column, std::ostream *os)
{
    *os << column.name.toStdString() << (column.numeric ? ":numeric" : ":other");
}
} // namespace masters::tables
