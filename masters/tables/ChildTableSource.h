#pragma once

#include "masters/tables/TableSource.h"

#include <QString>

#include <memory>

// The tables of a file read by the table reader program in a process of its own: the libraries
// behind the readers meet damaged and hostile files, and a crash, an abort, a loop or a runaway
// allocation there must end the import, not the editor with the operator's unsaved edits. The
// reader streams its replies over a pipe (see ReaderFrames.h); rows are handed over as they come,
// never gathered. While a reply is awaited the caller's windows keep painting, but they take no
// input: nothing the operator does can start another command in the middle of a read.
namespace masters::tables {

// What any failure of the reader process itself reads as: it died, it could not be started, it
// ran past a limit, or it sent what is no reply.
inline const QString ReaderFailureText = QStringLiteral("データベースに接続できません");

inline const QString ReaderProgramName = QStringLiteral("harbrook-table-reader");

struct ReaderLimits {
    // The reader's address space. It holds the libraries and a sheet's first pass with room to
    // spare, and stops a library that allocates in a loop (a cut-short database grows about
    // 35 MB/s) within seconds.
    qint64 memoryBytes = qint64(512) * 1024 * 1024;
    // Listing opens the file and reads its catalogue or workbook part: seconds at most for any
    // file the import is meant for.
    int listMs = 60'000;
    // A heading needs a whole pass over the sheet (about 6 s for 1,048,575 rows here), so a slow
    // machine gets twice the listing's time.
    int columnsMs = 120'000;
    // Rows come in a steady stream; a reader that sends nothing for this long has stopped.
    int rowStallMs = 60'000;
};

// The program folder the reader program is shipped in: the manager gives its AppPath at start;
// until then it is the running program's folder.
void setReaderFolder(const QString &folder);
// The reader program in that folder.
QString readerProgramPath();

// The source over file read by the program at reader under limits. Nothing is started until the
// first call.
std::unique_ptr<TableSource> makeChildTableSource(const QString &reader, const QString &file,
                                                  const ReaderLimits &limits = {});

} // namespace masters::tables
