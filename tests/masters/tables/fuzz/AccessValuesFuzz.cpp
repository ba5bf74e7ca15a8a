// Feeds arbitrary bytes to the decoders of the Access values the reader takes from a row itself:
// the first byte picks the type, the others are the stored value, read plain and as a calculated
// column's wrapped result. The file may come from anywhere: a value decodes to a text that is never
// empty, or to nothing, and a calculated result lies inside its value.
#include <QByteArrayView>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "masters/tables/ValueText.h"
#include "masters/tables/access/AccessValues.h"
#include "tests/support/FuzzCheck.h"

using namespace masters::tables;
using namespace masters::tables::access;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int type = data[0] & 0x1F;
    const QByteArrayView value(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::optional<QString> text = fixedValueText(type, value);
    FUZZ_REQUIRE(!text || !text->isEmpty());
    FUZZ_REQUIRE(!text || isFixedValueType(type));
    if (text && type == GuidType)
        FUZZ_REQUIRE(text->size() == 38);

    const std::optional<QByteArrayView> result = calculatedResult(value);
    if (result) {
        FUZZ_REQUIRE(result->isEmpty() || (result->data() >= value.data() &&
                                           result->data() + result->size() <= value.data() + value.size()));
        const std::optional<QString> calculated = fixedValueText(type, *result);
        FUZZ_REQUIRE(!calculated || !calculated->isEmpty());
    }

    // Any finite day count is a date of the years Access allows or its number.
    if (value.size() >= 8) {
        double days = 0;
        std::memcpy(&days, value.data(), sizeof days);
        if (std::isfinite(days))
            FUZZ_REQUIRE(!accessDateText(days).isEmpty());
    }
    return 0;
}
