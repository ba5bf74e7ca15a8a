// Feeds arbitrary bytes to the reader of the field-definition text the terminal sends before a
// record data file. What it accepts must be a layout the receiver can use without checks of its
// own: counts in range, widths that sum to the record length, a wire size that holds a record,
// and records cut from the data file exactly as the layout says.
#include <cstdint>
#include <limits>
#include <vector>

#include "comm/YmFld.h"
#include "comm/YmRxRecords.h"
#include "tests/support/FuzzCheck.h"

namespace {

constexpr qint64 Int32Max = std::numeric_limits<qint32>::max();

bool isBinaryName(const QByteArray &file)
{
    for (const char *binary : {".LCS", ".BMP", ".JPG", ".WAV", ".ZIP"}) {
        if (file.contains(binary))
            return true;
    }
    return false;
}

void checkLayout(const comm::FldLayout &layout)
{
    FUZZ_REQUIRE(!layout.file.isEmpty() && !layout.file.contains("\r\n"));
    FUZZ_REQUIRE(!layout.fields.isEmpty() && !layout.fields.contains("\r\n"));
    FUZZ_REQUIRE(layout.size >= 1 && layout.size <= Int32Max);
    FUZZ_REQUIRE(layout.records >= 1 && layout.records <= Int32Max);
    FUZZ_REQUIRE(layout.widths.size() <= static_cast<size_t>(comm::MaxFldFields));
    qint64 sum = 0;
    for (int width : layout.widths) {
        FUZZ_REQUIRE(width >= 0);
        sum += width;
    }
    FUZZ_REQUIRE(sum == layout.recordSize);
    if (isBinaryName(layout.file)) {
        FUZZ_REQUIRE(layout.wireSize == layout.recordSize);
    } else {
        // The file holds exactly its records, each the record plus at most a CR LF.
        FUZZ_REQUIRE(layout.size % layout.records == 0 && layout.size / layout.records == layout.wireSize);
        FUZZ_REQUIRE(layout.recordSize <= layout.wireSize && layout.wireSize <= layout.recordSize + 2);
    }
}

// The text our own sender writes for this layout reads back to the same layout. (The received
// width list may hold pieces that are not numbers; they are fields of width 0, written as 0.)
void checkRewrite(const comm::FldLayout &layout)
{
    QByteArray widths;
    for (int width : layout.widths)
        widths += (widths.isEmpty() ? "" : " ") + QByteArray::number(width);
    if (widths.isEmpty())
        return; // nothing our sender would write
    comm::FldLayout again;
    FUZZ_REQUIRE(comm::checkFldText(comm::buildFldText(layout.file, layout.size, layout.records, widths,
                                                       static_cast<int>(layout.widths.size())),
                                    again));
    FUZZ_REQUIRE(again.file == layout.file && again.size == layout.size && again.records == layout.records);
    FUZZ_REQUIRE(again.widths == layout.widths && again.recordSize == layout.recordSize &&
                 again.wireSize == layout.wireSize);
}

// Cuts a data file of the announced size into stored lines: no more records than announced,
// every fixed line exactly a record long, every CSV line one value per field.
void checkRecords(const comm::FldLayout &layout)
{
    // Bounded so that one input stays fast: at most 8 KiB of data and 8,192 stored values.
    if (isBinaryName(layout.file) || layout.size > 8192 ||
        layout.records * static_cast<qint64>(layout.widths.size() + 1) > 8192)
        return;
    std::vector<comm::RxField> fields;
    qint32 start = 0;
    for (int width : layout.widths) {
        fields.push_back(comm::RxField{start, width});
        start += width;
    }
    const comm::RxRecordLayout records{fields, layout.recordSize, layout.wireSize, layout.records};
    for (const bool csv : {false, true}) {
        QByteArray pending(static_cast<qsizetype>(layout.size), 'A');
        qint64 written = 0;
        const QByteArray lines = comm::takeRecords(pending, written, records, comm::RxRecordFormat{csv});
        FUZZ_REQUIRE(written == layout.records && pending.isEmpty());
        FUZZ_REQUIRE(lines.count("\r\n") == written);
        if (!csv) {
            FUZZ_REQUIRE(lines.size() == written * (layout.recordSize + 2));
        } else if (!fields.empty()) {
            FUZZ_REQUIRE(lines.count(',') == written * static_cast<qint64>(fields.size() - 1));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    comm::FldLayout layout;
    if (!comm::checkFldText(text, layout))
        return 0;
    checkLayout(layout);
    checkRewrite(layout);
    checkRecords(layout);
    return 0;
}
