// Feeds arbitrary bytes to the .xls reader as the workbook stream of a compound document, in this
// process, so that coverage guides the search through the records: a whole file mutated at random
// seldom gets past its container, and the xls target runs the reader program once per input. The
// first byte picks the stream's name ("Workbook", or "Book" as Excel 5 and 95 named it). A workbook
// or sheet that cannot be read fails with a text; every row holds one value per column.
#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstring>

#include "masters/tables/TableReaders.h"
#include "tests/support/FuzzCheck.h"
#include "tests/support/FuzzScratch.h"

using namespace masters::tables;

namespace {

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;
constexpr int SectorBytes = 512;
// One sector of the allocation table holds the chains of a stream this long.
constexpr qsizetype MaxStream = (SectorBytes / 4 - 3) * SectorBytes;

void put16(QByteArray &out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void put32(QByteArray &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

QByteArray directoryEntry(const char *name, int kind, std::uint32_t child, std::uint32_t start,
                          std::uint32_t size)
{
    QByteArray entry;
    const qsizetype length = qsizetype(std::strlen(name));
    for (qsizetype i = 0; i < length; ++i)
        put16(entry, unsigned(name[i]));
    if (length > 0)
        put16(entry, 0);
    entry = entry.leftJustified(64, '\0');
    put16(entry, length > 0 ? unsigned(length + 1) * 2 : 0);
    entry += char(kind);
    entry += char(kind ? 1 : 0); // black
    put32(entry, NoStream);
    put32(entry, NoStream);
    put32(entry, child);
    entry += QByteArray(16 + 4 + 16, '\0'); // class, state, times
    put32(entry, start);
    put32(entry, size);
    put32(entry, 0);
    return entry;
}

// A compound document of one stream, padded past the small-stream cutoff so it needs no mini
// stream: the stream's sectors, then the directory, then the allocation table.
QByteArray compoundFile(QByteArray stream, const char *name)
{
    stream = stream.left(MaxStream);
    if (stream.size() < 4096)
        stream = stream.leftJustified(4096, '\0');
    const std::uint32_t sectors = std::uint32_t((stream.size() + SectorBytes - 1) / SectorBytes);
    const std::uint32_t size = std::uint32_t(stream.size());
    QByteArray file("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    file += QByteArray(16, '\0');
    for (const unsigned value : {0x003Eu, 0x0003u, 0xFFFEu, 9u, 6u})
        put16(file, value);
    file += QByteArray(6, '\0');
    for (const std::uint32_t value :
         {0u, 1u, sectors, 0u, 4096u, EndOfChain, 0u, EndOfChain, 0u, sectors + 1})
        put32(file, value);
    file += QByteArray(4 * 108, '\xFF');
    file += stream.leftJustified(qsizetype(sectors) * SectorBytes, '\0');
    file += directoryEntry("Root Entry", 5, 1, EndOfChain, 0) + directoryEntry(name, 2, NoStream, 0, size) +
            directoryEntry("", 0, NoStream, 0, 0) + directoryEntry("", 0, NoStream, 0, 0);
    for (std::uint32_t i = 0; i + 1 < sectors; ++i)
        put32(file, i + 1);
    put32(file, EndOfChain); // the stream's last sector
    put32(file, EndOfChain); // the directory
    put32(file, 0xFFFFFFFD); // the table itself
    for (std::uint32_t i = sectors + 2; i < SectorBytes / 4; ++i)
        put32(file, NoStream);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString path = fuzzsupport::scratchFolder() + QStringLiteral("/book.xls");
    {
        QFile file(path);
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray bytes = compoundFile(stream, data[0] & 1 ? "Book" : "Workbook");
        FUZZ_REQUIRE(file.write(bytes) == bytes.size());
    }
    QString error;
    const std::unique_ptr<TableSource> source = openTableReader(path, error);
    FUZZ_REQUIRE(source != nullptr);
    QStringList tables;
    if (!source->listTables(tables, error)) {
        FUZZ_REQUIRE(!error.isEmpty());
        return 0;
    }
    for (const QString &table : tables.mid(0, 2)) {
        QList<TableColumn> columns;
        error.clear();
        if (!source->readColumns(table, columns, error)) {
            FUZZ_REQUIRE(!error.isEmpty());
            continue;
        }
        FUZZ_REQUIRE(columns.size() <= 256);
        error.clear();
        const bool read = source->readRows(
            table,
            [&](const QStringList &values) {
                FUZZ_REQUIRE(values.size() == columns.size());
                return true;
            },
            error);
        FUZZ_REQUIRE(read || !error.isEmpty());
    }
    return 0;
}
