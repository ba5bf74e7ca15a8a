// Feeds an arbitrary XML part to the .xlsx reader's workbook and sheet parse. The first byte picks
// the part the other bytes become (the sheet most often, else the workbook or one of the two link
// parts); the others are those of a small workbook of one sheet "Sheet1". The workbook is written
// as an archive of stored entries. A workbook or sheet that cannot be read fails with a text;
// cells that are read lie inside a sheet's bounds and hold a value.
#include <QByteArray>
#include <QFile>

#include <array>
#include <cstdint>

#include "masters/tables/XlsxSheetText.h"
#include "masters/tables/XlsxWorkbook.h"
#include "tests/support/FuzzCheck.h"
#include "tests/support/FuzzScratch.h"

namespace {

std::uint32_t crc32(const QByteArray &data)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char byte : data)
        c = table[(c ^ std::uint8_t(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

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

// An archive of the entries, stored without compression.
QByteArray zip(const std::array<std::pair<const char *, QByteArray>, 4> &entries)
{
    QByteArray out, directory;
    for (const auto &[name, data] : entries) {
        const QByteArray entry(name);
        const std::uint32_t crc = crc32(data);
        const std::uint32_t offset = std::uint32_t(out.size());
        put32(out, 0x04034b50);
        put16(out, 20); // version needed
        put16(out, 0);  // flags
        put16(out, 0);  // stored
        put32(out, 0);  // time and date
        put32(out, crc);
        put32(out, std::uint32_t(data.size()));
        put32(out, std::uint32_t(data.size()));
        put16(out, unsigned(entry.size()));
        put16(out, 0);
        out += entry + data;

        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, crc);
        put32(directory, std::uint32_t(data.size()));
        put32(directory, std::uint32_t(data.size()));
        put16(directory, unsigned(entry.size()));
        put16(directory, 0); // extra
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += entry;
    }
    const std::uint32_t directoryAt = std::uint32_t(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, unsigned(entries.size()));
    put16(out, unsigned(entries.size()));
    put32(out, std::uint32_t(directory.size()));
    put32(out, directoryAt);
    put16(out, 0);
    return out;
}

const char RootLinks[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char Workbook[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char WorkbookLinks[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
const char Sheet[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
    R"(<row r="1"><c r="A1" t="inlineStr"><is><t>code</t></is></c><c r="B1" t="str"><v>name</v></c></row></sheetData></worksheet>)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::array<std::pair<const char *, QByteArray>, 4> parts{{
        {"_rels/.rels", RootLinks},
        {"xl/workbook.xml", Workbook},
        {"xl/_rels/workbook.xml.rels", WorkbookLinks},
        {"xl/worksheets/sheet1.xml", Sheet},
    }};
    const int choice = data[0] % 8;
    const int part = choice < 5 ? 3 : choice - 5; // the sheet five times in eight
    parts[std::size_t(part)].second =
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const QString path = fuzzsupport::scratchFolder() + QStringLiteral("/book.xlsx");
    {
        QFile file(path);
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray archive = zip(parts);
        FUZZ_REQUIRE(file.write(archive) == archive.size());
    }

    masters::tables::XlsxWorkbook book;
    QString error;
    if (!book.open(path, error) || !book.loadCellData(error)) {
        FUZZ_REQUIRE(!error.isEmpty());
        return 0;
    }
    // A link resolves to an entry inside the archive: steps of names, none "." or "..".
    for (const masters::tables::XlsxSheet &sheet : book.sheets()) {
        if (sheet.part.empty())
            continue;
        for (const QString &step : QString::fromStdString(sheet.part).split(u'/'))
            FUZZ_REQUIRE(!step.isEmpty() && step != QLatin1String(".") && step != QLatin1String(".."));
    }
    error.clear();
    const bool read = masters::tables::readSheetCells(
        book, QStringLiteral("Sheet1"),
        [](qint64 row, int column, const masters::tables::XlsxCell &cell) {
            FUZZ_REQUIRE(row >= 0 && row < 1048576);
            FUZZ_REQUIRE(column >= 0 && column < 16384);
            FUZZ_REQUIRE(cell.type != masters::tables::XlsxCell::Text || !cell.text.isEmpty());
            return true;
        },
        error);
    FUZZ_REQUIRE(read == error.isEmpty());
    return 0;
}
