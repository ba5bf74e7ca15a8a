#pragma once

#include "masters/tables/TableSource.h"

#include <QString>

#include <functional>
#include <memory>

// The table reader program's work: it opens one file with the readers and answers the import's
// requests (list the tables, give a table's heading, give its rows) in frames on its output, so
// that whatever a library does with a damaged file happens in this process and not in the editor.
namespace masters::tables::reader {

using OpenReader = std::function<std::unique_ptr<TableSource>(const QString &path, QString &error)>;

// Answers the requests read from the descriptor in with the source's replies written to out, until
// in ends (0) or a request cannot be read or a reply cannot be written (not 0). A missing source
// (error set) answers every request with error.
int serve(int in, int out, TableSource *source, const QString &error);

// The program: "READER FILE". The standard output carries the frames alone; whatever a library
// prints there goes to the standard error instead.
int runReader(int argc, char **argv, const OpenReader &open);

} // namespace masters::tables::reader
