// Feeds arbitrary bytes to the job settings file reader. Whatever it accepts must save as a
// well-formed file, and that file must read back whole.
#include <QBuffer>

#include <cstdint>
#include <memory>

#include "jobs/BnfFile.h"
#include "jobs/DataType.h"
#include "tests/support/FuzzCheck.h"

namespace {

BnfResult openBytes(const QByteArray &bytes, TSetData &set, BasePageValues &base)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return OpenBnf(buffer, set, base);
}

QByteArray saveBytes(TSetData &set, const BasePageValues &base)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto known = [](const QString &name) { return name.endsWith(QLatin1String(".PD4")); };
    FUZZ_REQUIRE(SaveBnf(buffer, set, base, known) == BnfResult::Ok);
    return buffer.data();
}

} // namespace

// Every line of a written file is 500 bytes and CR LF, whatever the set held.
bool wellFormed(const QByteArray &file)
{
    if (file.isEmpty() || file.size() % 502 != 0)
        return false;
    for (qsizetype at = 0; at < file.size(); at += 502) {
        const QByteArrayView line = QByteArrayView(file).sliced(at, 502);
        if (!line.endsWith("\r\n") || line.first(500).contains('\n'))
            return false;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    BasePageValues base;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (openBytes(input, *set, base) != BnfResult::Ok)
        return 0;

    // A set read from a file holds only what a file can carry.
    FUZZ_REQUIRE(CheckBnfWritable(*set) == BnfResult::Ok);
    const QByteArray saved = saveBytes(*set, base);
    FUZZ_REQUIRE(wellFormed(saved));

    // What was written reads back whole. (Its values need not be the same: the reader's rules
    // lose the stored flag and the input mode, and reshape limits that are not numbers.)
    auto again = std::make_unique<TSetData>();
    InitSetData(*again);
    BasePageValues againBase;
    FUZZ_REQUIRE(openBytes(saved, *again, againBase) == BnfResult::Ok);
    FUZZ_REQUIRE(again->GyCount == set->GyCount && again->MstNum == set->MstNum);
    FUZZ_REQUIRE(wellFormed(saveBytes(*again, againBase)));
    return 0;
}
