// Feeds arbitrary bytes as a workbook (of the kind HARBROOK_FUZZ_SUFFIX names) to the import as the
// editor runs it: through the table reader program, which opens the file with the library readers
// in a process of its own. Whatever the libraries do there, the import's side never crashes: each
// request ends with a reply or a text, a heading's columns are named, and every row holds exactly
// one value per column. The reader's limits are short so a file that stalls it costs little.
// The .xls reader is the project's own code over a container library: its reader dying, stalling
// or running past its memory is a fault found, not one contained.
#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "masters/tables/ChildTableSource.h"
#include "tests/support/FuzzCheck.h"
#include "tests/support/FuzzScratch.h"

using namespace masters::tables;

namespace {

constexpr bool OwnReader = std::string_view(HARBROOK_FUZZ_SUFFIX) == "xls";

// The reader's sanitizer reports of the libraries' faults go to files in the scratch folder rather
// than into the fuzzer's log: those faults are what the isolation is for.
void quietReader()
{
    const QByteArray logs = QFile::encodeName(fuzzsupport::scratchFolder() + QStringLiteral("/reader"));
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        QByteArray options = qgetenv(name);
        if (!options.isEmpty())
            options += ':';
        qputenv(name, options + "log_path=" + logs);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (!OwnReader)
        quietReader();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = fuzzsupport::scratchFolder() + QStringLiteral("/book." HARBROOK_FUZZ_SUFFIX);
    {
        QFile file(path);
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_REQUIRE(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    ReaderLimits limits;
    limits.listMs = 3000;
    limits.columnsMs = 3000;
    limits.rowStallMs = 3000;
    const std::unique_ptr<TableSource> source =
        makeChildTableSource(QStringLiteral(HARBROOK_TABLE_READER), path, limits);

    QStringList tables;
    QString error;
    if (!source->listTables(tables, error)) {
        FUZZ_REQUIRE(!error.isEmpty());
        FUZZ_REQUIRE(!OwnReader || error != ReaderFailureText);
        return 0;
    }
    // Two tables are enough: each costs a pass over the file. A reader that died or stalled ends
    // the input, as it ends the import, so one input stays within a few of the reader's limits.
    for (const QString &table : tables.mid(0, 2)) {
        QList<TableColumn> columns;
        error.clear();
        if (!source->readColumns(table, columns, error)) {
            FUZZ_REQUIRE(!error.isEmpty());
            FUZZ_REQUIRE(!OwnReader || error != ReaderFailureText);
            if (error == ReaderFailureText)
                break;
            continue;
        }
        for (const TableColumn &column : columns)
            FUZZ_REQUIRE(!column.name.isNull());
        error.clear();
        const bool read = source->readRows(
            table,
            [&](const QStringList &values) {
                FUZZ_REQUIRE(values.size() == columns.size());
                return true;
            },
            error);
        FUZZ_REQUIRE(read || !error.isEmpty());
        FUZZ_REQUIRE(read || !OwnReader || error != ReaderFailureText);
        if (!read && error == ReaderFailureText)
            break;
    }
    return 0;
}
