// Feeds arbitrary bytes, as a file brought from elsewhere, to the master's width file reader and to
// the working copy's record store. The first byte picks the record length (3 to 66), the rest is
// the file. A width file that reads is a usable list of widths, exactly that of its first line; the
// store takes a file of whole records and no other, holds its bytes unchanged through an insert and
// a removal, and writes them back whole.
#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <optional>

#include "comm/CorlissRules.h"
#include "masters/MasterFields.h"
#include "masters/RecordStore.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "tests/support/FuzzCheck.h"
#include "tests/support/FuzzScratch.h"

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_REQUIRE(file.write(bytes) == bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The widths of the file's whole first line, however long it is.
std::optional<std::vector<int>> widthsOfFirstLine(const QByteArray &file)
{
    QByteArray line = file;
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return masters::parseWidths(comm::trimBlanks(platform::cp932::decode(line)));
}

void checkWidthFile(const QString &master, const QByteArray &bytes)
{
    writeFile(masters::widthFilePath(master), bytes);
    const masters::WidthFileRead read = masters::readWidthFile(master);
    FUZZ_REQUIRE(read.status != masters::WidthFileRead::Status::Missing);
    if (read.status != masters::WidthFileRead::Status::Ok) {
        FUZZ_REQUIRE(read.widths.empty());
        // Only a line too long for a width line may be refused although it parses.
        const qsizetype end = bytes.indexOf('\n');
        FUZZ_REQUIRE(!widthsOfFirstLine(bytes) || (end < 0 ? bytes.size() : end) >= 4095);
        return;
    }
    FUZZ_REQUIRE(!read.widths.empty() && read.widths.size() <= size_t(masters::MaxFields));
    qint64 sum = 0;
    for (const int width : read.widths) {
        FUZZ_REQUIRE(width >= 1);
        sum += width;
    }
    FUZZ_REQUIRE(sum <= masters::MaxRecordLength);
    FUZZ_REQUIRE(widthsOfFirstLine(bytes) == read.widths);

    // What the editor writes for these widths reads back the same.
    writeFile(masters::widthFilePath(master), masters::widthFileText(read.widths));
    const masters::WidthFileRead again = masters::readWidthFile(master);
    FUZZ_REQUIRE(again.status == masters::WidthFileRead::Status::Ok && again.widths == read.widths);
}

void checkRecordStore(const QString &source, int length, const QByteArray &bytes, std::uint8_t place)
{
    masters::RecordStore store;
    FUZZ_REQUIRE(store.create(fuzzsupport::scratchFolder() + QStringLiteral("/work.tmp"), length));
    writeFile(source, bytes);
    if (!store.copyIn(source)) {
        FUZZ_REQUIRE(bytes.size() % length != 0);
        FUZZ_REQUIRE(!store.errorString().isEmpty() && store.count() == 0);
        return;
    }
    FUZZ_REQUIRE(bytes.size() % length == 0 && store.count() == bytes.size() / length);

    // Paged reads give the file's bytes in order, the last page short.
    const auto readAll = [&] {
        QByteArray all, page;
        for (qint64 first = 0; first <= store.count(); first += 7) {
            FUZZ_REQUIRE(store.readRecords(first, 7, page));
            FUZZ_REQUIRE(page.size() == std::min<qint64>(7, store.count() - first) * length);
            all += page;
        }
        return all;
    };
    FUZZ_REQUIRE(readAll() == bytes);

    // A record put in and taken out again leaves the others where they were.
    const qint64 index = place % (store.count() + 1);
    const QByteArray record(length, '#');
    FUZZ_REQUIRE(store.insertRecord(index, record));
    QByteArray at;
    FUZZ_REQUIRE(store.readRecords(index, 1, at) && at == record);
    FUZZ_REQUIRE(store.count() == bytes.size() / length + 1);
    FUZZ_REQUIRE(store.removeRecord(index));
    FUZZ_REQUIRE(readAll() == bytes);

    const QString target = fuzzsupport::scratchFolder() + QStringLiteral("/out.dat");
    platform::AtomicFile out(target);
    FUZZ_REQUIRE(out.open() && store.copyOut(out) && out.commit());
    FUZZ_REQUIRE(readFile(target) == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int length = 3 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString master = fuzzsupport::scratchFolder() + QStringLiteral("/ITEM.DAT");
    checkWidthFile(master, bytes);
    checkRecordStore(master, length, bytes, size > 1 ? data[1] : 0);
    return 0;
}
